#pragma once

#include <QList>
#include <QString>

class ReportDataSource;

// The expressions of report definitions: field references ("query.Field" or a bare field
// name), text literals in single quotes ('' stands for a quote) and "+" joining them.
// Parsed once; evaluated per row from the fields' display texts.
class RpExpression {
public:
    // Raises KvError naming the expression when it cannot be read.
    static RpExpression parse(const QString& text);
    // Raises KvError for a field that the source does not have, or a reference to
    // another source.
    QString evaluate(const ReportDataSource& source) const;

private:
    struct Term {
        bool literal;
        QString source; // the query name of a field reference, may be empty
        QString text;   // literal text or field name
    };
    QList<Term> m_terms;
};
