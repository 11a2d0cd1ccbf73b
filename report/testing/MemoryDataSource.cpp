#include "MemoryDataSource.h"

#include "KvError.h"
#include "Regional.h"

#include <QDate>

MemoryDataSource::MemoryDataSource(const QString& name, const QList<Field>& fields,
                                   const QList<QVariantList>& rows)
    : m_name(name), m_fields(fields), m_rows(rows)
{
}

void MemoryDataSource::next()
{
    if (!eof())
        ++m_row;
}

int MemoryDataSource::indexOf(const QString& field) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int MemoryDataSource::column(const QString& field) const
{
    const int c = indexOf(field);
    if (c < 0)
        throw KvError(QStringLiteral("Campo '%1' não encontrado").arg(field));
    return c;
}

ReportDataSource::FieldKind MemoryDataSource::fieldKind(const QString& field) const
{
    return m_fields.at(column(field)).kind;
}

QVariant MemoryDataSource::value(const QString& field) const
{
    const int c = column(field);
    if (eof())
        return {};
    return m_rows.at(m_row).value(c);
}

QString MemoryDataSource::displayText(const QString& field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return {};
    switch (fieldKind(field)) {
    case FieldKind::Date:
        return Regional::shortDate(v.toDate());
    case FieldKind::Money:
        return Regional::formatCents(Regional::toCents(v.toDouble()));
    case FieldKind::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}
