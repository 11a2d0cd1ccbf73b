#pragma once

#include "RowsDataSource.h"
#include "TRpReport.h"

#include <QDate>
#include <memory>

class TRpPrinter;

// "Títulos Liquidados": the settlements whose credit date lies in a period, grouped by
// beneficiary, one line per title with what was due, what was paid and how they differ,
// totals per beneficiary and overall. The window and the batch tool both drive it.
class RelLiquidados {
public:
    RelLiquidados();
    ~RelLiquidados();

    // The period of credit dates of the latest processed file; invalid dates when none.
    static std::pair<QDate, QDate>
    lastFilePeriod(const QString& alias = QStringLiteral("cobrancaKV"));

    // Reads the settlements of [from, to] into the report's rows; answers how many.
    int select(const QDate& from, const QDate& to);
    void produce(TRpPrinter& store);
    int writePdf(const QString& path); // pages written, 0 writes nothing

    std::unique_ptr<TRpReport> rptLiquidados;
    static QString definitionPath();

private:
    RowsDataSource m_rows;
};
