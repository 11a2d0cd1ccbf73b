#pragma once

#include "ReportDataSource.h"

#include <QHash>
#include <QList>
#include <QStringList>

// Rows made by code for a report whose lines are not one row of a query each (groups with
// their totals, sections of a summary): every field is text, as it is to print.
class RowsDataSource : public ReportDataSource {
public:
    RowsDataSource(QString name, const QStringList& fields);

    void clear() { m_rows.clear(); }
    // One row; missing trailing fields are empty.
    void append(const QStringList& values) { m_rows.append(values); }
    qsizetype size() const { return m_rows.size(); }
    const QStringList& row(qsizetype i) const { return m_rows.at(i); }
    QString text(qsizetype row, const QString& field) const;

    QString name() const override { return m_name; }
    void first() override { m_at = 0; }
    bool eof() const override { return m_at >= m_rows.size(); }
    void next() override { ++m_at; }
    bool hasField(const QString& field) const override;
    FieldKind fieldKind(const QString&) const override { return FieldKind::Text; }
    QVariant value(const QString& field) const override;
    QString displayText(const QString& field) const override;

private:
    int index(const QString& field) const; // raises for an unknown field

    QString m_name;
    QHash<QString, int> m_fields; // lower-case name -> column
    QHash<QString, int> m_exact;  // name as given -> column
    QList<QStringList> m_rows;
    qsizetype m_at = 0;
};
