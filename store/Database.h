#pragma once

#include "DbError.h"

#include <QSqlDatabase>
#include <QString>

class QSqlError;

// Database aliases. "cobrancaKV" resolves through the section of that name in kvcob.conf
// in the program directory, or in the system's for an installed program (ProgramDir::confFile;
// see DbAlias); with no such section it is the SQLite file cobrancaKV.db in the program
// directory, created with the program's tables (StoreCatalog::tables: the bloqueto table's
// first 32 columns) when it is missing. A configured PostgreSQL server gets each table when
// it has none. A server connection that was lost is opened again by the next use.
namespace Database {
inline constexpr const char* kDefaultAlias = "cobrancaKV";

// What kvcob.conf says of an alias, without connecting (see DbAlias): the driver, and for
// SQLite the database file made absolute. Raises for an alias that is not configured, a
// password in the file or an unknown driver.
struct AliasConfig {
    QString driver;
    QString database;
    QString host, user, options;
    int port = -1;
    bool configured = false; // a section of kvcob.conf names the alias
};
AliasConfig configuration(const QString& alias);

// The open connection of an alias (names match without regard to case).
QSqlDatabase connection(const QString& alias = QString::fromLatin1(kDefaultAlias));
// The page size of the SQLite files the program creates. Large pages make a bulk import
// write and read its rows in a few large pieces instead of many small ones.
inline constexpr int kPageSize = 65536;
// Moves a SQLite file of smaller pages to kPageSize by compacting it. Only a speed-up: it
// is done only when nothing else has the file open, never waits for anyone, and leaves the
// file as it was when it cannot run (another reader, a full disk). Returns whether the
// file now has the large pages; a server connection is left alone (false).
bool enlargePages(const QString& alias = QString::fromLatin1(kDefaultAlias));
// Closes every connection; the next use opens them afresh (tests, a changed directory).
void closeAll();
// Runs a statement with no result; an engine failure raises its text.
void exec(const QString& alias, const QString& statement);
// Raises the engine's failure as the program's error (DbError).
[[noreturn]] void raise(const QSqlError& error, const QString& context = QString());
// Portuguese advice for an engine failure the user can act on (a database file or folder
// that takes no writes, a full disk), naming the file; empty for any other failure.
// `nativeCode` is the engine's own error number as text.
QString advice(const QString& nativeCode, const QString& engineText, const QString& file);
// The same, naming the server and what failed when the connection is a server's.
[[noreturn]] void raise(const QSqlDatabase& db, const QSqlError& error);
// What kind of failure the engine reported: a full disk, a lock held elsewhere, other.
DbError::Cause causeOf(const QSqlError& error);
// Table names are written with or without the file-table extension: "Blq.DB" is "Blq".
QString tableName(const QString& name);
} // namespace Database
