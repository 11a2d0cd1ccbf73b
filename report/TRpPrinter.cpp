#include "TRpPrinter.h"

#include <QCryptographicHash>

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
