#include "DbQueryDataSource.h"

#include "DbQuery.h"

DbQueryDataSource::DbQueryDataSource(DbQuery& query, const QString& name)
    : m_query(query), m_name(name)
{
}

void DbQueryDataSource::first()
{
    if (m_query.isOpen())
        m_query.first();
    else
        m_query.open();
}

bool DbQueryDataSource::eof() const
{
    return m_query.eof();
}

void DbQueryDataSource::next()
{
    m_query.next();
}

bool DbQueryDataSource::hasField(const QString& field) const
{
    return m_query.hasField(field);
}

ReportDataSource::FieldKind DbQueryDataSource::fieldKind(const QString& field) const
{
    switch (m_query.fieldKind(field)) {
    case BlqSchema::Kind::AutoInc:
    case BlqSchema::Kind::Integer:
        return FieldKind::Integer;
    case BlqSchema::Kind::Date:
        return FieldKind::Date;
    case BlqSchema::Kind::Money:
        return FieldKind::Money;
    case BlqSchema::Kind::Memo:
        return FieldKind::Memo;
    case BlqSchema::Kind::Logical:
        return FieldKind::Boolean;
    case BlqSchema::Kind::Text:
        break;
    }
    return FieldKind::Text;
}

QVariant DbQueryDataSource::value(const QString& field) const
{
    if (m_query.isNull(field))
        return {};
    switch (fieldKind(field)) {
    case FieldKind::Integer:
        return QVariant::fromValue(qint64(m_query.asInteger(field)));
    case FieldKind::Date:
        return m_query.asDate(field);
    case FieldKind::Money:
    case FieldKind::Float:
        return m_query.asFloat(field);
    case FieldKind::Boolean:
        return m_query.asBool(field);
    default:
        return m_query.asString(field);
    }
}

QString DbQueryDataSource::displayText(const QString& field) const
{
    return m_query.displayText(field);
}
