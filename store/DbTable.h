#pragma once

#include "BlqSchema.h"
#include "PgCopyInsert.h"
#include "SqliteInsert.h"

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

// A table opened by name through a database alias, as the import and the main window use
// it: field list, row count, emptying, and appending rows one at a time. A new row is
// pending until post(); starting another stores the pending one first; closing the table
// drops it. Text is cut to its column's width; an unknown field name is an error.
class DbTable {
public:
    explicit DbTable(const QString& tableName = QStringLiteral("Blq.DB"),
                     const QString& alias = QStringLiteral("cobrancaKV"));
    ~DbTable();
    DbTable(const DbTable&) = delete;
    DbTable& operator=(const DbTable&) = delete;

    void open();
    void close();
    bool isOpen() const { return m_open; }
    const QString& tableName() const { return m_table; }
    const QString& alias() const { return m_alias; }

    QStringList fieldNames() const;
    int rowCount();

    // All rows deleted, columns kept. Works whether the table is open or closed; inside a
    // batch the rows come back when the batch is rolled back.
    void emptyTable();

    void append();
    bool hasPending() const { return m_pending.has_value(); }
    void post();   // error when there is no pending row
    void cancel(); // drops the pending row

    // Fields are set by position: appends look each field up once (any spelling of its
    // name) and set it by its position from then on.
    int fieldIndex(const QString& field) const; // raises for unknown names
    void setText(int field, const QString& value);
    void setFloat(int field, double value);
    void setDate(int field, const QDate& value); // a null date stores null
    void setBool(int field, bool value);
    void setInteger(int field, qint32 value);
    void setMemo(int field, const QString& value);

    // Rows posted (and a table emptied) between begin and commit are written in one
    // transaction; a rollback undoes them. Keeps bulk appends fast, and an import whole.
    void beginBatch();
    void commitBatch();
    void rollbackBatch();

private:
    struct Field {
        QString name;
        BlqSchema::Kind kind;
        int width;
    };
    int indexOf(const QString& field) const; // raises for unknown names
    void requireOpen() const;
    void requirePending() const;
    QVariant& slot(int field); // of the pending row; raises
    void prepareInsert();
    bool onServer() const;
    void finishBulk(); // ends a bulk append before any other statement

    QString m_table;
    QString m_alias;
    QSqlDatabase m_db;
    bool m_open = false;
    bool m_inBatch = false;
    QList<Field> m_fields;
    mutable QHash<QString, int> m_lookup; // field name as the caller spells it -> index
    std::optional<QList<QVariant>> m_pending;
    std::optional<QSqlQuery> m_insert;         // any engine
    std::unique_ptr<SqliteInsert> m_rawInsert; // SQLite, bulk appends
    std::unique_ptr<PgCopyInsert> m_copy;      // PostgreSQL, bulk appends
    QList<int> m_insertColumns;                // fields bound by the insert, in order
};
