#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A prepared INSERT run straight on the SQLite handle beneath a Qt connection. Qt's own
// binding builds a placeholder name and a hash entry for every value of every row, which
// costs more than SQLite's whole insert on bulk appends; this binds the values as they are.
// Values bind as Qt's SQLite driver binds them: a null variant or null text as NULL, text
// as text, numbers as numbers.
//
// Inside a transaction the rows may be queued instead: each is then written at once into
// a bundle of plain bytes (text already UTF-8), and a thread of the insert's own binds and
// runs the bundles while the caller makes the next rows.
class SqliteInsert {
public:
    // Null when the connection is not one this can drive (another engine, or a SQLite
    // library other than ours); raises when the statement is refused.
    static std::unique_ptr<SqliteInsert> prepare(const QSqlDatabase& db, const QString& sql);
    ~SqliteInsert();
    SqliteInsert(const SqliteInsert&) = delete;
    SqliteInsert& operator=(const SqliteInsert&) = delete;

    // Binds row[columns[0]], row[columns[1]], ... to the statement's parameters and runs it,
    // after every row queued before it.
    void exec(const QList<QVariant>& row, const QList<int>& columns);

    // The same row stored by the insert's thread, in the order queued. A row the database
    // refuses is reported by a later queue() or by finish(), and the rows after it are
    // dropped. Nothing else may use the connection until finish() or abort().
    void queue(const QList<QVariant>& row, const QList<int>& columns);
    // Returns when every queued row is stored; raises the first refusal among them.
    void finish();
    // Drops the queued rows not yet stored, and any refusal, once the thread is idle.
    void abort();

private:
    using Bundle = std::string; // encoded rows, one after another
    SqliteInsert(sqlite3* db, sqlite3_stmt* statement) : m_db(db), m_statement(statement) {}
    static void encode(const QVariant& value, Bundle& out);
    // Writes the text's UTF-8 at the end of out; returns its length.
    static size_t appendUtf8(QStringView text, Bundle& out);
    // Binds and runs the rows of the bundle, each of `parameters` values.
    void store(const Bundle& bundle);
    void hand(std::unique_lock<std::mutex>& lock); // the rows gathered so far, to the thread
    void work();                                   // the thread's loop
    void rethrowFailure(std::unique_lock<std::mutex>& lock);

    sqlite3* m_db;
    sqlite3_stmt* m_statement;
    int m_parameters = 0;
    Bundle m_single; // the row of exec()

    bool m_threaded = false; // the library lets another thread drive the connection
    Bundle m_gathering;      // the caller's rows, not yet handed over
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Bundle> m_handed; // waiting for the thread, oldest first
    std::vector<Bundle> m_spare; // emptied by the thread, for the caller to fill again
    bool m_working = false;      // the thread holds a bundle
    bool m_stopping = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
};
