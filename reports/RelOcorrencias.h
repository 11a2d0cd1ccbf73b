#pragma once

#include "RowsDataSource.h"
#include "TRpReport.h"

#include <memory>

class TRpPrinter;

// "Ocorrências do Retorno" of one processed file: counts and sums per kind (the rejections
// with their reasons), then the rejected titles, the divergences and the unidentified
// occurrences, each listed.
class RelOcorrencias {
public:
    RelOcorrencias();
    ~RelOcorrencias();

    // Reads file `fileSeq` (RetArqSeq; 0 the latest). Raises when there is none.
    void select(int fileSeq = 0);
    void produce(TRpPrinter& store);
    int writePdf(const QString& path);

    std::unique_ptr<TRpReport> rptOcorrencias;
    static QString definitionPath();

private:
    RowsDataSource m_rows;
};
