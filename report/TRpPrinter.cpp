#include "TRpPrinter.h"

#include "CupsQueues.h"
#include "Dialogs.h"
#include "KvError.h"
#include "PrivateFiles.h"
#include "RpPageFile.h"
#include "RpPagePainter.h"
#include "RpPdfStream.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>

namespace {
void writeAtomically(const QString& path, const QByteArray& bytes)
{
    PrivateFiles::tighten(path); // the new file takes the old one's permissions
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                          .arg(path, file.errorString()));
}

// The sheet in portrait terms; the layout's orientation turns it.
QPageSize pageSizeOf(QSize paperUm)
{
    const int shortSide = std::min(paperUm.width(), paperUm.height());
    const int longSide = std::max(paperUm.width(), paperUm.height());
    return QPageSize(QSizeF(shortSide / 1000.0, longSide / 1000.0), QPageSize::Millimeter,
                     QString(), QPageSize::FuzzyMatch);
}
} // namespace

TRpPrinter::TRpPrinter(QObject* parent) : QObject(parent) {}

TRpPrinter::~TRpPrinter() = default;

void TRpPrinter::attachViewer(QObject* viewer)
{
    m_viewer = viewer;
}

void TRpPrinter::detachViewer(QObject* viewer)
{
    if (m_viewer != viewer || !viewer)
        return;
    m_viewer = nullptr;
    if (m_state == State::Producing)
        m_cancel = true;
    Q_EMIT released();
}

void TRpPrinter::begin(QSize paperUm, bool landscape)
{
    m_paper = paperUm;
    m_landscape = landscape;
    m_state = State::Producing;
}

int TRpPrinter::fontIndex(const RpFont& font)
{
    const qsizetype i = m_fonts.indexOf(font);
    if (i >= 0)
        return int(i);
    m_fonts.append(font);
    return int(m_fonts.size() - 1);
}

int TRpPrinter::pictureIndex(const QImage& picture)
{
    // The same picture object (a logo kept between rows) is found by its key at once; a
    // picture read again from the same file is found by its content.
    if (auto it = m_pictureByKey.constFind(picture.cacheKey()); it != m_pictureByKey.cend())
        return *it;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const QString dims = QStringLiteral("%1x%2:%3")
                             .arg(picture.width())
                             .arg(picture.height())
                             .arg(int(picture.format()));
    hash.addData(dims.toLatin1());
    for (int y = 0; y < picture.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(picture.constScanLine(y)),
                                    picture.bytesPerLine()));
    const QByteArray digest = hash.result();
    int index = m_pictureByContent.value(digest, -1);
    if (index < 0) {
        m_pictures.append(picture);
        index = int(m_pictures.size() - 1);
        m_pictureByContent.insert(digest, index);
    }
    m_pictureByKey.insert(picture.cacheKey(), index);
    return index;
}

void TRpPrinter::addPage(RpPage page)
{
    if (m_state != State::Producing || m_cancel)
        return;
    m_pages.append(std::move(page));
    Q_EMIT pageAdded(pageCount());
}

void TRpPrinter::releasePage(int index)
{
    if (index >= 0 && index < pageCount())
        m_pages.release(size_t(index));
}

void TRpPrinter::finish()
{
    if (m_state != State::Producing)
        return;
    m_state = State::Finished;
    Q_EMIT stateChanged();
}

void TRpPrinter::fail()
{
    if (m_state != State::Producing)
        return;
    m_state = State::Failed;
    Q_EMIT stateChanged();
}

qsizetype TRpPrinter::bytes() const
{
    qsizetype total = m_pages.bytes();
    for (const QImage& i : m_pictures)
        total += i.sizeInBytes();
    return total;
}

void TRpPrinter::replaceContent(std::vector<RpPage> pages, QList<RpFont> fonts,
                                QList<QImage> pictures, QSize paperUm, bool landscape)
{
    if (m_state == State::Producing)
        m_cancel = true;
    m_pages.assign(std::move(pages));
    m_fonts = std::move(fonts);
    m_pictures = std::move(pictures);
    m_pictureByKey.clear();
    m_pictureByContent.clear();
    m_paper = paperUm;
    m_landscape = landscape;
    m_state = State::Finished;
    m_loaded = true;
    Q_EMIT contentReplaced();
    Q_EMIT stateChanged();
}

void TRpPrinter::printerSetup()
{
    if (m_loaded || !m_source.printer)
        return;
    dialogs().choosePrinter(m_source.printer());
}

bool TRpPrinter::print()
{
    if (!isFinished())
        return false;
    const bool live = !m_loaded && m_source.print && m_source.printer;
    QPrinter* printer = live ? m_source.printer() : nullptr;
    if (!printer) {
        if (!m_ownPrinter)
            m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer = m_ownPrinter.get();
        printer->setPageSize(pageSizeOf(m_paper));
        printer->setPageOrientation(m_landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    // The printer keeps what its set-up chose (printer, copies, orientation, page range)
    // for this print; only a range asked for in code replaces that choice.
    if (FirstPage > 0 || LastPage > 0) {
        printer->setPrintRange(QPrinter::PageRange);
        printer->setFromTo(FirstPage, LastPage);
    }
    if (!dialogs().choosePrinter(printer))
        return false;
    // A printer the toolkit could not find among the server's queues falls back to PDF
    // without a file: when the server is what is missing, that is the message to give.
    if (printer->outputFormat() == QPrinter::PdfFormat && printer->outputFileName().isEmpty())
        CupsQueues::list();
    const int printed = live ? m_source.print(*printer) : printStored(*printer);
    // The toolkit hands the job to CUPS and keeps the answer to itself.
    if (printed > 0 && printer->outputFormat() == QPrinter::NativeFormat) {
        const QString notice = CupsQueues::checkSubmitted(printer->printerName());
        if (!notice.isEmpty())
            dialogs().message(notice, QStringLiteral("Aviso"));
    }
    return true;
}

int TRpPrinter::printStored(QPrinter& printer)
{
    if (pageCount() == 0)
        return 0;
    const int first = qBound(1, printer.fromPage() > 0 ? printer.fromPage() : 1, pageCount());
    const int last =
        qBound(first, printer.toPage() > 0 ? printer.toPage() : pageCount(), pageCount());
    QPainter painter;
    for (int i = first - 1; i < last; ++i) {
        QCoreApplication::processEvents();
        RpPagePainter::printPage(painter, printer, *this, i);
    }
    painter.end();
    return last - first + 1;
}

void TRpPrinter::saveToFile(const QString& path)
{
    if (!isFinished())
        return;
    writeAtomically(path, RpPageFile::write(*this));
}

void TRpPrinter::loadFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KvError(QStringLiteral("Impossível carregar o arquivo selecionado: %1").arg(path));
    try {
        RpPageFile::read(file.readAll(), *this);
    } catch (const KvError& e) {
        throw KvError(QStringLiteral("Impossível carregar o arquivo selecionado: %1\n%2")
                          .arg(path, e.message()));
    }
}

void TRpPrinter::exportPdf(const QString& path)
{
    if (!isFinished())
        throw KvError(QStringLiteral("O relatório ainda está sendo gerado."));
    RpPdfStream pdf(path);
    for (int i = 0; i < pageCount(); ++i)
        pdf.addPage(*this, i);
    pdf.finish();
}

int TRpPrinter::exportPerRecord(const QString& folder)
{
    if (!isFinished())
        throw KvError(QStringLiteral("O relatório ainda está sendo gerado."));
    if (!canExportPerRecord())
        throw KvError(QStringLiteral("Este relatório não se grava em um arquivo por registro."));
    return m_source.exportPerRecord(folder);
}

QString TRpPrinter::saveFilter()
{
    return QStringLiteral("Arquivo de relatório (*.KVR)");
}
