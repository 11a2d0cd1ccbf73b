#pragma once

#include "ReportDataSource.h"

#include <QList>
#include <QString>
#include <QVariant>

// Rows held in memory, for the engine's tests: named fields of given kinds and one list of
// values a row. Texts show as the program's queries show them (dates "dd/mm/yyyy", money
// with the regional separators, null as empty).
class MemoryDataSource final : public ReportDataSource {
public:
    struct Field {
        QString name;
        FieldKind kind;
    };

    MemoryDataSource(const QString& name, const QList<Field>& fields,
                     const QList<QVariantList>& rows);

    QString name() const override { return m_name; }
    void first() override { m_row = 0; }
    bool eof() const override { return m_row >= m_rows.size(); }
    void next() override;
    bool hasField(const QString& field) const override { return indexOf(field) >= 0; }
    FieldKind fieldKind(const QString& field) const override;
    QVariant value(const QString& field) const override;
    QString displayText(const QString& field) const override;

private:
    int indexOf(const QString& field) const;
    int column(const QString& field) const; // raises for unknown names

    QString m_name;
    QList<Field> m_fields;
    QList<QVariantList> m_rows;
    qsizetype m_row = 0;
};
