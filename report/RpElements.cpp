#include "RpElements.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

void TRpImage::loadFromFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        throw RpFileOpenError(QStringLiteral("Não foi possível abrir o arquivo \"%1\".").arg(path));
    // The reader goes by the extension first, as the picture files were chosen by it,
    // and falls back on the content.
    QImageReader reader(&file, QFileInfo(path).suffix().toLatin1().toLower());
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        throw KvError(
            QStringLiteral("Formato de figura inválido: %1 (%2)").arg(path, reader.errorString()));
    m_picture = image;
}
