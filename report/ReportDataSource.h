#pragma once

#include <QString>
#include <QVariant>

// The rows a report runs over. The engine knows nothing of databases: a report is handed
// one of these (an adapter over the program's queries lives beside the store), and
// walks it from first() to eof(), one detail band per row.
class ReportDataSource {
public:
    enum class FieldKind { Text, Memo, Integer, Float, Money, Date, Time, DateTime, Boolean };

    virtual ~ReportDataSource() = default;

    // The name expressions use to refer to its fields ("qryTitulo.BlqSacNom").
    virtual QString name() const = 0;
    // Stands on the first row, running the statement again when it has to.
    virtual void first() = 0;
    virtual bool eof() const = 0;
    virtual void next() = 0;

    // Fields are named without regard to case. Asking for an unknown field raises KvError.
    virtual bool hasField(const QString& field) const = 0;
    virtual FieldKind fieldKind(const QString& field) const = 0;
    // The stored value of the current row; a null QVariant when absent. Dates as QDate,
    // money and floats as double, integers as qint64, logicals as bool.
    virtual QVariant value(const QString& field) const = 0;
    // The text a data field shows when it has no mask (dates "dd/mm/yyyy", money with the
    // regional separators and no symbol, null as empty).
    virtual QString displayText(const QString& field) const = 0;
};
