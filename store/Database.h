#pragma once

#include <QSqlDatabase>
#include <QString>

class QSqlError;

// Database aliases. "cobrancaKV" resolves through the section of that name in kvcob.conf
// in the program directory (see DbAlias); with no such section it is the SQLite file
// cobrancaKV.db in the program directory, created with the bloqueto table's first 32
// columns when it is missing. A configured PostgreSQL server gets the table when it has
// none. A server connection that was lost is opened again by the next use.
namespace Database {
inline constexpr const char* kDefaultAlias = "cobrancaKV";

// The open connection of an alias (names match without regard to case).
QSqlDatabase connection(const QString& alias = QString::fromLatin1(kDefaultAlias));
// Closes every connection; the next use opens them afresh (tests, a changed directory).
void closeAll();
// Runs a statement with no result; an engine failure raises its text.
void exec(const QString& alias, const QString& statement);
// Raises the engine's failure as the program's error.
[[noreturn]] void raise(const QSqlError& error, const QString& context = QString());
// The same, naming the server and what failed when the connection is a server's.
[[noreturn]] void raise(const QSqlDatabase& db, const QSqlError& error);
// A statement of the program as the connection's engine must run it (see PgSchema::adapt).
QString adapt(const QSqlDatabase& db, const QString& statement);
// Table names are written with or without the file-table extension: "Blq.DB" is "Blq".
QString tableName(const QString& name);
} // namespace Database
