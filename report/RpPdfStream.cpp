#include "RpPdfStream.h"

#include "KvError.h"
#include "RpPagePainter.h"
#include "RpTypes.h"
#include "TRpPrinter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

RpPdfStream::RpPdfStream(QString path) : m_path(std::move(path)) {}

RpPdfStream::~RpPdfStream()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
    // A QSaveFile that is not committed leaves any older file as it was.
}

void RpPdfStream::addPage(const TRpPrinter& store, int index)
{
    if (!m_writer) {
        m_file = std::make_unique<QSaveFile>(m_path);
        if (!m_file->open(QIODevice::WriteOnly))
            throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                              .arg(m_path, m_file->errorString()));
        m_writer = std::make_unique<QPdfWriter>(m_file.get());
        m_writer->setResolution(Rp::kOutputDpi);
        const QSize paper = store.paperSize();
        const QSizeF portraitMm(std::min(paper.width(), paper.height()) / 1000.0,
                                std::max(paper.width(), paper.height()) / 1000.0);
        m_writer->setPageLayout(QPageLayout(
            QPageSize(portraitMm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
            store.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
        m_writer->setTitle(store.title());
        m_writer->setCreator(QStringLiteral("kvcob"));
        m_painter = std::make_unique<QPainter>(m_writer.get());
    } else {
        m_writer->newPage();
    }
    RpPagePainter::paint(*m_painter, store, index,
                         QRectF(0, 0, m_writer->width(), m_writer->height()), Rp::kOutputDpi);
    ++m_pages;
}

void RpPdfStream::finish()
{
    if (!m_painter)
        throw KvError(QStringLiteral("Não há páginas para gravar em %1.").arg(m_path));
    m_painter->end();
    if (m_file->error() != QFileDevice::NoError || !m_file->commit())
        throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                          .arg(m_path, m_file->errorString()));
}
