// Draws the default pictures of the single-sheet bloqueto for the bank "Ravessa" (842-7):
// the bank's logo (100 x 41, 24 bits), its monogram (141 x 110, 256 colours) and the
// right-pointing arrow of the voucher (20 x 31). The BMP files it writes are committed under
// resources/bloqueto; run it again only to change the art:
//   cmake --build build --target kvcob-ravessa-art
//   QT_QPA_PLATFORM=offscreen build/bin/kvcob-ravessa-art resources/bloqueto
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
    QImage img(100, 41, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawEmblem(p, QRectF(1, 4, 32, 32));
    QFont name(QStringLiteral("Liberation Sans"));
    name.setPixelSize(14);
    name.setBold(true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, -0.3);
    p.setFont(name);
    p.setPen(kNavy);
    p.drawText(QRectF(35, 6, 65, 17), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("RAVESSA"));
    p.fillRect(QRectF(36, 24, 62, 2), kAmber);
    QFont small(QStringLiteral("Liberation Sans"));
    small.setPixelSize(8);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(small);
    p.setPen(kTeal);
    p.drawText(QRectF(36, 27, 64, 10), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("BANCO 842"));
    return img;
}

QImage monogram()
{
    QImage img(141, 110, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A rounded shield with the emblem and a large R over it.
    QPainterPath shield;
    shield.moveTo(30, 6);
    shield.lineTo(111, 6);
    shield.quadTo(116, 6, 116, 12);
    shield.lineTo(116, 56);
    shield.cubicTo(116, 82, 92, 98, 70.5, 106);
    shield.cubicTo(49, 98, 25, 82, 25, 56);
    shield.lineTo(25, 12);
    shield.quadTo(25, 6, 30, 6);
    p.fillPath(shield, kNavy);
    drawEmblem(p, QRectF(40, 14, 61, 61));
    QFont letter(QStringLiteral("Liberation Serif"));
    letter.setPixelSize(52);
    letter.setBold(true);
    QPainterPath r;
    r.addText(0, 0, letter, QStringLiteral("R"));
    const QRectF rb = r.boundingRect();
    r.translate(70.5 - rb.center().x(), 46 - rb.center().y());
    p.setPen(QPen(kNavy, 3));
    p.setBrush(Qt::white);
    p.drawPath(r);
    QFont name(QStringLiteral("Liberation Sans"));
    name.setPixelSize(11);
    name.setBold(true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(name);
    p.setPen(Qt::white);
    p.drawText(QRectF(25, 78, 91, 14), Qt::AlignCenter, QStringLiteral("RAVESSA"));
    p.end();
    return img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

QImage arrow()
{
    QImage img(20, 31, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath a;
    a.moveTo(2, 10);
    a.lineTo(9, 10);
    a.lineTo(9, 3);
    a.lineTo(19, 15.5);
    a.lineTo(9, 28);
    a.lineTo(9, 21);
    a.lineTo(2, 21);
    a.closeSubpath();
    p.fillPath(a, Qt::black);
    p.end();
    return img.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
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
