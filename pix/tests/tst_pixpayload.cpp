#include "PixCrc.h"
#include "PixPayload.h"

#include <QtTest>

namespace {
// The example of the central bank's manual: a static payload of a random key.
const QString kManual = QStringLiteral(
    "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-4266554400005204000053039865802BR"
    "5913Fulano de Tal6008BRASILIA62070503***63041D3D");

QString withCrc(const QString& body)
{
    const QString head = body + QStringLiteral("6304");
    return head + PixCrc::hex(head);
}

PixPayload::Static title(const QString& key, qint64 cents, const QString& name, const QString& city,
                         const QString& txid)
{
    return {key, cents, name, city, txid};
}
} // namespace

class TstPixPayload : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void crcOfKnownTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("crc");
        QTest::newRow("check string") << QStringLiteral("123456789") << QStringLiteral("29B1");
        QTest::newRow("nothing") << QString() << QStringLiteral("FFFF");
        QTest::newRow("the manual's payload") << kManual.chopped(4) << QStringLiteral("1D3D");
        // a leading zero digit must stay: four digits always
        QTest::newRow("A") << QStringLiteral("A") << QStringLiteral("B915");
    }
    void crcOfKnownTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, crc);
        QCOMPARE(PixCrc::hex(text), crc);
    }

    void crcOfBytes()
    {
        QCOMPARE(PixCrc::compute("123456789"), quint16(0x29B1));
        QCOMPARE(PixCrc::compute(QByteArrayView()), quint16(0xFFFF));
    }

    void foldKeepsPlainUpperCaseLetters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("folded");
        QTest::newRow("accents") << QStringLiteral("Confecções Arapuã Ltda") << 25
                                 << QStringLiteral("CONFECCOES ARAPUA LTDA");
        QTest::newRow("every accent of the language")
            << QStringLiteral("áàâãäéèêëíìîïóòôõöúùûüçñ ÁÀÂÃÉÊÍÓÔÕÚÜÇ") << 40
            << QStringLiteral("AAAAAEEEEIIIIOOOOOUUUUCN AAAAEEIOOOUUC");
        QTest::newRow("ordinals and symbols") << QStringLiteral("Nº 1ª Vara – Comércio & Cia") << 40
                                              << QStringLiteral("NO 1A VARA  COMERCIO & CIA");
        QTest::newRow("blanks around")
            << QStringLiteral("   São Paulo   ") << 15 << QStringLiteral("SAO PAULO");
        QTest::newRow("cut") << QStringLiteral("DISTRIBUIDORA DE ALIMENTOS VALE VERDE SA") << 25
                             << QStringLiteral("DISTRIBUIDORA DE ALIMENTO");
        QTest::newRow("a cut on a blank leaves none")
            << QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWX YZ") << 25
            << QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWX");
        QTest::newRow("blanks in front do not count")
            << QStringLiteral("     Santa Bárbara d'Oeste") << 15
            << QStringLiteral("SANTA BARBARA D");
        QTest::newRow("nothing printable") << QStringLiteral("\t€\n") << 15 << QString();
    }
    void foldKeepsPlainUpperCaseLetters()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, folded);
        QCOMPARE(PixPayload::fold(text, width), folded);
    }

    void staticPayloadFieldByField_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("txid");
        QTest::addColumn<QString>("payload");
        QTest::newRow("random key, accents")
            << QStringLiteral("123e4567-e12b-12d1-a456-426655440000") << qint64(123456)
            << QStringLiteral("Confecções Arapuã Ltda ") << QStringLiteral("São Paulo")
            << QStringLiteral("45678901234")
            << QStringLiteral("000201"
                              "2658"
                              "0014br.gov.bcb.pix"
                              "0136123e4567-e12b-12d1-a456-426655440000"
                              "52040000"
                              "5303986"
                              "54071234.56"
                              "5802BR"
                              "5922CONFECCOES ARAPUA LTDA"
                              "6009SAO PAULO"
                              "6215"
                              "051145678901234"
                              "630495CD");
        QTest::newRow("CPF key, one centavo, names cut")
            << QStringLiteral("12345678909") << qint64(1)
            << QStringLiteral("DISTRIBUIDORA DE ALIMENTOS VALE VERDE SA")
            << QStringLiteral("Santa Bárbara d'Oeste") << QStringLiteral("00000000019")
            << QStringLiteral("000201"
                              "2633"
                              "0014br.gov.bcb.pix"
                              "011112345678909"
                              "52040000"
                              "5303986"
                              "54040.01"
                              "5802BR"
                              "5925DISTRIBUIDORA DE ALIMENTO"
                              "6015SANTA BARBARA D"
                              "6215"
                              "051100000000019"
                              "6304E1D1");
        QTest::newRow("longest e-mail key, largest value, no identifier")
            << QString(65, QLatin1Char('a')) + QStringLiteral("@empresa.com") << qint64(9999999999)
            << QStringLiteral("José") << QStringLiteral("Rio") << QStringLiteral("   ")
            << QStringLiteral("000201"
                              "2699"
                              "0014br.gov.bcb.pix"
                              "0177") +
                   QString(65, QLatin1Char('a')) +
                   QStringLiteral("@empresa.com"
                                  "52040000"
                                  "5303986"
                                  "541199999999.99"
                                  "5802BR"
                                  "5904JOSE"
                                  "6003RIO"
                                  "6207"
                                  "0503***"
                                  "6304787C");
        QTest::newRow("telephone key, whole reais")
            << QStringLiteral("+5511987654321") << qint64(10000)
            << QStringLiteral("CONFECCOES ARAPUAN LTDA") << QStringLiteral("Campinas")
            << QStringLiteral("45678901234")
            << QStringLiteral("000201"
                              "2636"
                              "0014br.gov.bcb.pix"
                              "0114+5511987654321"
                              "52040000"
                              "5303986"
                              "5406100.00"
                              "5802BR"
                              "5923CONFECCOES ARAPUAN LTDA"
                              "6008CAMPINAS"
                              "6215"
                              "051145678901234"
                              "6304C7BD");
    }
    void staticPayloadFieldByField()
    {
        QFETCH(QString, key);
        QFETCH(qint64, cents);
        QFETCH(QString, name);
        QFETCH(QString, city);
        QFETCH(QString, txid);
        QFETCH(QString, payload);
        const QString built = PixPayload::build(title(key, cents, name, city, txid));
        QCOMPARE(built, payload);
        QVERIFY(PixPayload::isValid(built));
    }

    void importedPayloadChecks_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<bool>("valid");
        const QString gui = QStringLiteral("0014br.gov.bcb.pix");
        const QString key = QStringLiteral("0136123e4567-e12b-12d1-a456-426655440000");
        const QString tail = QStringLiteral("52040000530398654045.005802BR5905TESTE6003RIO"
                                            "62070503***");
        QTest::newRow("the manual's example") << kManual << true;
        QTest::newRow("its CRC in lower case")
            << kManual.chopped(4) + QStringLiteral("1d3d") << false;
        QTest::newRow("one character changed")
            << QString(kManual).replace(QStringLiteral("Fulano"), QStringLiteral("Fulana"))
            << false;
        QTest::newRow("wrong CRC") << kManual.chopped(4) + QStringLiteral("1D3E") << false;
        QTest::newRow("CRC not hex") << kManual.chopped(4) + QStringLiteral("1D3G") << false;
        QTest::newRow("no CRC field") << kManual.chopped(8) << false;
        QTest::newRow("CRC field of the wrong length")
            << kManual.chopped(8) + QStringLiteral("63051D3D0") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("blanks") << QString(387, QLatin1Char(' ')) << false;
        QTest::newRow("guarded against a short text") << QStringLiteral("0002016304") << false;
        QTest::newRow("another format version")
            << withCrc(QStringLiteral("000202") + QStringLiteral("2658") + gui + key + tail)
            << false;
        QTest::newRow("identifier in upper case")
            << withCrc(QStringLiteral("0002012658") + gui.toUpper() + key + tail) << true;
        QTest::newRow("a dynamic payload: location URL, template 26 first")
            << withCrc(
                   QStringLiteral("000201010212"
                                  "26860014br.gov.bcb.pix2564"
                                  "qrpix.bancoexemplo.com.br/qr/v2/9d36b84fc70b478fb95c12729b90ca25"
                                  "52040000530398654041.005802BR5905TESTE6009SAO PAULO"
                                  "62070503***"))
            << true;
        QTest::newRow("PIX in template 27, another in 26")
            << withCrc(QStringLiteral("000201"
                                      "26200016br.com.exemplo.x"
                                      "2758") +
                       gui + key + tail)
            << true;
        QTest::newRow("identifier outside the merchant templates")
            << withCrc(QStringLiteral("0002012558") + gui + key + tail) << false;
        QTest::newRow("identifier not as the first subfield's id 00")
            << withCrc(QStringLiteral("0002012658") + QStringLiteral("0214br.gov.bcb.pix") + key +
                       tail)
            << false;
        QTest::newRow("another identifier")
            << withCrc(QStringLiteral("0002012661") + QStringLiteral("0017br.gov.bcb.boleto") +
                       key + tail)
            << false;
        QTest::newRow("template longer than the text")
            << withCrc(QStringLiteral("0002012699") + gui + key) << false;
        QTest::newRow("template with a broken inside")
            << withCrc(QStringLiteral("0002012659") + gui + key + QStringLiteral("X") + tail)
            << false;
        QTest::newRow("length that is not a number")
            << withCrc(QStringLiteral("0002012658") + gui + key + QStringLiteral("52x40000") +
                       tail.mid(8))
            << false;
    }
    void importedPayloadChecks()
    {
        QFETCH(QString, payload);
        QFETCH(bool, valid);
        QCOMPARE(PixPayload::isValid(payload), valid);
    }
};

QTEST_MAIN(TstPixPayload)
#include "tst_pixpayload.moc"
