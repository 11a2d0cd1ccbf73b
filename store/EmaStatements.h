#pragma once

#include "DbStatement.h"

#include <QString>

// Every statement over Ema, the payers' e-mail addresses: one row per payer's CPF/CNPJ
// (digits only), EmaEnd one or more addresses separated by ';'. The table outlives the
// imports, which never touch it.
namespace EmaStatements {
DbStatement createTable(); // made when missing by Database (StoreCatalog)
DbStatement find();        // :Cpf
DbStatement insert();      // :Cpf, :End
DbStatement update();      // :Cpf, :End
DbStatement remove();      // :Cpf
DbStatement all();         // by CPF/CNPJ
// Rows whose document holds :Doc or whose addresses hold :Texto (patterns of "like",
// the addresses case folded on both engines).
DbStatement search();
} // namespace EmaStatements
