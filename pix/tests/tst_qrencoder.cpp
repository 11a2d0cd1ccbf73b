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
} // namespace

// The encoder against the general library: same bytes, byte mode, level M, smallest
// version, same mask: the same symbol, module for module.
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
        for (int length : lengths) {
            const QByteArray data = bytesOf(length);
            const std::vector<std::uint8_t> bytes(data.begin(), data.end());
            const QrCode reference = QrCode::encodeSegments(
                {QrSegment::makeBytes(bytes)}, QrCode::Ecc::MEDIUM, QrCode::MIN_VERSION,
                QrCode::MAX_VERSION, QrEncoder::kMask, false);
            const QrEncoder::Symbol s = QrEncoder::encode(data);
            QCOMPARE(s.version, reference.getVersion());
            QCOMPARE(s.size, reference.getSize());
            QCOMPARE(QrEncoder::versionFor(length), s.version);
            versions << s.version;
            for (int y = 0; y < s.size; ++y) {
                for (int x = 0; x < s.size; ++x) {
                    if (bool(s.dark[size_t(y * s.size + x)]) != reference.getModule(x, y))
                        QFAIL(qPrintable(QStringLiteral("%1 bytes: module (%2, %3) differs")
                                             .arg(length)
                                             .arg(x)
                                             .arg(y)));
                }
            }
        }
        QCOMPARE(versions.size(), QrEncoder::kMaxVersion);
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
