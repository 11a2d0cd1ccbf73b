#include "ShellPictures.h"

#include <QImageReader>

// The pictures live in a static library: their resource must be registered by hand, and
// Q_INIT_RESOURCE only works outside any namespace.
static void initShellPictures()
{
    Q_INIT_RESOURCE(shell_pictures);
}

namespace {
QImage read(const QString& path, const char* format)
{
    initShellPictures();
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    QImage image;
    if (!reader.read(&image))
        qWarning("%s: %s", qPrintable(path), qPrintable(reader.errorString()));
    return image;
}
} // namespace

QImage ShellPictures::wallpaper()
{
    return read(QStringLiteral(":/shell/ravessa-wallpaper.png"), "png");
}

QImage ShellPictures::aboutPicture()
{
    return read(QStringLiteral(":/shell/sobre-ravessa.jpg"), "jpeg");
}
