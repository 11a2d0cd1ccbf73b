#include "RpPdfStream.h"

#include "KvError.h"
#include "PrivateFiles.h"
#include "RpPdfWorker.h"
#include "RpPdfWriter.h"
#include "TRpPrinter.h"

#include <QSaveFile>

RpPdfStream::RpPdfStream(QString path, Threads threads)
    : m_path(std::move(path)), m_threads(threads)
{
}

// A QSaveFile that is not committed leaves any older file as it was.
RpPdfStream::~RpPdfStream() = default;

void RpPdfStream::open()
{
    PrivateFiles::tighten(m_path); // the new file takes the old one's permissions
    m_file = std::make_unique<QSaveFile>(m_path);
    if (!m_file->open(QIODevice::WriteOnly))
        throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                          .arg(m_path, m_file->errorString()));
    m_worker = std::make_unique<RpPdfWorker>(m_threads == Threads::Two,
                                             std::make_unique<RpPdfWriter>(*m_file));
}

void RpPdfStream::addPage(const TRpPrinter& store, int index)
{
    if (!m_file)
        open();
    if (index < 0 || index >= store.pageCount())
        return;
    ++m_pages;
    m_worker->post([sheet = RpPdfWorker::Sheet(store, index)](RpPdfWorker::Writer& writer) {
        sheet.addTo(*writer);
    });
}

void RpPdfStream::finish()
{
    if (pageCount() == 0)
        throw KvError(QStringLiteral("Não há páginas para gravar em %1.").arg(m_path));
    bool written = false;
    m_worker->post([&written](RpPdfWorker::Writer& writer) { written = writer->finish(); });
    const std::unique_ptr<RpPdfWorker> worker = std::move(m_worker);
    worker->finish();
    if (!written || m_file->error() != QFileDevice::NoError || !m_file->commit())
        throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                          .arg(m_path, m_file->errorString()));
}
