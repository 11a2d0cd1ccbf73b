#include "RpPdfSeries.h"

#include "RpPdfWorker.h"
#include "RpPdfWriter.h"
#include "StagedFile.h"
#include "TRpPrinter.h"

#include <QFileInfo>

#include <cerrno>
#include <exception>

RpPdfSeries::RpPdfSeries(Threads threads)
    : m_worker(std::make_unique<RpPdfWorker>(threads == Threads::Two, nullptr))
{
    m_worker->setAtEnd([this] { m_current.reset(); });
}

RpPdfSeries::~RpPdfSeries() = default;

void RpPdfSeries::raiseIfFailed()
{
    if (m_worker->failed())
        m_worker->finish(); // raises the error
}

void RpPdfSeries::writeFile(const QString& path, const TRpPrinter& store, int first, int last)
{
    raiseIfFailed();
    m_folders.insert(QFileInfo(path).absolutePath());
    m_worker->post([this, path](RpPdfWorker::Writer& writer) {
        m_current = std::make_unique<StagedFile>(path);
        QIODevice& device = m_current->open();
        if (writer)
            writer->restart(device);
        else
            writer = std::make_unique<RpPdfWriter>(device, RpPdfWriter::Files::Series);
    });
    for (int i = std::max(0, first); i <= last && i < store.pageCount(); ++i) {
        m_worker->post([sheet = RpPdfWorker::Sheet(store, i)](RpPdfWorker::Writer& writer) {
            sheet.addTo(*writer);
        });
    }
    m_worker->post([this](RpPdfWorker::Writer& writer) {
        if (!writer->finish()) {
            const int error = m_current->failure();
            const QString path = m_current->finalPath();
            m_current.reset();
            StagedFile::raise(path, error != 0 ? error : EIO);
        }
        m_current->commit();
        m_current.reset();
        ++m_done;
    });
}

void RpPdfSeries::finish()
{
    std::exception_ptr error;
    try {
        m_worker->finish();
    } catch (...) {
        error = std::current_exception();
    }
    // One wait for the disk at the end instead of one for each file, which would cost
    // more than writing them; the files in place before a failure are waited for too.
    for (const QString& folder : std::as_const(m_folders))
        StagedFile::syncFolder(folder);
    if (error)
        std::rethrow_exception(error);
}
