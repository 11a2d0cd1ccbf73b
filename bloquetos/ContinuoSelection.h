#pragma once

#include "BlqTitle.h"

#include <QList>
#include <QString>
#include <QStringList>

// The contract list and the bloqueto selection of the continuous forms, over Blq.
namespace ContinuoSelection {
// What the contract box shows instead of a contract to select every valid bloqueto.
QString todos();

// One entry per distinct agency, contract and beneficiary of the whole table: agency as
// "%4.4d", 8 blanks, contract as "%9.9d", 4 blanks, beneficiary name. A code that is not
// a whole number cannot be written so; its row is left out and the conversion error of
// the first such code is returned in `error` (empty when every code was whole).
QStringList contractEntries(QString* error);
// The entry of one contract; raises the conversion error for a code that is not whole.
QString contractEntry(const QString& agency, const QString& contract, const QString& name);

// The valid bloquetos of one contract (agency and contract as stored), or of all contracts,
// in the order agency, contract, bloqueto number.
QList<BlqTitle> rows(bool allContracts, const QString& agency = QString(),
                     const QString& contract = QString());
// The selection for the contract box's text: "Todos" selects every contract; any other
// text gives its characters 1 to 4 as the agency and 13 to 21 as the contract.
QList<BlqTitle> rowsForText(const QString& contractText);
} // namespace ContinuoSelection
