#include "PixQrCode.h"
#include "TestSupport.h"

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

// The squares drawn black on white, `side` pixels for the quiet zone's outer edge.
QImage render(const PixQrCode& qr, int side)
{
    QImage img(side + 40, side + 40, QImage::Format_Grayscale8);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(20, 20);
    for (const QRectF& r : qr.squares(side))
        p.fillRect(r, Qt::black);
    p.end();
    return img;
}

QString scan(const QImage& img)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("qr.png"));
    img.save(file);
    return QString::fromUtf8(TestSupport::run(QStringLiteral("zbarimg"),
                                              {QStringLiteral("--raw"), QStringLiteral("-q"),
                                               QStringLiteral("-Sdisable"),
                                               QStringLiteral("-Sqrcode.enable"), file}))
        .chopped(1); // the line end zbarimg adds
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

    void squaresCoverTheDarkModulesInsideTheQuietZone()
    {
        const PixQrCode qr(kManual);
        const int n = qr.size();
        const double side = 250; // tenths of a millimetre
        const double module = side / (n + 2 * PixQrCode::kQuietZone);
        int dark = 0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x)
                dark += qr.dark(x, y);
        }
        // every dark module covered once, every light one left white
        QImage grid(n, n, QImage::Format_Grayscale8);
        grid.fill(0);
        const QList<QRectF> squares = qr.squares(side);
        for (const QRectF& r : squares) {
            const int x0 = qRound(r.left() / module) - 4;
            const int y0 = qRound(r.top() / module) - 4;
            const int x1 = qRound(r.right() / module) - 4;
            const int y1 = qRound(r.bottom() / module) - 4;
            QVERIFY(qAbs(r.left() - (x0 + 4) * module) < 1e-9);
            QVERIFY(qAbs(r.bottom() - (y1 + 4) * module) < 1e-9);
            QVERIFY(x0 >= 0 && y0 >= 0 && x1 <= n && y1 <= n && x0 < x1 && y0 < y1);
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    QVERIFY(qr.dark(x, y));
                    QCOMPARE(grid.pixel(x, y) & 0xff, 0u);
                    grid.setPixel(x, y, qRgb(255, 255, 255));
                }
            }
        }
        int covered = 0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x)
                covered += (grid.pixel(x, y) & 0xff) != 0;
        }
        QCOMPARE(covered, dark);
        // far fewer marks than dark modules
        QVERIFY(squares.size() < dark / 2);
        // the top-left finder pattern's left side, between its top and bottom rows, is one
        // bar of five modules
        QVERIFY(squares.contains(QRectF(4 * module, 5 * module, module, 5 * module)));
    }

    void emptyPayloadDrawsNothing()
    {
        const PixQrCode qr{QString()};
        QVERIFY(qr.isEmpty());
        QVERIFY(qr.squares(250).isEmpty());
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
        if (!TestSupport::haveProgram(QStringLiteral("zbarimg")))
            QSKIP("zbarimg is not installed");
        QFETCH(QString, payload);
        QFETCH(int, pixels);
        QCOMPARE(scan(render(PixQrCode(payload), pixels)), payload);
    }
};

QTEST_MAIN(TstPixQrCode)
#include "tst_pixqrcode.moc"
