#include "QrEncoder.h"

#include <QRandomGenerator>
#include <QtTest>
#include <qrcodegen.hpp>

using qrcodegen::QrCode;
using qrcodegen::QrSegment;

namespace {
// Bytes of every value, the same for a given length.
QByteArray bytesOf(int length)
{
    QRandomGenerator random(quint32(length) * 2654435761u);
    QByteArray out(length, Qt::Uninitialized);
    for (char& c : out)
        c = char(random.bounded(256));
    return out;
}

// The modules of `s` differ from the reference's nowhere; the first that does, named.
QString firstDifference(const QrEncoder::Symbol& s, const QrCode& reference, int length)
{
    for (int y = 0; y < s.size; ++y) {
        for (int x = 0; x < s.size; ++x) {
            if (bool(s.dark[size_t(y * s.size + x)]) != reference.getModule(x, y))
                return QStringLiteral("%1 bytes, mask %2: module (%3, %4) differs")
                    .arg(length)
                    .arg(s.mask)
                    .arg(x)
                    .arg(y);
        }
    }
    return QString();
}

QrCode referenceOf(const QByteArray& data, int mask)
{
    const std::vector<std::uint8_t> bytes(data.begin(), data.end());
    return QrCode::encodeSegments({QrSegment::makeBytes(bytes)}, QrCode::Ecc::MEDIUM,
                                  QrCode::MIN_VERSION, QrCode::MAX_VERSION, mask, false);
}
} // namespace

// The encoder against the general library: same bytes, byte mode, level M, smallest
// version, the mask chosen by the penalty (or a given one): the same symbol, module for
// module.
class TstQrEncoder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameSymbolAsTheGeneralLibrary()
    {
        QList<int> lengths;
        for (int n = 0; n <= 420; ++n) // every payload a bank file can carry
            lengths << n;
        for (int n = 421; n <= 2331; n += 17) // on to the largest symbol
            lengths << n;
        lengths << 2331;
        QSet<int> versions;
        QSet<int> masks;
        for (int length : lengths) {
            const QByteArray data = bytesOf(length);
            const QrCode reference = referenceOf(data, -1);
            const QrEncoder::Symbol s = QrEncoder::encode(data);
            QCOMPARE(s.version, reference.getVersion());
            QCOMPARE(s.size, reference.getSize());
            QCOMPARE(s.mask, reference.getMask());
            QCOMPARE(QrEncoder::versionFor(length), s.version);
            versions << s.version;
            masks << s.mask;
            const QString difference = firstDifference(s, reference, length);
            if (!difference.isEmpty())
                QFAIL(qPrintable(difference));
        }
        QCOMPARE(versions.size(), QrEncoder::kMaxVersion);
        QCOMPARE(masks.size(), 8); // every mask won somewhere
    }

    // Payloads that repeat one byte make long runs and blocks under most masks: the choice
    // is far from a tie there.
    void sameMaskForUniformData_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("zeros") << QByteArray(150, '\0');
        QTest::newRow("ones") << QByteArray(150, '\xFF');
        QTest::newRow("letters") << QByteArray(300, 'A');
        QTest::newRow("alternating") << QByteArray(200, '\x55');
        QTest::newRow("a PIX payload") << QByteArray(
            "00020101021226580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-42665544000052040000"
            "5303986540510.005802BR5913FULANO DE TAL6008BRASILIA62070503***63041D3D");
    }
    void sameMaskForUniformData()
    {
        QFETCH(QByteArray, data);
        const QrCode reference = referenceOf(data, -1);
        const QrEncoder::Symbol s = QrEncoder::encode(data);
        QCOMPARE(s.mask, reference.getMask());
        const QString difference = firstDifference(s, reference, int(data.size()));
        if (!difference.isEmpty())
            QFAIL(qPrintable(difference));
    }

    void everyGivenMaskAsTheGeneralLibrary()
    {
        for (int version = 1; version <= QrEncoder::kMaxVersion; ++version) {
            int length = 0;
            while (QrEncoder::versionFor(length + 1) == version ||
                   QrEncoder::versionFor(length) < version)
                ++length;
            const QByteArray data = bytesOf(length);
            for (int mask = 0; mask < 8; ++mask) {
                const QrEncoder::Symbol s = QrEncoder::encode(data, mask);
                QCOMPARE(s.version, version);
                QCOMPARE(s.mask, mask);
                const QString difference = firstDifference(s, referenceOf(data, mask), length);
                if (!difference.isEmpty())
                    QFAIL(qPrintable(difference));
            }
        }
    }

    void tooLongForTheLargestSymbol()
    {
        const QByteArray data = bytesOf(2332);
        const std::vector<std::uint8_t> bytes(data.begin(), data.end());
        QVERIFY_THROWS_EXCEPTION(
            qrcodegen::data_too_long,
            QrCode::encodeSegments({QrSegment::makeBytes(bytes)}, QrCode::Ecc::MEDIUM));
        QCOMPARE(QrEncoder::versionFor(2332), 0);
        QCOMPARE(QrEncoder::encode(data).size, 0);
    }
};

QTEST_GUILESS_MAIN(TstQrEncoder)
#include "tst_qrencoder.moc"
