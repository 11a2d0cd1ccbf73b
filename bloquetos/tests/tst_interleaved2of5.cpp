#include "BarcodeScan.h"
#include "Interleaved2of5.h"
#include "KvError.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

namespace {
constexpr double kDpi = 300.0;

double toDots(int micrometres)
{
    return micrometres * kDpi / 25400.0;
}

// Paints the symbol 13 mm high with its light margins into a white image at 300 dpi.
QImage render(const QString& digits)
{
    const int margin = Interleaved2of5::kLightMargin;
    const int width = Interleaved2of5::symbolWidth(digits.size()) + 2 * margin;
    QImage img(qCeil(toDots(width)), qCeil(toDots(13000)), QImage::Format_Grayscale8);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const Interleaved2of5::Bar& b : Interleaved2of5::bars(digits))
        p.drawRect(QRectF(toDots(margin + b.x), 0, toDots(b.width), img.height()));
    return img;
}

} // namespace

class TstInterleaved2of5 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void patterns()
    {
        // "38": 3 = WWNNN in the bars, 8 = WNNWN in the spaces
        const int n = Interleaved2of5::kNarrow, w = 3 * n;
        const QList<Interleaved2of5::Bar> expected = {
            {0, n}, // start
            {2 * n, n},
            {4 * n, w},                 // 3: W (space 8: W)
            {4 * n + w + w, w},         // W (space N)
            {4 * n + 3 * w + n, n},     // N (space N)
            {4 * n + 3 * w + 3 * n, n}, // N (space W)
            {4 * n + 4 * w + 4 * n, n}, // N (space N)
            {4 * n + 4 * w + 6 * n, w}, // stop
            {4 * n + 5 * w + 7 * n, n},
        };
        QCOMPARE(Interleaved2of5::bars(QStringLiteral("38")), expected);
        QCOMPARE(Interleaved2of5::symbolWidth(2), 4 * n + 5 * w + 8 * n);
        QCOMPARE(Interleaved2of5::bars(QStringLiteral("381")), expected); // odd digit dropped
    }

    void widthMatchesTheBars()
    {
        const QString digits = QStringLiteral("84294138100000150750123456789012345678901232");
        const QList<Interleaved2of5::Bar> bars = Interleaved2of5::bars(digits);
        QCOMPARE(bars.size(), 22 * 5 + 4);
        QCOMPARE(bars.last().x + bars.last().width, Interleaved2of5::symbolWidth(44));
        QCOMPARE(Interleaved2of5::symbolWidth(44), 405 * Interleaved2of5::kNarrow); // 102.87 mm
    }

    void nonDigitIsRefused()
    {
        QVERIFY_THROWS_EXCEPTION(KvConversionError, Interleaved2of5::bars(QStringLiteral("12a4")));
    }

    void readsBackAt300Dpi_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::newRow("worked example")
            << QStringLiteral("84294138100000150750123456789012345678901232");
        QTest::newRow("zeros") << QString(44, QLatin1Char('0'));
        QTest::newRow("nines") << QString(44, QLatin1Char('9'));
        QRandomGenerator rng(20250222);
        for (int i = 0; i < 5; ++i) {
            QString digits;
            for (int k = 0; k < 44; ++k)
                digits += QChar(u'0' + rng.bounded(10));
            QTest::newRow(qPrintable(QStringLiteral("random %1").arg(i))) << digits;
        }
    }
    void readsBackAt300Dpi()
    {
        if (!BarcodeScan::available())
            QSKIP("zbarimg is not installed");
        QFETCH(QString, digits);
        QCOMPARE(BarcodeScan::interleaved25(render(digits)), digits);
    }
};

QTEST_GUILESS_MAIN(TstInterleaved2of5)
#include "tst_interleaved2of5.moc"
