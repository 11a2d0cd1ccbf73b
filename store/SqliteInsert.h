#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A prepared INSERT run straight on the SQLite handle beneath a Qt connection. Qt's own
// binding builds a placeholder name and a hash entry for every value of every row, which
// costs more than SQLite's whole insert on bulk appends; this binds the values as they are.
// Values bind as Qt's SQLite driver binds them: a null variant or null text as NULL, text
// as text, numbers as numbers.
class SqliteInsert {
public:
    // Null when the connection is not one this can drive (another engine, or a SQLite
    // library other than ours); raises when the statement is refused.
    static std::unique_ptr<SqliteInsert> prepare(const QSqlDatabase& db, const QString& sql);
    ~SqliteInsert();
    SqliteInsert(const SqliteInsert&) = delete;
    SqliteInsert& operator=(const SqliteInsert&) = delete;

    // Binds row[columns[0]], row[columns[1]], ... to the statement's parameters and runs it.
    void exec(const QList<QVariant>& row, const QList<int>& columns);

private:
    SqliteInsert(sqlite3* db, sqlite3_stmt* statement) : m_db(db), m_statement(statement) {}
    void bind(int parameter, const QVariant& value);
    // Writes the text's UTF-8 at the start of out, grown as needed; returns its length.
    static int toUtf8(QStringView text, std::string& out);

    sqlite3* m_db;
    sqlite3_stmt* m_statement;
    std::vector<std::string> m_text; // one UTF-8 buffer per parameter, reused
};
