#pragma once

#include <QStringList>

// Every statement the program runs over Blq, line by line, exactly as the windows hold them.
namespace BlqStatements {
QStringList addValMul();                      // schema upgrade, late-fee value
QStringList addDatMul();                      // schema upgrade, late-fee date
QStringList addPixEmv();                      // schema upgrade, the bank's PIX payload
QStringList bloquetosByContract();            // single-sheet report's own text
QStringList bloquetosInFileOrder();           // "&Folha Solta"
QStringList rejected();                       // rejected-titles report
QStringList beneficiaries();                  // customisation window
QStringList contracts();                      // continuous-form contract list
QStringList continuousRows(bool oneContract); // continuous-form selection
} // namespace BlqStatements
