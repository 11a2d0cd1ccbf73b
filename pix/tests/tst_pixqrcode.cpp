#include "BarcodeScan.h"
#include "PixQrCode.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {
const QString kManual = QStringLiteral(
    "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-4266554400005204000053039865802BR"
    "5913Fulano de Tal6008BRASILIA62070503***63041D3D");

// The error correction level written in the symbol's format information (the copy
// beside the top-left finder), as the standard's two bits: L 01, M 00, Q 11, H 10.
int levelBits(const PixQrCode& qr)
{
    int bits = 0;
    for (int y = 0; y <= 5; ++y) // bits 0-5 down column 8... read as the standard lists
        bits |= int(qr.dark(8, y)) << y;
    bits |= int(qr.dark(8, 7)) << 6;
    bits |= int(qr.dark(8, 8)) << 7;
    bits |= int(qr.dark(7, 8)) << 8;
    for (int x = 5; x >= 0; --x)
        bits |= int(qr.dark(x, 8)) << (14 - x);
    bits ^= 0x5412;
    return bits >> 13;
}

// The dark modules drawn black on white, `side` pixels for the quiet zone's outer edge.
QImage render(const PixQrCode& qr, int side)
{
    QImage img(side + 40, side + 40, QImage::Format_Grayscale8);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(20, 20);
    const double module = double(side) / (qr.size() + 2 * PixQrCode::kQuietZone);
    for (int y = 0; y < qr.size(); ++y) {
        for (int x = 0; x < qr.size(); ++x) {
            if (qr.dark(x, y))
                p.fillRect(QRectF((x + PixQrCode::kQuietZone) * module,
                                  (y + PixQrCode::kQuietZone) * module, module, module),
                           Qt::black);
        }
    }
    p.end();
    return img;
}

} // namespace

class TstPixQrCode : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void levelMAndTheVersionItNeeds_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<int>("size");
        // 141 bytes: version 7 would hold them at level L, version 8 is needed at M
        QTest::newRow("the manual's example") << kManual << 49;
        // 122 bytes: the most version 7 holds at M, where the library would raise the
        // level to Q if it could; 123 need version 8
        QTest::newRow("full version 7") << QString(122, QLatin1Char('a')) << 45;
        QTest::newRow("one byte more") << QString(123, QLatin1Char('a')) << 49;
        // the longest payload of a bank file
        QTest::newRow("387 characters") << QString(387, QLatin1Char('x')) << 77;
        QTest::newRow("short") << QStringLiteral("000201") << 21;
    }
    void levelMAndTheVersionItNeeds()
    {
        QFETCH(QString, payload);
        QFETCH(int, size);
        const PixQrCode qr(payload);
        QCOMPARE(qr.size(), size);
        QCOMPARE(levelBits(qr), 0b00);
    }

    void emptyPayloadDrawsNothing()
    {
        const PixQrCode qr{QString()};
        QVERIFY(qr.isEmpty());
        QCOMPARE(qr.size(), 0);
    }

    void scansBackAsThePayload_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<int>("pixels");
        // 25 mm at 200 dpi
        QTest::newRow("manual, 25 mm at 200 dpi") << kManual << 197;
        QTest::newRow("387 characters, 25 mm at 200 dpi")
            << QStringLiteral("000201") + QString(381, QLatin1Char('Z')) << 197;
    }
    void scansBackAsThePayload()
    {
        if (!BarcodeScan::available())
            QSKIP("zbarimg is not installed");
        QFETCH(QString, payload);
        QFETCH(int, pixels);
        QCOMPARE(BarcodeScan::qrCodes(render(PixQrCode(payload), pixels)), payload);
    }
};

QTEST_MAIN(TstPixQrCode)
#include "tst_pixqrcode.moc"
