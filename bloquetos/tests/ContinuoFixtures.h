#pragma once

#include "ContinuoRow.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

// Titles stored in Blq the way the import stores them, for the continuous-form tests.
struct Titulo {
    QString age = QStringLiteral("0123");
    QString ctr = QStringLiteral("567890123");
    QString nomCed = QStringLiteral("CEDENTE UM");
    QString seuNum;
    QDate emi;
    QDate ven;
    QDate dstLim;
    double val = 0;
    double jur = 0;
    double dst = 0;
    double abt = 0;
    QString sacNom, sacEnd, sacBai, sacCid, sacEtd, sacCep, sacAvl, ins, cpfSac, cpfCed;
    bool valid = true;
    bool avi = false;
    bool cap = false;
};

namespace ContinuoFixtures {
void addTitulos(const QList<Titulo>& titles);
// The bloqueto of the worked example: number 7, due 05/03/2003, issued 01/02/2003,
// seu número "ABC", value 1.234,50 and nothing else.
Titulo example();
ContinuoRow exampleRow();
// `count` titles of one contract whose seu número is "T1", "T2", ...
QList<Titulo> numbered(int count);
// Rejected titles, to push the next bloqueto numbers up.
void addRejected(int count);

// Points the port LPT1 of kvcob.conf at `target` (created empty when it is a new file).
void configurePort(const QString& target);
QByteArray readFile(const QString& path);

// The expected bytes of the worked example, laid out by hand piece by piece.
QByteArray exampleSmall();
QByteArray exampleLarge();
QByteArray defaultInit(); // the 13 initialisation bytes
QByteArray separator();   // three blank lines
} // namespace ContinuoFixtures
