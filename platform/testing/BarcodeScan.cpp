#include "BarcodeScan.h"

#include "TestSupport.h"

#include <QTemporaryDir>

bool BarcodeScan::available()
{
    return TestSupport::haveProgram(QStringLiteral("zbarimg"));
}

QString BarcodeScan::interleaved25(const QImage& image)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("scan.png"));
    if (!image.convertToFormat(QImage::Format_Grayscale8).save(file))
        return QStringLiteral("(not saved)");
    return QString::fromLatin1(TestSupport::run(QStringLiteral("zbarimg"),
                                                {QStringLiteral("--raw"), QStringLiteral("-q"),
                                                 QStringLiteral("-Sdisable"),
                                                 QStringLiteral("-Si25.enable"), file}))
        .trimmed();
}

QString BarcodeScan::qrCodes(const QImage& image)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("scan.png"));
    if (!image.convertToFormat(QImage::Format_Grayscale8).save(file))
        return QStringLiteral("(not saved)");
    QString out = QString::fromUtf8(
        TestSupport::run(QStringLiteral("zbarimg"),
                         {QStringLiteral("--raw"), QStringLiteral("-q"),
                          QStringLiteral("-Sdisable"), QStringLiteral("-Sqrcode.enable"), file}));
    // Only the line end zbarimg adds: blanks at either end belong to the code.
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}
