#include "DbTable.h"

#include "Database.h"
#include "KvError.h"

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
    m_insert.reset();
}

void DbTable::open()
{
    if (m_open)
        return;
    m_db = Database::connection(m_alias);
    QSqlQuery info(m_db);
    // The table name is ours, never the user's; quoted all the same.
    if (!info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(m_table)))
        Database::raise(info.lastError());
    m_fields.clear();
    while (info.next()) {
        Field f;
        f.name = info.value(1).toString();
        int width = 0;
        if (const auto* known = BlqSchema::find(f.name)) {
            f.kind = known->kind;
            width = known->width;
        } else {
            f.kind = kindFromDeclared(info.value(2).toString(), &width);
        }
        f.width = width;
        if (info.value(5).toInt() > 0 && f.kind == BlqSchema::Kind::Integer)
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
    m_insert.reset();
    m_open = false;
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
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(m_table)) || !q.next())
        Database::raise(q.lastError());
    return q.value(0).toInt();
}

void DbTable::emptyTable()
{
    QSqlDatabase db = Database::connection(m_alias);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("DELETE FROM \"%1\"").arg(m_table)))
        Database::raise(q.lastError());
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
    if (!m_insert) {
        QStringList names, marks;
        for (const Field& f : m_fields) {
            if (f.kind == BlqSchema::Kind::AutoInc)
                continue;
            names << QLatin1Char('"') + f.name + QLatin1Char('"');
            marks << QStringLiteral("?");
        }
        m_insert.emplace(m_db);
        const QString sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                .arg(m_table, names.join(QLatin1Char(',')),
                                     marks.join(QLatin1Char(',')));
        if (!m_insert->prepare(sql)) {
            const QSqlError err = m_insert->lastError();
            m_insert.reset();
            Database::raise(err);
        }
    }
    int pos = 0;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).kind == BlqSchema::Kind::AutoInc)
            continue;
        m_insert->bindValue(pos++, m_pending->at(i));
    }
    m_pending.reset();
    if (!m_insert->exec())
        Database::raise(m_insert->lastError());
}

void DbTable::cancel()
{
    m_pending.reset();
}

int DbTable::indexOf(const QString& field) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
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

void DbTable::set(const QString& field, const QVariant& value)
{
    requireOpen();
    requirePending();
    const int i = indexOf(field);
    if (m_fields.at(i).kind == BlqSchema::Kind::AutoInc)
        throw KvError(QStringLiteral("O campo '%1' não pode ser modificado").arg(field));
    (*m_pending)[i] = value;
}

void DbTable::setText(const QString& field, const QString& value)
{
    requireOpen();
    const int i = indexOf(field);
    const int width = m_fields.at(i).width;
    if (m_fields.at(i).kind == BlqSchema::Kind::Text && width > 0 && value.size() > width)
        set(field, value.left(width));
    else
        set(field, value);
}

void DbTable::setFloat(const QString& field, double value)
{
    set(field, value);
}

void DbTable::setDate(const QString& field, const QDate& value)
{
    set(field, value.isValid() ? QVariant(value.toString(Qt::ISODate)) : QVariant());
}

void DbTable::setBool(const QString& field, bool value)
{
    set(field, value ? 1 : 0);
}

void DbTable::setInteger(const QString& field, qint32 value)
{
    set(field, value);
}

void DbTable::setIntegerText(const QString& field, const QString& text)
{
    bool ok = false;
    const qint32 v = text.trimmed().toInt(&ok);
    if (!ok)
        throw KvConversionError(QStringLiteral("'%1' não é um valor inteiro válido").arg(text));
    setInteger(field, v);
}

void DbTable::setMemo(const QString& field, const QString& value)
{
    set(field, value);
}

QVariant DbTable::pendingValue(const QString& field) const
{
    requirePending();
    return m_pending->at(indexOf(field));
}

void DbTable::beginBatch()
{
    requireOpen();
    if (m_inBatch)
        return;
    if (!m_db.transaction())
        Database::raise(m_db.lastError());
    m_inBatch = true;
}

void DbTable::commitBatch()
{
    if (!m_inBatch)
        return;
    m_inBatch = false;
    if (!m_db.commit())
        Database::raise(m_db.lastError());
}

void DbTable::rollbackBatch()
{
    if (!m_inBatch)
        return;
    m_inBatch = false;
    m_db.rollback();
}
