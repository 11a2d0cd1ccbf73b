// Draws the pictures of the rejected-titles report and the preview window's tool bar:
// the bank's header logo (150 x 62 pixels, 24-bit) and the button glyphs. Built on
// demand (target kvcob-preview-art); its output is committed under resources/.
//
//   kvcob-preview-art RESOURCES_DIR

#include "ArtCanvas.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>
#include <functional>

namespace {
const QColor kBlue(0, 70, 140);
const QColor kGold(232, 170, 30);
const QColor kInk(40, 40, 40);

QImage headerLogo()
{
    ArtCanvas c(150, 62, QImage::Format_RGB888);
    QPainter& p = c.p;
    // The mark: a blue shield with a gold wave through it.
    p.fillPath(artPath("M 6 6 L 48 6 L 48 34 C 48 48 36 54 27 57 C 18 54 6 48 6 34 Z"), kBlue);
    p.fillPath(artPath("M 6 30 C 18 20 30 40 48 26 L 48 34 C 30 48 18 28 6 38 Z"), kGold);
    p.setFont(artFont("DejaVu Sans", 22, true));
    p.setPen(Qt::white);
    p.drawText(QRect(6, 4, 42, 26), Qt::AlignCenter, QStringLiteral("R"));
    // The name and the line under it.
    p.setFont(artFont("DejaVu Sans", 16, true, 0.3));
    p.setPen(kBlue);
    p.drawText(QRect(54, 10, 94, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("RAVESSA"));
    p.fillRect(QRect(55, 37, 90, 2), kGold);
    p.setFont(artFont("DejaVu Sans", 8, false));
    p.setPen(kInk);
    p.drawText(QRect(55, 41, 94, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("BANCO RAVESSA S.A."));
    return c.take();
}

QImage glyph(const std::function<void(QPainter&)>& draw)
{
    ArtCanvas c(18, 18, QImage::Format_ARGB32, ArtCanvas::Smooth::Edges, Qt::transparent);
    draw(c.p);
    return c.take();
}

void triangle(QPainter& p, double x, double dir)
{
    QPolygonF t;
    t << QPointF(x, 3) << QPointF(x, 15) << QPointF(x + 6 * dir, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(t);
}

void sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (double y = r.top() + 3; y < r.bottom() - 1; y += 2.5)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void printer(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 2.5, 7, 5));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(2.5, 7.5, 13, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 11.5, 7, 4));
}

bool save(const QImage& img, const QString& path)
{
    if (!img.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvcob-preview-art RESOURCES_DIR\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    root.mkpath(QStringLiteral("rejeicoes"));
    root.mkpath(QStringLiteral("preview"));
    bool ok = save(headerLogo(), root.filePath(QStringLiteral("rejeicoes/ravessa-cabecalho.png")));

    const QList<std::pair<const char*, std::function<void(QPainter&)>>> glyphs = {
        {"RPFIRSTPAGEBITMAP",
         [](QPainter& p) {
             p.fillRect(QRectF(3, 3, 2, 12), kBlue);
             triangle(p, 12, -1);
         }},
        {"RPPREVPAGEBITMAP", [](QPainter& p) { triangle(p, 12, -1); }},
        {"RPNEXTPAGEBITMAP", [](QPainter& p) { triangle(p, 6, 1); }},
        {"RPLASTPAGEBITMAP",
         [](QPainter& p) {
             triangle(p, 6, 1);
             p.fillRect(QRectF(13, 3, 2, 12), kBlue);
         }},
        {"RPZOOMTOFITBITMAP", [](QPainter& p) { sheet(p, QRectF(4.5, 1.5, 9, 15)); }},
        {"RPZOOMTO100BITMAP",
         [](QPainter& p) {
             p.setFont(artFont("DejaVu Sans Condensed", 8, true));
             p.setPen(kBlue);
             p.drawText(QRect(0, 0, 18, 18), Qt::AlignCenter, QStringLiteral("1:1"));
         }},
        {"RPZOOMTOWIDTHBITMAP",
         [](QPainter& p) {
             sheet(p, QRectF(1.5, 4.5, 15, 12));
             p.setPen(QPen(kBlue, 1.5));
             p.drawLine(QPointF(2, 2), QPointF(16, 2));
         }},
        {"RPPRINTSETUPBITMAP",
         [](QPainter& p) {
             printer(p);
             p.setPen(QPen(kGold, 2));
             p.drawLine(QPointF(12, 16), QPointF(17, 11));
         }},
        {"RPPRINTBITMAP", [](QPainter& p) { printer(p); }},
        {"RPOPENBITMAP",
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1));
             p.setBrush(kGold);
             p.drawRect(QRectF(1.5, 5.5, 14, 10));
             p.drawRect(QRectF(1.5, 3.5, 6, 2));
         }},
        {"RPSAVEBITMAP",
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1));
             p.setBrush(kBlue);
             p.drawRect(QRectF(2.5, 2.5, 13, 13));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(5.5, 2.5, 7, 5));
             p.drawRect(QRectF(4.5, 10.5, 9, 5));
         }},
        {"RPPDFBITMAP",
         [](QPainter& p) {
             sheet(p, QRectF(3.5, 1.5, 11, 15));
             p.fillRect(QRectF(1, 9, 16, 6), QColor(190, 30, 30));
             p.setFont(artFont("DejaVu Sans Condensed", 6, true));
             p.setPen(Qt::white);
             p.drawText(QRect(1, 9, 16, 6), Qt::AlignCenter, QStringLiteral("PDF"));
         }},
        {"RPEXITBITMAP",
         [](QPainter& p) {
             p.setPen(QPen(QColor(170, 20, 20), 2.5));
             p.drawLine(QPointF(4, 4), QPointF(14, 14));
             p.drawLine(QPointF(14, 4), QPointF(4, 14));
         }},
    };
    for (const auto& [name, draw] : glyphs)
        ok = save(glyph(draw),
                  root.filePath(QStringLiteral("preview/%1.png").arg(QLatin1StringView(name)))) &&
             ok;
    return ok ? 0 : 1;
}
