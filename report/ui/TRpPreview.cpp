#include "TRpPreview.h"

#include "RpPagePainter.h"
#include "RpTypes.h"
#include "TRpPrinter.h"

#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace {
constexpr int kCachedPages = 4;
constexpr double kScreenDpi = 96.0; // zoom 100 % shows the paper at this resolution
constexpr int kGap = 8;             // grey border around the sheet
} // namespace

TRpPreview::TRpPreview(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("RpPreview"));
    viewport()->setBackgroundRole(QPalette::Button);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

TRpPreview::~TRpPreview()
{
    setPageStore(nullptr);
}

void TRpPreview::setPageStore(TRpPrinter* store)
{
    if (m_store) {
        disconnect(m_store, nullptr, this, nullptr);
        if (m_store != store)
            m_store->detachViewer(this);
    }
    m_store = store;
    dropCache();
    m_page = 1;
    if (store) {
        store->attachViewer(this);
        connect(store, &TRpPrinter::pageAdded, this, &TRpPreview::storePageAdded);
        connect(store, &TRpPrinter::contentReplaced, this, &TRpPreview::storeReplaced);
        connect(store, &QObject::destroyed, this, &TRpPreview::storeGone);
    }
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

void TRpPreview::setPage(int page)
{
    if (!m_store || page < 1 || page > m_store->pageCount())
        return;
    m_page = page;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void TRpPreview::setZoom(int percent)
{
    if (percent < 2 || percent > 2000)
        return;
    if (percent == m_zoom)
        return;
    m_zoom = percent;
    updateScrollBars();
    viewport()->update();
}

QSizeF TRpPreview::paperPixels(int zoom) const
{
    const QSize um = m_store ? m_store->paperSize() : QSize(210000, 297000);
    const double f = kScreenDpi / Rp::kUmPerInch * zoom / 100.0;
    return QSizeF(um.width() * f, um.height() * f);
}

void TRpPreview::zoomToWidth()
{
    const QSizeF paper = paperPixels(100);
    setZoom(int(std::lround(width() / paper.width() * 90.0)));
}

void TRpPreview::zoomToFit()
{
    const QSizeF paper = paperPixels(100);
    const int byWidth = int(std::lround(width() / paper.width() * 95.0));
    const int byHeight = int(std::lround(height() / paper.height() * 95.0));
    setZoom(std::min(byWidth, byHeight));
}

void TRpPreview::updateScrollBars()
{
    const QSizeF paper = paperPixels(m_zoom);
    const QSize view = viewport()->size();
    const int w = int(std::ceil(paper.width())) + 2 * kGap;
    const int h = int(std::ceil(paper.height())) + 2 * kGap;
    horizontalScrollBar()->setRange(0, std::max(0, w - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, h - view.height()));
    verticalScrollBar()->setPageStep(view.height());
}

void TRpPreview::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    Q_EMIT viewResized();
}

void TRpPreview::setEmptyText(const QString& text)
{
    m_emptyText = text;
    viewport()->update();
}

void TRpPreview::dropCache()
{
    m_cache.clear();
}

QImage TRpPreview::pageImage(int page)
{
    if (!m_store || page < 1 || page > m_store->pageCount())
        return {};
    for (const Cached& c : std::as_const(m_cache)) {
        if (c.page == page && c.zoom == m_zoom)
            return c.image;
    }
    const QSizeF paper = paperPixels(m_zoom);
    QImage image(std::max(1, int(std::lround(paper.width()))),
                 std::max(1, int(std::lround(paper.height()))), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
        RpPagePainter::paint(p, *m_store, page - 1, QRectF(0, 0, image.width(), image.height()),
                             Rp::kOutputDpi);
    }
    m_cache.prepend({page, m_zoom, image});
    while (m_cache.size() > kCachedPages)
        m_cache.removeLast();
    return image;
}

QImage TRpPreview::renderedPage() const
{
    return const_cast<TRpPreview*>(this)->pageImage(m_page);
}

void TRpPreview::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    const QImage image = pageImage(m_page);
    if (image.isNull()) {
        if (!m_emptyText.isEmpty())
            p.drawText(viewport()->rect().adjusted(kGap, kGap, -kGap, -kGap),
                       Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
        return;
    }
    const QSize view = viewport()->size();
    const int totalW = image.width() + 2 * kGap;
    int x = totalW < view.width() ? (view.width() - image.width()) / 2
                                  : kGap - horizontalScrollBar()->value();
    int y = kGap - verticalScrollBar()->value();
    p.fillRect(QRect(x + 3, y + 3, image.width(), image.height()), QColor(96, 96, 96));
    p.drawImage(x, y, image);
}

void TRpPreview::storePageAdded(int count)
{
    if (count == m_page)
        viewport()->update();
    Q_EMIT pageAvailable(count);
}

void TRpPreview::storeReplaced()
{
    dropCache();
    updateScrollBars();
    viewport()->update();
}

void TRpPreview::storeGone()
{
    m_store = nullptr;
    dropCache();
    viewport()->update();
}
