#include "RpPrintOutput.h"

#include "CupsQueues.h"
#include "Dialogs.h"
#include "RpPagePainter.h"
#include "TRpPrinter.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace {
// The sheet in portrait terms; the layout's orientation turns it.
QPageSize pageSizeOf(QSize paperUm)
{
    const int shortSide = std::min(paperUm.width(), paperUm.height());
    const int longSide = std::max(paperUm.width(), paperUm.height());
    return QPageSize(QSizeF(shortSide / 1000.0, longSide / 1000.0), QPageSize::Millimeter,
                     QString(), QPageSize::FuzzyMatch);
}
} // namespace

RpPrintOutput::RpPrintOutput(const TRpPrinter& store) : m_store(store) {}

RpPrintOutput::~RpPrintOutput() = default;

void RpPrintOutput::printerSetup()
{
    if (m_store.isLoaded() || !m_store.source().printer)
        return;
    dialogs().choosePrinter(m_store.source().printer(), m_store.pageCount());
}

bool RpPrintOutput::print()
{
    if (!m_store.isFinished())
        return false;
    const TRpPrinter::Source& source = m_store.source();
    const bool live = !m_store.isLoaded() && source.print && source.printer;
    QPrinter* printer = live ? source.printer() : nullptr;
    if (!printer) {
        if (!m_ownPrinter)
            m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer = m_ownPrinter.get();
        printer->setPageSize(pageSizeOf(m_store.paperSize()));
        printer->setPageOrientation(m_store.landscape() ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
    }
    // The printer keeps what its set-up chose (printer, copies, orientation, page range)
    // for this print; only a range asked for in code replaces that choice.
    if (m_store.FirstPage > 0 || m_store.LastPage > 0) {
        printer->setPrintRange(QPrinter::PageRange);
        printer->setFromTo(m_store.FirstPage, m_store.LastPage);
    }
    if (!dialogs().choosePrinter(printer, m_store.pageCount()))
        return false;
    // A printer the toolkit could not find among the server's queues falls back to PDF
    // without a file: when the server is what is missing, that is the message to give.
    if (printer->outputFormat() == QPrinter::PdfFormat && printer->outputFileName().isEmpty())
        CupsQueues::list();
    const int printed = live ? source.print(*printer) : printStored(*printer);
    // The toolkit hands the job to CUPS and keeps the answer to itself.
    if (printed > 0 && printer->outputFormat() == QPrinter::NativeFormat) {
        const QString notice = CupsQueues::checkSubmitted(printer->printerName());
        if (!notice.isEmpty())
            dialogs().message(notice, QStringLiteral("Aviso"));
    }
    return true;
}

int RpPrintOutput::printStored(QPrinter& printer)
{
    const int pageCount = m_store.pageCount();
    if (pageCount == 0)
        return 0;
    const int first = qBound(1, printer.fromPage() > 0 ? printer.fromPage() : 1, pageCount);
    const int last = qBound(first, printer.toPage() > 0 ? printer.toPage() : pageCount, pageCount);
    QPainter painter;
    for (int i = first - 1; i < last; ++i) {
        QCoreApplication::processEvents();
        RpPagePainter::printPage(painter, printer, m_store, i);
    }
    painter.end();
    return last - first + 1;
}
