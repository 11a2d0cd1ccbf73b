#pragma once

#include <QString>

class DbAlias;
class QSqlDatabase;
class QSqlError;
struct pg_conn;

// What the program needs of a server connection beyond Qt's driver: its libpq handle (for
// the bulk path and the health check), and messages that say in Portuguese which server
// failed and what the clerk can do.
namespace PgConnection {
// The libpq connection beneath a Qt QPSQL connection; null for any other connection or
// when the driver's handle is not one this program can drive.
pg_conn* handleOf(const QSqlDatabase& db);
// True when the server connection has been lost (the next command must reconnect).
bool isBroken(const QSqlDatabase& db);
// The message for a connection that could not be opened.
QString openFailure(const DbAlias& alias, const QString& serverText);
// The message for a statement the server refused or could not run.
QString failure(const QSqlDatabase& db, const QSqlError& error);
// The same for a failure met on the libpq handle directly (the bulk path).
QString failure(const QSqlDatabase& db, const QString& serverText, bool connectionLost);
// How messages name the server of a connection: "HOST:PORTA, banco BANCO".
QString serverName(const QSqlDatabase& db);
} // namespace PgConnection
