#pragma once

#include "DbQuery.h"
#include "DbQueryDataSource.h"
#include "TRpReport.h"

#include <memory>

class TRpPrinter;

// The rejected-titles report without its window: the query of the rejected rows and the
// report read from its definition, bound together. The form and the batch tool both
// drive it.
class RelRejeicoes {
public:
    RelRejeicoes();
    ~RelRejeicoes();

    DbQuery qryRejeicoes;
    std::unique_ptr<TRpReport> rptRelRejeicoes;

    void open() { qryRejeicoes.open(); }
    void close() { qryRejeicoes.close(); }
    // One pass into a fresh store (no preview).
    void produce(TRpPrinter& store);
    // Produces the report and writes it as PDF; answers the number of pages (0 writes
    // nothing).
    int writePdf(const QString& path);

    static QString definitionPath();

private:
    DbQueryDataSource m_source;
};
