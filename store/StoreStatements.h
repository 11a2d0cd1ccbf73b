#pragma once

#include "BlqSchema.h"
#include "DbStatement.h"

#include <QList>
#include <QString>
#include <QStringList>

// The store's own statements: the tables it creates, the columns it lists, counting and
// emptying a table, appending rows, the SQLite file's pragmas and the server's locks.
//
// How statements are kept. Every statement the program runs has one home: a function of a
// `…Statements` namespace in store/ (this one for the store's housekeeping, BlqStatements
// for the bloqueto table, one more per further table: RetStatements, EmaStatements, ...)
// returning a DbStatement. Its `sqlite` text is the statement as the program writes it for
// its own file; `server` is PostgreSQL's text, given only where it must differ, with the
// reason in `why`; a statement of one engine only says so in `runs`. Callers run it with
// DbQuery::setStatement() (or its joined(onServer) text on a connection of their own), never
// with text of their own. Every statement is also listed in StoreCatalog::statements(), which
// a test walks to prepare and run each on both engines: a statement missing there is one the
// test cannot vouch for.
//
// A further table: describe its columns (name, kind, width) as BlqSchema does, give its
// home a createTable() built with StoreStatements::createTable(), and add a line to
// StoreCatalog::tables(); Database then creates it, when missing, on both engines, with
// each engine's column types (columnType below).
namespace StoreStatements {
struct ColumnDef {
    QString name;
    BlqSchema::Kind kind;
    int width = 0; // characters, for text columns
};

// The declared type of a column on each engine. The file keeps the program's own types;
// the server gets exact amounts, real dates and logicals, and texts compared byte by byte.
QString columnType(BlqSchema::Kind kind, int width, bool onServer);
// A table with these columns. The server's creates it only when missing, so that two desks
// starting at once both succeed.
DbStatement createTable(const QString& table, const QList<ColumnDef>& columns);

DbStatement tables();                           // names of the file's tables (SQLite)
DbStatement tableCount();                       // whether the file can be read at all (SQLite)
DbStatement tableMissing(const QString& table); // whether the server lacks it (server)
// Name, declared type and whether the store numbers it, per column in table order. On the
// server the table name is the one parameter.
DbStatement columns(const QString& table);
DbStatement countRows(const QString& table);
DbStatement countOf(const DbStatement& query); // the rows a query returns
DbStatement deleteRows(const QString& table);
DbStatement insertRow(const QString& table, const QStringList& columns); // one "?" each
DbStatement copyRows(const QString& table, const QStringList& columns);  // server's bulk path
DbStatement sourceId(); // the SQLite library that runs the file

// The SQLite file's settings (see Database::connection and DbTable::emptyTable).
DbStatement pageSize();
DbStatement setPageSize(int bytes);
DbStatement journalMode();
DbStatement setJournalMode(const QString& mode);
DbStatement journalSizeLimit(qint64 bytes);
DbStatement busyTimeout(int ms);
DbStatement secureDelete();
DbStatement setSecureDelete(int on);
DbStatement freelistCount();
DbStatement pageCount();
DbStatement vacuum();

// The server's session lock of one import at a time (see PgImportLock).
DbStatement tryImportLock();
DbStatement releaseImportLock();
} // namespace StoreStatements
