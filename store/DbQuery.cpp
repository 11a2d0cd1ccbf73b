#include "DbQuery.h"

#include "Database.h"
#include "KvError.h"
#include "Regional.h"
#include "StoreStatements.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

DbQuery::DbQuery(const QString& alias) : m_alias(alias) {}

DbQuery::~DbQuery() = default;

QString DbQuery::text() const
{
    return m_lines.join(QLatin1Char('\n'));
}

void DbQuery::setStatement(const DbStatement& statement)
{
    m_lines = statement.sqlite;
    m_serverLines = statement.server;
}

QString DbQuery::text(const QSqlDatabase& db) const
{
    return statement().joined(db.driverName() == QStringLiteral("QPSQL"));
}

void DbQuery::setParam(const QString& name, const QString& value)
{
    m_params.insert(name.startsWith(QLatin1Char(':')) ? name.mid(1) : name, value);
}

void DbQuery::bindParams(QSqlQuery& q) const
{
    for (auto it = m_params.cbegin(); it != m_params.cend(); ++it) {
        const QString mark = QLatin1Char(':') + it.key();
        if (text().contains(mark, Qt::CaseInsensitive))
            q.bindValue(mark, it.value());
    }
}

void DbQuery::open()
{
    close();
    QSqlDatabase db = Database::connection(m_alias);
    m_server = db.driverName() == QStringLiteral("QPSQL");
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(text(db)))
        Database::raise(db, q.lastError());
    bindParams(q);
    if (!q.exec())
        Database::raise(db, q.lastError());
    m_db = db;
    m_record = q.record();
    m_kinds.clear();
    m_names.clear();
    m_lookup.clear();
    for (int i = 0; i < m_record.count(); ++i) {
        const QSqlField f = m_record.field(i);
        if (const auto* known = BlqSchema::find(f.name())) {
            // Known columns by their defined names: the server reports them in lower case.
            m_names << QLatin1StringView(known->name);
            m_kinds << known->kind;
            continue;
        }
        m_names << f.name();
        switch (f.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            m_kinds << BlqSchema::Kind::Integer;
            break;
        case QMetaType::Double:
            m_kinds << BlqSchema::Kind::Money;
            break;
        default:
            m_kinds << BlqSchema::Kind::Memo;
        }
    }
    m_query.emplace(std::move(q));
    m_recNo = 0;
    m_rowCount = -1;
    fetch();
}

void DbQuery::fetch()
{
    if (m_query->next()) {
        m_eof = false;
        ++m_recNo;
    } else {
        if (m_query->lastError().isValid())
            Database::raise(m_db, m_query->lastError());
        m_eof = true;
    }
}

void DbQuery::close()
{
    m_query.reset();
    m_eof = true;
    m_recNo = 0;
}

void DbQuery::execSql()
{
    close();
    QSqlDatabase db = Database::connection(m_alias);
    QSqlQuery q(db);
    const QString sql = text(db);
    // The server's driver prepares statements with PREPARE, which takes no schema change:
    // a statement without parameters runs as it is.
    if (m_params.isEmpty() && db.driverName() == QStringLiteral("QPSQL")) {
        if (!q.exec(sql))
            Database::raise(db, q.lastError());
        return;
    }
    if (!q.prepare(sql))
        Database::raise(db, q.lastError());
    bindParams(q);
    if (!q.exec())
        Database::raise(db, q.lastError());
}

void DbQuery::first()
{
    open();
}

void DbQuery::next()
{
    if (!m_query || m_eof)
        return;
    fetch();
}

int DbQuery::rowCount()
{
    if (!m_query)
        throw KvError(QStringLiteral("Consulta fechada"));
    if (m_rowCount >= 0)
        return m_rowCount;
    QSqlDatabase db = Database::connection(m_alias);
    QSqlQuery q(db);
    if (!q.prepare(StoreStatements::countOf(statement()).joined(m_server)))
        Database::raise(db, q.lastError());
    bindParams(q);
    if (!q.exec() || !q.next())
        Database::raise(db, q.lastError());
    m_rowCount = q.value(0).toInt();
    return m_rowCount;
}

QStringList DbQuery::fieldNames() const
{
    return m_names;
}

bool DbQuery::hasField(const QString& field) const
{
    return find(field) >= 0;
}

int DbQuery::find(const QString& field) const
{
    // A title is read column by column for every row: remember each spelling once seen.
    if (const auto hit = m_lookup.constFind(field); hit != m_lookup.constEnd())
        return *hit;
    int found = -1;
    for (int i = 0; i < m_names.size() && found < 0; ++i) {
        if (m_names.at(i).compare(field, Qt::CaseInsensitive) == 0)
            found = i;
    }
    m_lookup.insert(field, found);
    return found;
}

int DbQuery::column(const QString& field) const
{
    if (!m_query)
        throw KvError(QStringLiteral("Consulta fechada"));
    const int c = find(field);
    if (c < 0)
        throw KvError(QStringLiteral("Campo '%1' não encontrado").arg(field));
    return c;
}

BlqSchema::Kind DbQuery::fieldKind(const QString& field) const
{
    return m_kinds.at(column(field));
}

QVariant DbQuery::driverValue(const QString& field) const
{
    const int c = column(field);
    if (m_eof)
        return {};
    return m_query->value(c);
}

QVariant DbQuery::value(const QString& field) const
{
    QVariant v = driverValue(field);
    if (m_server && !v.isNull()) {
        // Raw values as the file engine gives them, so that no caller sees which engine
        // holds the table: dates as ISO text, logicals as 0/1.
        if (v.typeId() == QMetaType::QDate)
            return v.toDate().toString(Qt::ISODate);
        if (v.typeId() == QMetaType::Bool)
            return v.toBool() ? 1 : 0;
    }
    return v;
}

bool DbQuery::isNull(const QString& field) const
{
    return driverValue(field).isNull();
}

QString DbQuery::asString(const QString& field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return {};
    if (fieldKind(field) == BlqSchema::Kind::Date)
        return Regional::shortDate(asDate(field));
    return v.toString();
}

QDate DbQuery::asDate(const QString& field) const
{
    const QVariant v = driverValue(field);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

double DbQuery::asFloat(const QString& field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return 0.0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        throw KvConversionError(
            QStringLiteral("'%1' não é um valor numérico válido").arg(v.toString()));
    return d;
}

qint64 DbQuery::asCents(const QString& field) const
{
    return Regional::toCents(asFloat(field));
}

qint32 DbQuery::asInteger(const QString& field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return 0;
    bool ok = false;
    const qint32 i = v.toString().trimmed().toInt(&ok);
    if (!ok)
        throw KvConversionError(
            QStringLiteral("'%1' não é um valor inteiro válido").arg(v.toString()));
    return i;
}

bool DbQuery::asBool(const QString& field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return false;
    return v.toInt() != 0;
}

QString DbQuery::displayText(const QString& field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return {};
    switch (fieldKind(field)) {
    case BlqSchema::Kind::Date:
        return Regional::shortDate(asDate(field));
    case BlqSchema::Kind::Money:
        return Regional::formatCents(asCents(field));
    case BlqSchema::Kind::Logical:
        return asBool(field) ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}
