#include "LogoPicture.h"

#include "KvError.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {
[[noreturn]] void invalidKind()
{
    throw KvError(LogoPicture::invalidKindMessage());
}

bool sensibleSize(const QSize& size)
{
    return size.isValid() && !size.isEmpty() && size.width() <= LogoPicture::kMaxSide &&
           size.height() <= LogoPicture::kMaxSide &&
           qint64(size.width()) * size.height() <= LogoPicture::kMaxPixels;
}

// The JPEG decoder pads a cut-off file with grey and calls it a success. A complete file
// has its end-of-image marker after the start of its last scan; anything after that
// marker (some cameras append data) does not matter.
bool jpegIsComplete(const QByteArray& data)
{
    const qsizetype lastScan = data.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    if (lastScan < 0)
        return false;
    return data.indexOf(QByteArrayView("\xFF\xD9", 2), lastScan + 2) > lastScan;
}

quint32 le(const QByteArray& data, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | quint8(data[at + i]);
    return v;
}

// The bitmap reader, too, fills a cut-off file with black and succeeds. An uncompressed
// bitmap must hold every row its header announces; a compressed one, the size it states.
bool bmpIsComplete(const QByteArray& data)
{
    if (data.size() < 26)
        return false;
    const qint64 offBits = le(data, 10, 4);
    const quint32 headerSize = le(data, 14, 4);
    qint64 width = 0;
    qint64 height = 0;
    qint64 bitCount = 0;
    quint32 compression = 0;
    qint64 imageSize = 0;
    if (headerSize == 12) { // the oldest header, 16-bit sizes
        width = le(data, 18, 2);
        height = le(data, 20, 2);
        bitCount = le(data, 24, 2);
    } else {
        if (headerSize < 40 || data.size() < 38)
            return false;
        width = qint32(le(data, 18, 4));
        height = qint32(le(data, 22, 4));
        bitCount = le(data, 28, 2);
        compression = le(data, 30, 4);
        imageSize = le(data, 34, 4);
    }
    // The header's numbers are the file's, not ours: bound them before any arithmetic, so
    // that no product of them can overflow. A picture past the size limits, or with more
    // bits a pixel than any bitmap has, is refused here as it would be after decoding.
    height = qAbs(height);
    if (width <= 0 || height == 0 || bitCount == 0 || width > LogoPicture::kMaxSide ||
        height > LogoPicture::kMaxSide || bitCount > 64)
        return false;
    constexpr quint32 rle8 = 1, rle4 = 2;
    if (compression == rle8 || compression == rle4)
        return imageSize == 0 || offBits + imageSize <= data.size();
    const qint64 stride = (width * bitCount + 31) / 32 * 4; // at most 10000 * 64 bits
    return offBits + stride * height <= data.size();
}
} // namespace

QString LogoPicture::notFoundMessage()
{
    return QStringLiteral("Arquivo de Logomarca não encontrado");
}

QString LogoPicture::invalidKindMessage()
{
    return QStringLiteral("Tipo de arquivo inválido");
}

QByteArray LogoPicture::formatFor(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1StringView("bmp"))
        return QByteArrayLiteral("bmp");
    if (ext == QLatin1StringView("ico"))
        return QByteArrayLiteral("ico");
    if (ext == QLatin1StringView("jpg") || ext == QLatin1StringView("jpeg"))
        return QByteArrayLiteral("jpeg");
    if (ext == QLatin1StringView("png"))
        return QByteArrayLiteral("png");
    return {};
}

QImage LogoPicture::load(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        throw KvError(notFoundMessage());
    const QByteArray format = formatFor(path);
    if (format.isEmpty() || file.size() > kMaxFileBytes)
        invalidKind();
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw KvError(notFoundMessage());
    return decode(data, format);
}

QImage LogoPicture::decode(const QByteArray& data, const QByteArray& format)
{
    if (data.isEmpty() || format.isEmpty() || data.size() > kMaxFileBytes)
        invalidKind();
    if ((format == "jpeg" && !jpegIsComplete(data)) || (format == "bmp" && !bmpIsComplete(data)))
        invalidKind();

    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    // Only the reader of the kind the name promises: a PNG named .bmp is not a bitmap.
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead())
        invalidKind();
    // Refuse an enormous picture from its header, before any pixel memory is taken.
    if (!sensibleSize(reader.size()))
        invalidKind();
    QImage image;
    if (!reader.read(&image) || image.isNull() || !sensibleSize(image.size()))
        invalidKind();
    return image;
}
