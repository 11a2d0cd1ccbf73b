// Draws the default pictures of the single-sheet bloqueto for the bank "Ravessa" (842-7):
// the bank's logo (100 x 41, 24 bits), its monogram (141 x 110, 256 colours) and the
// right-pointing arrow of the voucher (20 x 31). The BMP files it writes are committed under
// resources/bloqueto; run it again only to change the art:
//   cmake --build build --target kvcob-ravessa-art
//   QT_QPA_PLATFORM=offscreen build/bin/kvcob-ravessa-art resources/bloqueto
#include "ArtCanvas.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {
const QColor kNavy(16, 42, 92);
const QColor kTeal(0, 128, 128);
const QColor kAmber(232, 146, 24);

// The emblem: a disc crossed by three diagonal bands, the "travessa" of the name.
void drawEmblem(QPainter& p, const QRectF& box)
{
    p.save();
    QPainterPath disc;
    disc.addEllipse(box);
    p.fillPath(disc, kTeal);
    p.setClipPath(disc);
    const double s = box.width();
    p.translate(box.center());
    p.rotate(-35);
    for (int i = -1; i <= 1; ++i)
        p.fillRect(QRectF(-s, i * s * 0.27 - s * 0.06, 2 * s, s * 0.12),
                   i == 0 ? kAmber : QColor(Qt::white));
    p.restore();
    p.save();
    p.setPen(QPen(kNavy, qMax(1.0, s / 24)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
    p.restore();
}

QImage logo()
{
    ArtCanvas c(100, 41, QImage::Format_RGB32, ArtCanvas::Smooth::EdgesAndText);
    QPainter& p = c.p;
    drawEmblem(p, QRectF(1, 4, 32, 32));
    p.setFont(artFont("Liberation Sans", 14, true, -0.3));
    p.setPen(kNavy);
    p.drawText(QRectF(35, 6, 65, 17), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("RAVESSA"));
    p.fillRect(QRectF(36, 24, 62, 2), kAmber);
    p.setFont(artFont("Liberation Sans", 8, false, 1.2));
    p.setPen(kTeal);
    p.drawText(QRectF(36, 27, 64, 10), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("BANCO 842"));
    return c.take();
}

QImage monogram()
{
    ArtCanvas c(141, 110, QImage::Format_RGB32);
    QPainter& p = c.p;
    // A rounded shield with the emblem and a large R over it.
    p.fillPath(artPath("M 30 6 L 111 6 Q 116 6 116 12 L 116 56 C 116 82 92 98 70.5 106 "
                       "C 49 98 25 82 25 56 L 25 12 Q 25 6 30 6"),
               kNavy);
    drawEmblem(p, QRectF(40, 14, 61, 61));
    QPainterPath r;
    r.addText(0, 0, artFont("Liberation Serif", 52, true), QStringLiteral("R"));
    const QRectF rb = r.boundingRect();
    r.translate(70.5 - rb.center().x(), 46 - rb.center().y());
    p.setPen(QPen(kNavy, 3));
    p.setBrush(Qt::white);
    p.drawPath(r);
    p.setFont(artFont("Liberation Sans", 11, true, 1.5));
    p.setPen(Qt::white);
    p.drawText(QRectF(25, 78, 91, 14), Qt::AlignCenter, QStringLiteral("RAVESSA"));
    return c.take().convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

QImage arrow()
{
    ArtCanvas c(20, 31, QImage::Format_RGB32, ArtCanvas::Smooth::None);
    QPainter& p = c.p;
    const QPainterPath a = artPath("M 2 10 L 9 10 L 9 3 L 19 15.5 L 9 28 L 9 21 L 2 21 Z");
    p.fillPath(a, Qt::black);
    return c.take().convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}
} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    bool ok = logo()
                  .convertToFormat(QImage::Format_RGB888)
                  .save(out.filePath(QStringLiteral("ravessa-logo.bmp")), "BMP");
    ok = monogram().save(out.filePath(QStringLiteral("ravessa-monograma.bmp")), "BMP") && ok;
    ok = arrow().save(out.filePath(QStringLiteral("seta.bmp")), "BMP") && ok;
    if (!ok)
        std::fprintf(stderr, "could not write the pictures\n");
    return ok ? 0 : 1;
}
