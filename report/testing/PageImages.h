#pragma once

#include "RpPagePainter.h"
#include "TRpPrinter.h"
#include "TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

// Pages as pictures in the tests: what the page painter draws and what poppler renders
// from a PDF, in grey at the same resolution.
namespace PageImages {
inline QImage painted(const TRpPrinter& store, int page, int dpi)
{
    const QSize paper = store.paperSize();
    QImage img(qRound(paper.width() * dpi / 25400.0), qRound(paper.height() * dpi / 25400.0),
               QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    RpPagePainter::paint(p, store, page, QRectF(0, 0, img.width(), img.height()), 600);
    p.end();
    return img.convertToFormat(QImage::Format_Grayscale8);
}

// Page `page` (1-based) of a PDF as pdftoppm renders it; null when it cannot.
inline QImage rendered(const QString& pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("page"));
    int rc = -1;
    TestSupport::run(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                      QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                      QString::number(page), QStringLiteral("-singlefile"), pdf, base},
                     &rc);
    if (rc != 0)
        return {};
    return QImage(base + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

// Mean absolute difference of grey levels over the area both cover, `b` shifted by
// (dx, dy) pixels.
inline double meanDifference(const QImage& a, const QImage& b, int dx = 0, int dy = 0)
{
    const int w = std::min(a.width(), b.width()) - 2 * std::abs(dx);
    const int h = std::min(a.height(), b.height()) - 2 * std::abs(dy);
    const int x0 = std::abs(dx), y0 = std::abs(dy);
    if (w <= 0 || h <= 0)
        return 255;
    qint64 sum = 0;
    for (int y = y0; y < y0 + h; ++y) {
        const uchar* la = a.constScanLine(y);
        const uchar* lb = b.constScanLine(y + dy);
        for (int x = x0; x < x0 + w; ++x)
            sum += std::abs(int(la[x]) - int(lb[x + dx]));
    }
    return double(sum) / (qint64(w) * h);
}

// The smallest rectangle holding the dark pixels of `area`; empty when there are none.
inline QRect ink(const QImage& img, const QRect& area, int threshold = 160)
{
    QRect box;
    const QRect r = area & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const uchar* line = img.constScanLine(y);
        for (int x = r.left(); x <= r.right(); ++x) {
            if (line[x] < threshold)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}
} // namespace PageImages
