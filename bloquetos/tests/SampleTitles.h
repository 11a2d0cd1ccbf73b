#pragma once

#include <QDate>
#include <QString>

class DbTable;

// Valid titles written straight into Blq, for the tests and the benchmark of the
// single-sheet bloquetos (independent of the bank-file import).
namespace SampleTitles {

struct Titulo {
    QString ageCod = QStringLiteral("0123");
    QString ctrCod = QStringLiteral("567890123");
    QString nosNum = QStringLiteral("45678901234");
    QString seuNum = QStringLiteral("DOC0000001");
    QDate datEmi = QDate(2026, 2, 1);
    QDate datVen = QDate(2026, 3, 10);
    QDate dstDatLim;
    QString nomCed = QStringLiteral("CONFECCOES ARAPUAN LTDA");
    QString tipCar = QStringLiteral("11");
    QString espDoc = QStringLiteral("DM");
    QString codMoe = QStringLiteral("REAL");
    int qtdMoe = 0;
    double titVal = 150.75;
    double abtAtrVal = 0;
    double dstVal = 0;
    double jurDiaVal = 0;
    QString cpfCgcSac = QStringLiteral("12345678000195");
    QString sacNom = QStringLiteral("MERCEARIA BOA ESPERANCA LTDA");
    QString sacEnd = QStringLiteral("RUA DAS PALMEIRAS, 120");
    QString sacBai = QStringLiteral("CENTRO");
    QString sacCid = QStringLiteral("CAMPINAS");
    QString sacEtd = QStringLiteral("SP");
    QString sacCep = QStringLiteral("13010000");
    QString sacAvl;
    QString msg;
    QString ins;
    bool regVal = true;
    QString msgErr;
    bool idcAvi = false;
    bool idcCAp = false;
    QString cpfCgcCed = QStringLiteral("98765432000110");
    double valMul = 0;
    QDate datMul;
};

// The n-th of a family of distinct valid titles (numbers, values, dates and names vary).
Titulo numbered(int n);
// Appends one row to an open table.
void append(DbTable& table, const Titulo& t);
// Empties Blq and writes the titles numbered 1..count in one transaction.
void fill(int count);

} // namespace SampleTitles
