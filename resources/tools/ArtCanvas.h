#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

// A picture being drawn: the image, filled, and a painter on it. The painter ends before
// the picture is taken.
struct ArtCanvas {
    enum class Smooth { None, Edges, EdgesAndText };

    QImage image;
    QPainter p;

    ArtCanvas(int width, int height, QImage::Format format, Smooth smooth = Smooth::Edges,
              const QColor& ground = Qt::white)
        : image(width, height, format)
    {
        image.fill(ground);
        p.begin(&image);
        if (smooth != Smooth::None)
            p.setRenderHint(QPainter::Antialiasing);
        if (smooth == Smooth::EdgesAndText)
            p.setRenderHint(QPainter::TextAntialiasing);
    }
    QImage take()
    {
        p.end();
        return image;
    }
};

// A path written as SVG writes one, in absolute coordinates: "M x y" moves, "L x y" draws a
// line, "Q cx cy x y" and "C c1x c1y c2x c2y x y" draw curves, "Z" closes the figure.
inline QPainterPath artPath(const char* outline)
{
    QPainterPath path;
    const QStringList words =
        QString::fromLatin1(outline).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    qsizetype i = 0;
    auto point = [&] {
        const qreal x = words.at(i).toDouble();
        const qreal y = words.at(i + 1).toDouble();
        i += 2;
        return QPointF(x, y);
    };
    while (i < words.size()) {
        const QString command = words.at(i++);
        if (command == QLatin1String("M")) {
            path.moveTo(point());
        } else if (command == QLatin1String("L")) {
            path.lineTo(point());
        } else if (command == QLatin1String("Q")) {
            const QPointF control = point();
            path.quadTo(control, point());
        } else if (command == QLatin1String("C")) {
            const QPointF first = point();
            const QPointF second = point();
            path.cubicTo(first, second, point());
        } else {
            path.closeSubpath();
        }
    }
    return path;
}

// A font of the pictures: family, size in pixels, weight and, when not zero, the spacing
// between letters in pixels.
inline QFont artFont(const char* family, int pixels, bool bold, qreal spacing = 0)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(pixels);
    if (bold)
        f.setBold(true);
    if (spacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return f;
}
