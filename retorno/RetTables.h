#pragma once

#include <QSqlDatabase>

// The return-file tables RetArq and Ret beside Blq, on either engine: created with their
// indexes when missing, never emptied by an import.
namespace RetTables {
void ensure(const QSqlDatabase& db);
} // namespace RetTables
