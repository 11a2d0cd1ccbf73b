#include "RpPdfStream.h"

#include "KvError.h"
#include "RpPdfWriter.h"

#include <QSaveFile>

RpPdfStream::RpPdfStream(QString path) : m_path(std::move(path)) {}

// A QSaveFile that is not committed leaves any older file as it was.
RpPdfStream::~RpPdfStream() = default;

void RpPdfStream::addPage(const TRpPrinter& store, int index)
{
    if (!m_writer) {
        m_file = std::make_unique<QSaveFile>(m_path);
        if (!m_file->open(QIODevice::WriteOnly))
            throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                              .arg(m_path, m_file->errorString()));
        m_writer = std::make_unique<RpPdfWriter>(*m_file);
    }
    m_writer->addPage(store, index);
}

int RpPdfStream::pageCount() const
{
    return m_writer ? m_writer->pageCount() : 0;
}

void RpPdfStream::finish()
{
    if (pageCount() == 0)
        throw KvError(QStringLiteral("Não há páginas para gravar em %1.").arg(m_path));
    const bool written = m_writer->finish();
    if (!written || m_file->error() != QFileDevice::NoError || !m_file->commit())
        throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                          .arg(m_path, m_file->errorString()));
}
