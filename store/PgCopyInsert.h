#pragma once

#include "DbStatement.h"

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

struct pg_conn;

// Appends rows to a server table through COPY on the libpq connection beneath a Qt QPSQL
// connection: the server's fast path, one statement for a whole batch of rows instead of a
// round trip per row. Rows are gathered in text form and sent in large pieces; the COPY is
// started by the first row and ended by finish(), which also reports any row the server
// refused. While a COPY is open the connection runs nothing else.
class PgCopyInsert {
public:
    // Null when the connection is not a server connection this can drive.
    // `copy` is the server's COPY ... FROM STDIN (StoreStatements::copyRows).
    static std::unique_ptr<PgCopyInsert> prepare(const QSqlDatabase& db, const DbStatement& copy);
    ~PgCopyInsert();
    PgCopyInsert(const PgCopyInsert&) = delete;
    PgCopyInsert& operator=(const PgCopyInsert&) = delete;

    // Adds row[columns[0]], row[columns[1]], ... as one row of the COPY.
    void exec(const QList<QVariant>& row, const QList<int>& columns);
    // Sends what is gathered and ends the COPY; raises the server's refusal.
    void finish();
    // Ends an open COPY without storing its rows (the transaction is rolled back after).
    void abort();
    bool isOpen() const { return m_open; }

private:
    PgCopyInsert(const QSqlDatabase& db, pg_conn* conn, QByteArray statement)
        : m_db(db), m_conn(conn), m_statement(std::move(statement))
    {
    }
    void begin();
    void send();
    void appendValue(const QVariant& value);
    void appendText(QStringView text);
    [[noreturn]] void raise(const QString& serverText, const QByteArray& sqlState = {});

    QSqlDatabase m_db;
    pg_conn* m_conn;
    QByteArray m_statement;
    QByteArray m_buffer;
    bool m_open = false;
};
