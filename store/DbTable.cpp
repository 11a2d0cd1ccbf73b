#include "DbTable.h"

#include "Database.h"
#include "KvError.h"
#include "PgConnection.h"
#include "PgCopyInsert.h"
#include "SqliteInsert.h"
#include "StoreStatements.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

namespace {
// The kind and width of a column from its declared type, for tables that are not the
// bloqueto table we know; the known columns take their kind from the schema.
BlqSchema::Kind kindFromDeclared(const QString& declared, int* width)
{
    const QString t = declared.toUpper();
    static const QRegularExpression sized(QStringLiteral("\\((\\d+)\\)"));
    const auto m = sized.match(t);
    *width = m.hasMatch() ? m.captured(1).toInt() : 0;
    if (t.contains(QStringLiteral("CHAR")))
        return BlqSchema::Kind::Text;
    if (t.contains(QStringLiteral("DATE")))
        return BlqSchema::Kind::Date;
    if (t.contains(QStringLiteral("MONEY")) || t.contains(QStringLiteral("REAL")) ||
        t.contains(QStringLiteral("FLOA")) || t.contains(QStringLiteral("DOUB")) ||
        t.contains(QStringLiteral("NUMERIC")))
        return BlqSchema::Kind::Money;
    if (t.contains(QStringLiteral("BOOL")))
        return BlqSchema::Kind::Logical;
    if (t.contains(QStringLiteral("INT")))
        return BlqSchema::Kind::Integer;
    return BlqSchema::Kind::Memo;
}
} // namespace

DbTable::DbTable(const QString& tableName, const QString& alias)
    : m_table(Database::tableName(tableName)), m_alias(alias)
{
}

DbTable::~DbTable()
{
    m_copy.reset();
    m_insert.reset();
    m_rawInsert.reset();
}

bool DbTable::onServer() const
{
    return m_db.driverName() == QStringLiteral("QPSQL");
}

void DbTable::open()
{
    if (m_open)
        return;
    m_db = Database::connection(m_alias);
    QSqlQuery info(m_db);
    bool listed = false;
    // Columns: name, declared type, and whether the store numbers it.
    const QString columns = StoreStatements::columns(m_table).joined(onServer());
    if (onServer()) {
        listed = info.prepare(columns);
        info.addBindValue(m_table);
        listed = listed && info.exec();
    } else {
        listed = info.exec(columns);
    }
    if (!listed)
        Database::raise(m_db, info.lastError());
    m_fields.clear();
    m_lookup.clear();
    while (info.next()) {
        Field f;
        const bool server = onServer();
        f.name = info.value(server ? 0 : 1).toString();
        const QString declared = info.value(server ? 1 : 2).toString();
        const bool numbered = server ? info.value(2).toBool() : info.value(5).toInt() > 0;
        int width = 0;
        if (const auto* known = BlqSchema::find(f.name)) {
            // The server keeps unquoted names in lower case; the program knows them as
            // they were defined.
            f.name = QLatin1StringView(known->name);
            f.kind = known->kind;
            width = known->width;
        } else {
            f.kind = kindFromDeclared(declared, &width);
        }
        f.width = width;
        if (numbered && f.kind == BlqSchema::Kind::Integer)
            f.kind = BlqSchema::Kind::AutoInc;
        m_fields.append(f);
    }
    if (m_fields.isEmpty())
        throw KvError(QStringLiteral("Tabela não encontrada: %1").arg(m_table));
    m_open = true;
}

void DbTable::close()
{
    if (m_inBatch)
        rollbackBatch();
    m_pending.reset();
    m_copy.reset();
    m_insert.reset();
    m_rawInsert.reset();
    m_open = false;
}

void DbTable::finishBulk()
{
    if (m_copy && m_copy->isOpen())
        m_copy->finish();
    if (m_rawInsert)
        m_rawInsert->finish();
}

QStringList DbTable::fieldNames() const
{
    QStringList out;
    for (const Field& f : m_fields)
        out << f.name;
    return out;
}

int DbTable::rowCount()
{
    requireOpen();
    finishBulk();
    QSqlQuery q(m_db);
    if (!q.exec(StoreStatements::countRows(m_table).joined(onServer())) || !q.next())
        Database::raise(m_db, q.lastError());
    return q.value(0).toInt();
}

void DbTable::emptyTable()
{
    if (m_open)
        finishBulk();
    QSqlDatabase db = m_open ? m_db : Database::connection(m_alias);
    if (db.driverName() == QStringLiteral("QPSQL")) {
        // DELETE, not TRUNCATE: TRUNCATE would lock out the desks still printing the
        // previous titles until the new ones are committed; DELETE lets them read on.
        QSqlQuery del(db);
        if (!del.exec(StoreStatements::deleteRows(m_table).joined(true)))
            Database::raise(db, del.lastError());
        return;
    }
    const bool sqlite = db.driverName() == QStringLiteral("QSQLITE");
    const bool compact = sqlite && !m_inBatch;
    QSqlQuery q(db);
    // Debian's SQLite overwrites every deleted page (secure_delete), which makes emptying a
    // large table cost as much as filling it again. Outside a batch the file is compacted
    // instead, which takes the old rows out of it just the same. Inside one it cannot be
    // (compacting needs a transaction of its own): the new rows overwrite the old rows'
    // pages as they reuse them.
    QString secureDelete;
    auto run = [&q](const DbStatement& statement) { return q.exec(statement.joined(false)); };
    if (sqlite && run(StoreStatements::secureDelete()) && q.next()) {
        secureDelete = q.value(0).toString();
        q.finish();
        run(StoreStatements::setSecureDelete(0));
    }
    const bool deleted = run(StoreStatements::deleteRows(m_table));
    const QSqlError error = q.lastError();
    if (!secureDelete.isEmpty())
        run(StoreStatements::setSecureDelete(secureDelete.toInt()));
    if (!deleted)
        Database::raise(db, error);
    if (compact && run(StoreStatements::freelistCount()) && q.next()) {
        const qint64 free = q.value(0).toLongLong();
        q.finish();
        if (run(StoreStatements::pageCount()) && q.next() && free * 2 > q.value(0).toLongLong()) {
            q.finish();
            // Only a speed-up: when it cannot run the file keeps its free pages.
            run(StoreStatements::vacuum());
        }
    }
}

void DbTable::append()
{
    requireOpen();
    if (m_pending)
        post();
    m_pending = QList<QVariant>(m_fields.size());
}

void DbTable::post()
{
    requireOpen();
    requirePending();
    if (!m_insert && !m_rawInsert && !m_copy)
        prepareInsert();
    // The row goes whatever happens: a refused row is not tried again by the next post.
    const QList<QVariant> row = std::move(*m_pending);
    m_pending.reset();
    if (m_rawInsert) {
        // Inside a batch the rows are stored on a thread of their own while the caller
        // makes the next; a refusal then comes from a later post or from the commit.
        if (m_inBatch)
            m_rawInsert->queue(row, m_insertColumns);
        else
            m_rawInsert->exec(row, m_insertColumns);
        return;
    }
    if (m_copy) {
        m_copy->exec(row, m_insertColumns);
        // Outside a batch every row is stored when posted, as on the file engine.
        if (!m_inBatch)
            m_copy->finish();
        return;
    }
    for (int i = 0; i < m_insertColumns.size(); ++i) {
        const int column = m_insertColumns.at(i);
        const QVariant& v = row.at(column);
        // Logicals are kept as 0/1; a server column wants a true boolean.
        if (m_fields.at(column).kind == BlqSchema::Kind::Logical && !v.isNull())
            m_insert->bindValue(i, v.toInt() != 0);
        else
            m_insert->bindValue(i, v);
    }
    if (!m_insert->exec())
        Database::raise(m_db, m_insert->lastError());
}

void DbTable::prepareInsert()
{
    QStringList names;
    m_insertColumns.clear();
    const bool server = onServer();
    for (int i = 0; i < m_fields.size(); ++i) {
        const Field& f = m_fields.at(i);
        if (f.kind == BlqSchema::Kind::AutoInc)
            continue;
        names << f.name;
        m_insertColumns << i;
    }
    if (server) {
        m_copy = PgCopyInsert::prepare(m_db, StoreStatements::copyRows(m_table, names));
        if (m_copy)
            return;
    }
    const QString sql = StoreStatements::insertRow(m_table, names).joined(server);
    m_rawInsert = SqliteInsert::prepare(m_db, sql);
    if (m_rawInsert)
        return;
    m_insert.emplace(m_db);
    if (!m_insert->prepare(sql)) {
        const QSqlError err = m_insert->lastError();
        m_insert.reset();
        Database::raise(m_db, err);
    }
}

void DbTable::cancel()
{
    m_pending.reset();
}

int DbTable::indexOf(const QString& field) const
{
    // Bulk appends name every field of every row: remember each spelling once seen.
    if (const auto hit = m_lookup.constFind(field); hit != m_lookup.constEnd())
        return *hit;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(field, Qt::CaseInsensitive) == 0) {
            m_lookup.insert(field, i);
            return i;
        }
    }
    throw KvError(QStringLiteral("Campo '%1' não encontrado").arg(field));
}

void DbTable::requireOpen() const
{
    if (!m_open)
        throw KvError(QStringLiteral("Tabela %1 fechada").arg(m_table));
}

void DbTable::requirePending() const
{
    if (!m_pending)
        throw KvError(QStringLiteral("A tabela %1 não está em modo de inclusão").arg(m_table));
}

int DbTable::fieldIndex(const QString& field) const
{
    return indexOf(field);
}

QVariant& DbTable::slot(int field)
{
    requireOpen();
    requirePending();
    if (field < 0 || field >= m_fields.size())
        throw KvError(QStringLiteral("Campo nº %1 não encontrado").arg(field));
    if (m_fields.at(field).kind == BlqSchema::Kind::AutoInc)
        throw KvError(
            QStringLiteral("O campo '%1' não pode ser modificado").arg(m_fields.at(field).name));
    return (*m_pending)[field];
}

void DbTable::setText(int field, const QString& value)
{
    QVariant& v = slot(field);
    const Field& f = m_fields.at(field);
    if (f.kind == BlqSchema::Kind::Text && f.width > 0 && value.size() > f.width)
        v = value.left(f.width);
    else
        v = value;
}

void DbTable::setFloat(int field, double value)
{
    slot(field) = value;
}

void DbTable::setDate(int field, const QDate& value)
{
    QVariant& v = slot(field);
    int year = 0, month = 0, day = 0;
    value.getDate(&year, &month, &day);
    if (!value.isValid() || year < 1 || year > 9999) {
        v = value.isValid() ? QVariant(value.toString(Qt::ISODate)) : QVariant();
        return;
    }
    // YYYY-MM-DD, written by hand: this runs for every date of every imported row.
    char16_t iso[10];
    auto two = [&](int at, int n) {
        iso[at] = u'0' + n / 10;
        iso[at + 1] = u'0' + n % 10;
    };
    two(0, year / 100);
    two(2, year % 100);
    iso[4] = u'-';
    two(5, month);
    iso[7] = u'-';
    two(8, day);
    v = QString(reinterpret_cast<const QChar*>(iso), 10);
}

void DbTable::setBool(int field, bool value)
{
    slot(field) = value ? 1 : 0;
}

void DbTable::setInteger(int field, qint32 value)
{
    slot(field) = value;
}

void DbTable::setMemo(int field, const QString& value)
{
    slot(field) = value;
}

void DbTable::beginBatch()
{
    requireOpen();
    if (m_inBatch)
        return;
    if (!m_db.transaction())
        Database::raise(m_db, m_db.lastError());
    m_inBatch = true;
}

void DbTable::commitBatch()
{
    if (!m_inBatch)
        return;
    try {
        finishBulk();
    } catch (...) {
        // The database refused rows: none of the batch is kept, the table is as before.
        rollbackBatch();
        throw;
    }
    if (!m_db.commit()) {
        // A refused COMMIT (another program's lock, a full disk) leaves the transaction
        // open, and with it the write lock of a connection that lives as long as the
        // window: undone here, the table is as before and the others can write again.
        const QSqlError error = m_db.lastError();
        rollbackBatch();
        Database::raise(m_db, error);
    }
    m_inBatch = false;
}

void DbTable::rollbackBatch()
{
    if (!m_inBatch)
        return;
    m_inBatch = false;
    if (m_copy)
        m_copy->abort();
    if (m_rawInsert)
        m_rawInsert->abort();
    if (m_db.isOpen() && !PgConnection::isBroken(m_db))
        m_db.rollback(); // a lost server connection took its transaction with it
}
