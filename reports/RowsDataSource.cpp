#include "RowsDataSource.h"

#include "KvError.h"

RowsDataSource::RowsDataSource(QString name, const QStringList& fields) : m_name(std::move(name))
{
    for (int i = 0; i < fields.size(); ++i) {
        m_fields.insert(fields.at(i).toLower(), i);
        m_exact.insert(fields.at(i), i);
    }
}

int RowsDataSource::index(const QString& field) const
{
    // Definitions name the fields as the code does: found without a lower-case copy, which
    // would cost an allocation per field of every row.
    const auto exact = m_exact.constFind(field);
    if (exact != m_exact.cend())
        return *exact;
    const auto it = m_fields.constFind(field.toLower());
    if (it == m_fields.cend())
        throw KvError(QStringLiteral("Campo %1 não encontrado em %2").arg(field, m_name));
    return *it;
}

bool RowsDataSource::hasField(const QString& field) const
{
    return m_fields.contains(field.toLower());
}

QString RowsDataSource::text(qsizetype row, const QString& field) const
{
    const int i = index(field);
    const QStringList& r = m_rows.at(row);
    return i < r.size() ? r.at(i) : QString();
}

QVariant RowsDataSource::value(const QString& field) const
{
    const QString t = displayText(field);
    return t.isEmpty() ? QVariant() : QVariant(t);
}

QString RowsDataSource::displayText(const QString& field) const
{
    if (eof())
        return {};
    return text(m_at, field);
}
