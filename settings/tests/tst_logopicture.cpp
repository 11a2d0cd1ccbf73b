#include "KvError.h"
#include "LogoPicture.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>

namespace {
QImage sample(int w = 120, int h = 35)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h / 2, QColor(0x12, 0x4e, 0x8a));
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(0xd4, 0x8a, 0x12));
    return image;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        qFatal("cannot encode a %s sample", format);
    return data;
}

QByteArray sampleBytes(const char* format)
{
    return encoded(sample(), format);
}

// A small JPEG whose frame header claims 20000 x 20000 pixels.
QByteArray enormousJpeg()
{
    QByteArray data = sampleBytes("jpeg");
    const qsizetype sof = data.indexOf(QByteArrayView("\xFF\xC0", 2));
    if (sof < 0)
        qFatal("no baseline frame header in the JPEG sample");
    const char size[4] = {'\x4E', '\x20', '\x4E', '\x20'}; // height, width: 20000
    data.replace(sof + 5, 4, QByteArray(size, 4));
    return data;
}

// A real 20000 x 20000 picture: one bit per pixel keeps the sample itself small.
QByteArray enormousPng()
{
    QImage mono(20000, 20000, QImage::Format_Mono);
    mono.fill(0);
    return encoded(mono, "png");
}

// A bitmap header announcing 20000 x 20000 pixels of 24 bits, with a few bytes of data.
QByteArray enormousBmp()
{
    QByteArray data = sampleBytes("bmp");
    auto put32 = [&data](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            data[at + i] = char((v >> (8 * i)) & 0xff);
    };
    put32(18, 20000);
    put32(22, 20000);
    return data;
}

// The header the picture fuzzer found: width and bits per pixel whose row size, times the
// height, does not fit in 64 bits.
QByteArray overflowingBmp()
{
    QByteArray data = sampleBytes("bmp");
    auto put = [&data](int at, int bytes, quint32 v) {
        for (int i = 0; i < bytes; ++i)
            data[at + i] = char((v >> (8 * i)) & 0xff);
    };
    put(18, 4, 0x40000000); // width
    put(22, 4, 0x09000000); // height
    put(28, 2, 1120);       // bits per pixel
    put(30, 4, 0);          // uncompressed
    return data;
}

long peakKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
} // namespace

class TstLogoPicture : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& data)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            qFatal("cannot write a test file");
        return path;
    }

    static QString failure(const QString& path)
    {
        try {
            LogoPicture::load(path);
        } catch (const KvError& e) {
            return e.message();
        }
        return QString();
    }

private Q_SLOTS:
    void kindsComeFromTheExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("bmp") << "a.bmp" << QByteArray("bmp");
        QTest::newRow("upper case") << "C:/LOGOS/A.BMP" << QByteArray("bmp");
        QTest::newRow("ico") << "a.Ico" << QByteArray("ico");
        QTest::newRow("jpg") << "a.jpg" << QByteArray("jpeg");
        QTest::newRow("jpeg") << "a.JPEG" << QByteArray("jpeg");
        QTest::newRow("png") << "a.png" << QByteArray("png");
        QTest::newRow("metafile") << "a.wmf" << QByteArray();
        QTest::newRow("enhanced metafile") << "a.emf" << QByteArray();
        QTest::newRow("gif") << "a.gif" << QByteArray();
        QTest::newRow("no extension") << "logo" << QByteArray();
        QTest::newRow("dot in folder only") << "/x.bmp/logo" << QByteArray();
    }
    void kindsComeFromTheExtension()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QCOMPARE(LogoPicture::formatFor(name), format);
    }

    void readsEveryKnownKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("bmp") << "r.bmp" << sampleBytes("bmp");
        QTest::newRow("BMP upper case") << "R.BMP" << sampleBytes("bmp");
        QTest::newRow("ico") << "r.ico" << encoded(sample(32, 32), "ico");
        QTest::newRow("jpg") << "r.jpg" << sampleBytes("jpeg");
        QTest::newRow("jpeg") << "r.jpeg" << sampleBytes("jpeg");
        QTest::newRow("png") << "r.png" << sampleBytes("png");
        QByteArray trailer = sampleBytes("jpeg");
        trailer += QByteArray(300, '\x55'); // data some cameras leave after the picture
        QTest::newRow("jpeg with trailer") << "t.jpg" << trailer;
    }
    void readsEveryKnownKind()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        const QImage image = LogoPicture::load(write(name, data));
        QVERIFY(!image.isNull());
        const QImage expected = QImage::fromData(data);
        QCOMPARE(image.size(), expected.size());
        // the top-left quarter is the blue of the sample
        QVERIFY(qAbs(image.pixelColor(2, 2).blue() - 0x8a) < 12);
    }

    void badFilesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        const QString invalid = LogoPicture::invalidKindMessage();
        const QByteArray jpeg = sampleBytes("jpeg");
        const QByteArray png = sampleBytes("png");
        const QByteArray bmp = sampleBytes("bmp");
        const QByteArray ico = encoded(sample(32, 32), "ico");
        QTest::newRow("empty") << "e.bmp" << QByteArray() << invalid;
        QTest::newRow("text named bmp") << "t.bmp" << QByteArray("not a picture\r\n") << invalid;
        QTest::newRow("png named bmp") << "p.bmp" << png << invalid;
        QTest::newRow("bmp named jpg") << "b.jpg" << bmp << invalid;
        QTest::newRow("jpeg named png") << "j.png" << jpeg << invalid;
        QTest::newRow("good picture, unknown kind") << "p.gif" << png << invalid;
        QTest::newRow("metafile") << "m.wmf" << QByteArray("\xD7\xCD\xC6\x9A", 4) << invalid;
        QTest::newRow("enhanced metafile") << "m.emf" << QByteArray(" EMF", 4) << invalid;
        QTest::newRow("truncated jpeg") << "c.jpg" << jpeg.left(jpeg.size() * 2 / 3) << invalid;
        QTest::newRow("truncated png") << "c.png" << png.left(png.size() * 2 / 3) << invalid;
        QTest::newRow("truncated bmp") << "c.bmp" << bmp.left(bmp.size() / 2) << invalid;
        QTest::newRow("truncated ico") << "c.ico" << ico.left(ico.size() / 2) << invalid;
        QTest::newRow("bmp header only") << "h.bmp" << bmp.left(20) << invalid;
        QTest::newRow("enormous jpeg") << "huge.jpg" << enormousJpeg() << invalid;
        QTest::newRow("enormous png") << "huge.png" << enormousPng() << invalid;
        QTest::newRow("enormous bmp") << "huge.bmp" << enormousBmp() << invalid;
        QTest::newRow("bmp sizes overflowing the row arithmetic")
            << "overflow.bmp" << overflowingBmp() << invalid;
        QImage strip(LogoPicture::kMaxSide + 1, 8, QImage::Format_Mono);
        strip.fill(1);
        QTest::newRow("too wide") << "strip.png" << encoded(strip, "png") << invalid;
    }
    void badFilesAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        const long before = peakKb();
        QCOMPARE(failure(write(name, data)), message);
        // refused from the header: no room was ever taken for the pixels
        QVERIFY2(peakKb() - before < 200 * 1024, "a refused picture took memory for its pixels");
    }

    void aFileThatCannotBeOpenedIsNotFound_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("gone") << m_dir.filePath(QStringLiteral("gone.bmp"));
        QTest::newRow("a folder") << m_dir.path();
        QTest::newRow("no name") << QString();
    }
    void aFileThatCannotBeOpenedIsNotFound()
    {
        QFETCH(QString, path);
        QCOMPARE(failure(path), LogoPicture::notFoundMessage());
        QCOMPARE(LogoPicture::notFoundMessage(),
                 QStringLiteral("Arquivo de Logomarca não encontrado"));
    }

    void aFileTooLongIsRefusedUnread()
    {
        const QString path = m_dir.filePath(QStringLiteral("long.bmp"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(LogoPicture::kMaxFileBytes + 1)); // sparse: costs no disk
        f.close();
        QCOMPARE(failure(path), QStringLiteral("Tipo de arquivo inválido"));
    }
};

QTEST_GUILESS_MAIN(TstLogoPicture)
#include "tst_logopicture.moc"
