#pragma once

#include "BlqTitle.h"

#include <QList>

// Titles made to order and written straight into Blq, for every test and benchmark that
// needs rows without going through the bank-file import.
namespace BlqTitles {

// A valid title with every column given, as the import stores a complete one.
BlqTitle complete();
// The n-th of a family of distinct complete titles (numbers, values, dates and names
// vary), for the single-sheet bloquetos.
BlqTitle numbered(int n);
// A valid title of agency 0123, contract 567890123 and beneficiary "CEDENTE UM" with zero
// amounts and false flags, and nothing else: the continuous forms fill in the rest.
BlqTitle ofContract();
// A title with only its keys, beneficiary "CEDENTE " + agency, reasons and validity: what
// the rejected-titles report reads.
BlqTitle keyed(const QString& ageCod, const QString& ctrCod, const QString& nosNum,
               const QString& seuNum, const QString& msgErr, bool valid = false);
// `count` rejected keyed titles, numbered, of a few agencies and contracts.
QList<BlqTitle> rejected(int count);

// Appends the titles to Blq in one transaction.
void store(const QList<BlqTitle>& titles);
// Empties Blq (upgrading it first) and stores the titles numbered 1..count.
void fill(int count);

} // namespace BlqTitles
