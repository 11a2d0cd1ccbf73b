#pragma once

#include "BlqTitle.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

// Titles as the continuous forms read them, stored in Blq with BlqTitles.
namespace ContinuoFixtures {
// The bloqueto of the worked example, due 05/03/2003, issued 01/02/2003, seu número
// "ABC", value 1.234,50, of BlqTitles::ofContract(); exampleRow() is the same title as
// read back, number 7 and nothing else.
BlqTitle example();
BlqTitle exampleRow();
// `count` titles of one contract whose seu número is "T1", "T2", ...
QList<BlqTitle> numbered(int count);
// The worked example as a title of beneficiary "CEDENTE <age>" at agency `age`, seu número
// `seu`; rejected when not `valid`.
BlqTitle ofAgency(const QString& age, const QString& seu, bool valid = true);
// Marks a title rejected, as the import would.
BlqTitle rejected(BlqTitle title);
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
// The rows of a test over both form models: a FormModel column "model" and a QByteArray
// column named `page`, the worked example's page of that model.
void addWorkedExampleRows(const char* page);
} // namespace ContinuoFixtures
