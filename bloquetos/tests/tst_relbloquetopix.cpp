#include "BarcodeScan.h"
#include "BeneficiaryPix.h"
#include "BlqTitles.h"
#include "Clock.h"
#include "Database.h"
#include "KvError.h"
#include "PageImages.h"
#include "PageText.h"
#include "PixCrc.h"
#include "PixPayload.h"
#include "Regional.h"
#include "RelBloqueto.h"
#include "Report.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QImage>
#include <QtTest>

namespace {
const QDateTime kToday(QDate(2026, 2, 20), QTime(9, 30));
const QString kKey = QStringLiteral("123e4567-e12b-12d1-a456-426655440000");
const QString kCity = QStringLiteral("Campinas");

// A payload as a bank registers it: a location URL instead of a key.
QString bankPayload()
{
    const QString head =
        QStringLiteral("000201010212"
                       "26860014br.gov.bcb.pix2564"
                       "qrpix.bancoexemplo.com.br/qr/v2/9d36b84fc70b478fb95c12729b90ca25"
                       "520400005303986540515.755802BR5913Fulano de Tal6008BRASILIA"
                       "62070503***6304");
    return head + PixCrc::hex(head);
}

// Titles written as the import leaves them; a payload goes into BlqPixEmv.
void writeRows(QList<BlqTitle> rows, const QStringList& payloads = {})
{
    for (qsizetype i = 0; i < payloads.size(); ++i)
        rows[i].pixEmv = payloads.at(i);
    BlqTitles::fill(0);
    BlqTitles::store(rows);
}

void setPix(const QString& beneficiary, const QString& key, const QString& city)
{
    BeneficiaryPix{key, city}.write(beneficiary);
}

QString staticPayload(const BlqTitle& t, const QString& key = kKey)
{
    return PixPayload::build({key, BlqTitle::cents(t.titVal), t.nomCed, kCity, t.nosNum});
}

QStringList pageTexts(const TRpPrinter& store, int index)
{
    return PageText::texts(store, index);
}

int produce(RelBloqueto& rel, TRpPrinter& store)
{
    rel.selectValidInFileOrder();
    rel.produce(store);
    return store.pageCount();
}

// The receipt's text as the payer reads it, lines joined.
QString copiaECola(const TRpReport& report)
{
    return report.memo(QStringLiteral("qMemPixCopiaCola")).Lines.join(QString());
}
} // namespace

class TstRelBloquetoPix : public QObject {
    Q_OBJECT
    TestEnvironment m_env{TestEnvironment::BrazilianFormats, kToday};
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void qrCodesScanFromThePdfAt200Dpi()
    {
        if (!BarcodeScan::available() || !TestSupport::haveProgram(QStringLiteral("pdftoppm")))
            QSKIP("zbarimg or pdftoppm is not installed");
        TempProgramDir dir;
        BlqTitle byKey = BlqTitles::numbered(7);
        BlqTitle byBank = BlqTitles::numbered(8);
        byBank.nomCed = QStringLiteral("SEM CHAVE PIX");
        setPix(byKey.nomCed, kKey, kCity);
        writeRows({byKey, byBank}, {QString(), bankPayload()});
        RelBloqueto rel;
        rel.selectValidInFileOrder();
        const QString pdf = dir.file(QStringLiteral("folha.pdf"));
        QCOMPARE(rel.writePdf(pdf), 2);
        const QStringList expected = {staticPayload(byKey), bankPayload()};
        for (int page = 1; page <= 2; ++page) {
            // As a scanner at 200 dpi sees the printed sheet.
            const QImage image = PageImages::rendered(pdf, page, 200);
            QVERIFY(!image.isNull());
            QCOMPARE(BarcodeScan::qrCodes(image), expected.at(page - 1));
        }
    }

    void theReceiptCarriesThePayloadAsText()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("pdftotext is not installed");
        TempProgramDir dir;
        const BlqTitle t = BlqTitles::complete();
        setPix(t.nomCed, QStringLiteral("529.982.247-25"), QStringLiteral("São José dos Campos"));
        writeRows({t});
        RelBloqueto rel;
        rel.selectValidInFileOrder();
        const QString pdf = dir.file(QStringLiteral("folha.pdf"));
        QCOMPARE(rel.writePdf(pdf), 1);
        const QString payload =
            PixPayload::build({QStringLiteral("52998224725"), 15075, t.nomCed,
                               QStringLiteral("São José dos Campos"), t.nosNum});
        QCOMPARE(rel.pixPayload(), payload);
        QVERIFY(payload.contains(QStringLiteral("6015SAO JOSE DOS CA6")));
        QCOMPARE(copiaECola(*rel.rptBloqueto), QStringLiteral("PIX copia e cola: ") + payload);

        QString text = QString::fromUtf8(TestSupport::run(
            QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}));
        QVERIFY(text.contains(QStringLiteral("Pague com PIX")));
        QVERIFY(text.contains(QStringLiteral("PIX copia e cola: 000201")));
        text.remove(QLatin1Char('\n'));
        QVERIFY2(text.contains(payload), qPrintable(text));
    }

    void thePixPartsSitWhereThePageKeepsThem()
    {
        TempProgramDir dir;
        const BlqTitle t = BlqTitles::complete();
        setPix(t.nomCed, kKey, kCity);
        writeRows({t});
        RelBloqueto rel;
        TRpPrinter store;
        QCOMPARE(produce(rel, store), 1);
        const TRpReport& r = *rel.rptBloqueto;
        const TRpDrawing& qr = r.drawing(QStringLiteral("qDrwPix"));
        const TRpDrawing& barcode = r.drawing(QStringLiteral("qLblCodBarra"));
        // at least 25 mm with its quiet zone, square, in the ficha de compensação right
        // of the barcode's light margin
        QVERIFY(qr.Width >= 250 && qr.Height == qr.Width);
        QVERIFY(qr.Left >= barcode.Left + barcode.Width);
        QVERIFY(qr.Top >= 847 && qr.Top + qr.Height <= 1995);
        QVERIFY(qr.Left + qr.Width <= 1802);
        // the symbol inside its quiet zone, as one mark of the page
        QCOMPARE(qr.ModulesMargin, 4);
        QVERIFY(qr.ModulesSize >= 21);
        const RpPage page = store.page(0);
        const auto symbols = std::count_if(page.ops.begin(), page.ops.end(),
                                           [](const RpOp& op) { return op.kind == RpOp::Modules; });
        QCOMPARE(symbols, 1);
        // the text in the receipt, at least 6 points
        const TRpMemo& memo = r.memo(QStringLiteral("qMemPixCopiaCola"));
        QVERIFY(memo.Font.size >= 6);
        QVERIFY(memo.Top + memo.Height <= 847);
        const QStringList texts = pageTexts(store, 0);
        QCOMPARE(texts.count(QStringLiteral("Pague com PIX")), 1);
        QVERIFY(texts.contains(memo.Lines.first()));
    }

    void pagesWithoutAPayloadPrintAsBefore_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("codMoe");
        QTest::addColumn<double>("value");
        QTest::newRow("no settings") << QString() << QString() << QStringLiteral("REAL") << 150.75;
        QTest::newRow("a key, no city") << kKey << QString() << QStringLiteral("REAL") << 150.75;
        QTest::newRow("a city, no key") << QString() << kCity << QStringLiteral("REAL") << 150.75;
        QTest::newRow("not in reais") << kKey << kCity << QStringLiteral("US$") << 150.75;
        QTest::newRow("zero value") << kKey << kCity << QStringLiteral("REAL") << 0.0;
    }
    void pagesWithoutAPayloadPrintAsBefore()
    {
        QFETCH(QString, key);
        QFETCH(QString, city);
        QFETCH(QString, codMoe);
        QFETCH(double, value);
        TempProgramDir dir;
        BlqTitle t = BlqTitles::complete();
        t.codMoe = codMoe;
        t.titVal = value;
        writeRows({t});
        TRpPrinter before;
        {
            RelBloqueto rel;
            QCOMPARE(produce(rel, before), 1);
        }
        setPix(t.nomCed, key, city);
        RelBloqueto rel;
        TRpPrinter after;
        QCOMPARE(produce(rel, after), 1);
        QVERIFY(rel.pixPayload().isEmpty());
        QVERIFY(after.page(0) == before.page(0));
        QVERIFY(!pageTexts(after, 0).contains(QStringLiteral("Pague com PIX")));
    }

    void aPageAfterAQrCodeHasNone()
    {
        TempProgramDir dir;
        BlqTitle withKey = BlqTitles::complete();
        BlqTitle without = BlqTitles::complete();
        without.nomCed = QStringLiteral("SEM CHAVE PIX");
        setPix(withKey.nomCed, kKey, kCity);
        writeRows({without});
        TRpPrinter alone;
        {
            RelBloqueto rel;
            produce(rel, alone);
        }
        writeRows({withKey, without});
        RelBloqueto rel;
        TRpPrinter store;
        QCOMPARE(produce(rel, store), 2);
        QVERIFY(pageTexts(store, 0).contains(QStringLiteral("Pague com PIX")));
        QVERIFY(store.page(1) == alone.page(0));
    }

    void aHandEditedBadKeyStopsThePrinting()
    {
        TempProgramDir dir;
        BlqTitle good = BlqTitles::complete();
        good.nomCed = QStringLiteral("SEM CHAVE PIX");
        BlqTitle bad = BlqTitles::complete();
        setPix(bad.nomCed, QStringLiteral("123.456.789-00"), kCity);
        writeRows({good, bad});
        RelBloqueto rel;
        TRpPrinter store;
        QCOMPARE(TestSupport::errorOf([&] { produce(rel, store); }),
                 QStringLiteral("Chave PIX inválida para o beneficiário CONFECCOES ARAPUAN LTDA"));
    }
};

QTEST_MAIN(TstRelBloquetoPix)
#include "tst_relbloquetopix.moc"
