#include "ProgramIcon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

// Q_INIT_RESOURCE only works outside any namespace.
static void initProgramResources()
{
    Q_INIT_RESOURCE(programa);
}

QIcon ProgramIcon::icon()
{
    static const QIcon icon = [] {
        initProgramResources();
        const QImage monogram(QStringLiteral(":/programa/monograma.bmp"));
        // Window icons are square: the wider-than-high monogram sits centred on a clear
        // square instead of being stretched.
        const int side = qMax(monogram.width(), monogram.height());
        QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
        square.fill(Qt::transparent);
        {
            QPainter p(&square);
            p.drawImage((side - monogram.width()) / 2, (side - monogram.height()) / 2, monogram);
        }
        QIcon out;
        for (int size : {16, 24, 32, 48, 64, 128})
            out.addPixmap(QPixmap::fromImage(
                square.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        return out;
    }();
    return icon;
}
