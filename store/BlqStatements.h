#pragma once

#include "DbStatement.h"

// Every statement the program runs over Blq, line by line, exactly as the windows hold them
// (see StoreStatements.h for how statements are kept).
namespace BlqStatements {
DbStatement createTable();                    // the table with its first 32 columns
DbStatement addValMul();                      // schema upgrade, late-fee value
DbStatement addDatMul();                      // schema upgrade, late-fee date
DbStatement addPixEmv();                      // schema upgrade, the bank's PIX payload
DbStatement bloquetosByContract();            // single-sheet report's own text
DbStatement bloquetosInFileOrder();           // "&Folha Solta"
DbStatement rejected();                       // rejected-titles report
DbStatement beneficiaries();                  // customisation window
DbStatement contracts();                      // continuous-form contract list
DbStatement continuousRows(bool oneContract); // continuous-form selection
} // namespace BlqStatements
