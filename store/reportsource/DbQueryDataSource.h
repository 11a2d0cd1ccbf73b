#pragma once

#include "ReportDataSource.h"

class DbQuery;

// A report's rows from one of the program's queries. The query is not owned; first()
// opens it, or runs it again from its first row.
class DbQueryDataSource final : public ReportDataSource {
public:
    DbQueryDataSource(DbQuery& query, const QString& name);

    QString name() const override { return m_name; }
    void first() override;
    bool eof() const override;
    void next() override;
    bool hasField(const QString& field) const override;
    FieldKind fieldKind(const QString& field) const override;
    QVariant value(const QString& field) const override;
    QString displayText(const QString& field) const override;

private:
    DbQuery& m_query;
    QString m_name;
};
