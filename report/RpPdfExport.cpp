#include "RpPdfExport.h"

#include "KvError.h"
#include "RpPdfStream.h"
#include "TRpPrinter.h"

void RpPdfExport::write(const TRpPrinter& store, const QString& path)
{
    if (!store.isFinished())
        throw KvError(QStringLiteral("O relatório ainda está sendo gerado."));
    RpPdfStream pdf(path);
    for (int i = 0; i < store.pageCount(); ++i)
        pdf.addPage(store, i);
    pdf.finish();
}

int RpPdfExport::perRecord(const TRpPrinter& store, const QString& folder)
{
    if (!store.isFinished())
        throw KvError(QStringLiteral("O relatório ainda está sendo gerado."));
    if (!store.canExportPerRecord())
        throw KvError(QStringLiteral("Este relatório não se grava em um arquivo por registro."));
    return store.source().exportPerRecord(folder);
}
