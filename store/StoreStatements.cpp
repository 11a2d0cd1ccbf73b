#include "StoreStatements.h"

using K = BlqSchema::Kind;

namespace {
// One line of text on each engine, a reason for the difference.
DbStatement both(const QString& sqlite, const QString& server, const char* why)
{
    return {{sqlite}, {server}, why};
}

DbStatement sqliteOnly(const QString& text)
{
    return {{text}, {}, nullptr, DbStatement::Runs::OnSqliteOnly};
}

DbStatement serverOnly(const QString& text)
{
    return {{}, {text}, nullptr, DbStatement::Runs::OnServerOnly};
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QStringList quotedAll(const QStringList& names)
{
    QStringList out;
    for (const QString& n : names)
        out << quoted(n);
    return out;
}

// Names are quoted on the file; on the server they stay unquoted, as the table was
// created, so that the server folds them to the lower case it keeps.
constexpr const char* kUnquoted = "the server keeps unquoted names in lower case, as the "
                                  "table was created; quoted they would not match";
} // namespace

QString StoreStatements::columnType(K kind, int width, bool onServer)
{
    switch (kind) {
    case K::AutoInc:
        return onServer ? QStringLiteral("INTEGER GENERATED ALWAYS AS IDENTITY PRIMARY KEY")
                        : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case K::Text:
        // Texts compare byte by byte on the server, as on the file, so that every "order by"
        // puts the rows in the same order on both engines whatever the server's locale.
        return onServer ? QStringLiteral("VARCHAR(%1) COLLATE \"C\"").arg(width)
                        : QStringLiteral("VARCHAR(%1)").arg(width);
    case K::Date:
        return QStringLiteral("DATE");
    case K::Money:
        // Exact on the server; its MONEY type follows the server's locale and reads back as
        // text.
        return onServer ? QStringLiteral("NUMERIC(15,2)") : QStringLiteral("MONEY");
    case K::Integer:
        return QStringLiteral("INTEGER");
    case K::Memo:
        return onServer ? QStringLiteral("TEXT COLLATE \"C\"") : QStringLiteral("TEXT");
    case K::Logical:
        return QStringLiteral("BOOLEAN");
    }
    return QStringLiteral("TEXT");
}

DbStatement StoreStatements::createTable(const QString& table, const QList<ColumnDef>& columns)
{
    QStringList file, server;
    for (const ColumnDef& c : columns) {
        file << c.name + QLatin1Char(' ') + columnType(c.kind, c.width, false);
        server << c.name + QLatin1Char(' ') + columnType(c.kind, c.width, true);
    }
    const QString separator = QStringLiteral(", ");
    return both(
        QStringLiteral("CREATE TABLE %1 (%2)").arg(table, file.join(separator)),
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)").arg(table, server.join(separator)),
        "the server's own column types; created only when missing, so that two desks "
        "starting at once both succeed");
}

DbStatement StoreStatements::tables()
{
    return sqliteOnly(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
}

DbStatement StoreStatements::tableCount()
{
    return sqliteOnly(QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

DbStatement StoreStatements::tableMissing(const QString& table)
{
    return serverOnly(QStringLiteral("SELECT to_regclass('%1') IS NULL").arg(table.toLower()));
}

DbStatement StoreStatements::columns(const QString& table)
{
    // A table made by hand may number its rows with a serial column rather than an
    // identity: both are the store's to fill, never the program's.
    return both(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)),
                QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod), "
                               "a.attidentity <> '' OR COALESCE(pg_get_expr(d.adbin, "
                               "d.adrelid) LIKE 'nextval(%', false) "
                               "FROM pg_attribute a LEFT JOIN pg_attrdef d ON d.adrelid = "
                               "a.attrelid AND d.adnum = a.attnum "
                               "WHERE a.attrelid = to_regclass(?) AND a.attnum > 0 AND NOT "
                               "a.attisdropped "
                               "ORDER BY a.attnum"),
                "the server has no table_info pragma: its catalogue is asked instead");
}

DbStatement StoreStatements::countRows(const QString& table)
{
    return both(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted(table)),
                QStringLiteral("SELECT COUNT(*) FROM %1").arg(table), kUnquoted);
}

DbStatement StoreStatements::countOf(const DbStatement& query)
{
    // The server wants a name for the inner query; the file engine takes one as well.
    auto wrap = [](const QStringList& lines) {
        if (lines.isEmpty())
            return QStringList();
        return QStringList{QStringLiteral("SELECT COUNT(*) FROM (")} + lines +
               QStringList{QStringLiteral(") AS n")};
    };
    return {wrap(query.sqlite), wrap(query.server), query.why, query.runs};
}

DbStatement StoreStatements::deleteRows(const QString& table)
{
    // DELETE, not TRUNCATE, on the server: TRUNCATE would lock out the desks still printing
    // the previous titles until the new ones are committed; DELETE lets them read on.
    return both(QStringLiteral("DELETE FROM %1").arg(quoted(table)),
                QStringLiteral("DELETE FROM %1").arg(table), kUnquoted);
}

DbStatement StoreStatements::insertRow(const QString& table, const QStringList& columns)
{
    const QString marks = QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(','));
    return both(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(quoted(table), quotedAll(columns).join(QLatin1Char(',')), marks),
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(table, columns.join(QLatin1Char(',')), marks),
                kUnquoted);
}

DbStatement StoreStatements::copyRows(const QString& table, const QStringList& columns)
{
    // Names unquoted, like the table's own definition: the server folds them to lower case.
    return serverOnly(
        QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns.join(QLatin1Char(','))));
}

DbStatement StoreStatements::sourceId()
{
    return sqliteOnly(QStringLiteral("SELECT sqlite_source_id()"));
}

DbStatement StoreStatements::pageSize()
{
    return sqliteOnly(QStringLiteral("PRAGMA page_size"));
}

DbStatement StoreStatements::setPageSize(int bytes)
{
    return sqliteOnly(QStringLiteral("PRAGMA page_size = %1").arg(bytes));
}

DbStatement StoreStatements::journalMode()
{
    return sqliteOnly(QStringLiteral("PRAGMA journal_mode"));
}

DbStatement StoreStatements::setJournalMode(const QString& mode)
{
    return sqliteOnly(QStringLiteral("PRAGMA journal_mode = %1").arg(mode));
}

DbStatement StoreStatements::journalSizeLimit(qint64 bytes)
{
    return sqliteOnly(QStringLiteral("PRAGMA journal_size_limit = %1").arg(bytes));
}

DbStatement StoreStatements::busyTimeout(int ms)
{
    return sqliteOnly(QStringLiteral("PRAGMA busy_timeout = %1").arg(ms));
}

DbStatement StoreStatements::secureDelete()
{
    return sqliteOnly(QStringLiteral("PRAGMA secure_delete"));
}

DbStatement StoreStatements::setSecureDelete(int on)
{
    return sqliteOnly(QStringLiteral("PRAGMA secure_delete = %1").arg(on));
}

DbStatement StoreStatements::freelistCount()
{
    return sqliteOnly(QStringLiteral("PRAGMA freelist_count"));
}

DbStatement StoreStatements::pageCount()
{
    return sqliteOnly(QStringLiteral("PRAGMA page_count"));
}

DbStatement StoreStatements::vacuum()
{
    return sqliteOnly(QStringLiteral("VACUUM"));
}

namespace {
// One number for the bloqueto import of a database, the same on every desk.
constexpr qint64 kImportLockKey = 0x6B76636F62426C71; // "kvcobBlq"
} // namespace

DbStatement StoreStatements::tryImportLock()
{
    return serverOnly(QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(kImportLockKey));
}

DbStatement StoreStatements::releaseImportLock()
{
    return serverOnly(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kImportLockKey));
}
