#include "BarcodeScan.h"
#include "BloquetoCode.h"
#include "BlqTitles.h"
#include "Clock.h"
#include "Database.h"
#include "EngineProgramDir.h"
#include "IniFile.h"
#include "KvError.h"
#include "PageText.h"
#include "Regional.h"
#include "RelBloqueto.h"
#include "Report.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QFile>
#include <QImage>
#include <QPainter>

#include <QtTest>

namespace {
const QDateTime kToday(QDate(2026, 2, 20), QTime(9, 30));

void writeRows(const QList<BlqTitle>& rows)
{
    BlqTitles::fill(0);
    BlqTitles::store(rows);
}

// Every text drawn on a page, in drawing order.
QStringList pageTexts(const TRpPrinter& store, int index)
{
    return PageText::texts(store, index);
}

// The pictures drawn on a page, by their index in the store.
QList<int> pagePictures(const TRpPrinter& store, int index)
{
    QList<int> out;
    for (const RpOp& op : store.page(index).ops) {
        if (op.kind == RpOp::Picture)
            out << op.arg;
    }
    return out;
}

QImage picture(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

bool samePicture(const QImage& a, const QImage& b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

QString writeLogo(const QString& path, QColor color)
{
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(color);
    img.save(path, "BMP");
    return path;
}

QStringList produce(RelBloqueto& rel, TRpPrinter& store)
{
    rel.selectValidInFileOrder();
    rel.produce(store);
    QStringList all;
    for (int i = 0; i < store.pageCount(); ++i)
        all << pageTexts(store, i).join(QLatin1Char('\n'));
    return all;
}

// Titles whose codes cover the edge cases: no due date, zero and the largest value.
QList<BlqTitle> barcodeRows()
{
    QList<BlqTitle> rows;
    for (int n = 1; n <= 4; ++n)
        rows << BlqTitles::numbered(n * 7919);
    rows[1].datVen = QDate();
    rows[1].idcAvi = true;
    rows[2].titVal = 0;
    rows[3].titVal = 99999999.99;
    rows[3].datVen = QDate(2049, 10, 14);
    return rows;
}

QString barcodeOf(const BlqTitle& t)
{
    return BloquetoCode::compose(
               {t.ageCod, t.nosNum, t.ctrCod, BlqTitle::cents(t.titVal), t.datVen}, kToday.date())
        .barcode();
}

} // namespace

class TstRelBloqueto : public QObject {
    Q_OBJECT
    TestEnvironment m_env{TestEnvironment::BrazilianFormats, kToday};
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { m_env.cleanup(); }

    void oneRowReadsBackFromThePdf()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("pdftotext is not installed");
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitle t = BlqTitles::complete();
        t.qtdMoe = 5;
        t.jurDiaVal = 1234.56;
        t.dstVal = 10.5;
        t.dstDatLim = QDate(2026, 3, 1);
        t.msg = QString(65, QLatin1Char('M')) + QStringLiteral("  FIM DA MENSAGEM  ");
        t.ins = QStringLiteral("NAO RECEBER APOS O VENCIMENTO");
        t.sacAvl = QStringLiteral("AVALISTA DA SILVA");
        writeRows({t});

        RelBloqueto rel;
        rel.selectValidInFileOrder();
        const QString pdf = dir.file(QStringLiteral("folha.pdf"));
        QCOMPARE(rel.writePdf(pdf), 1);
        const QString text = QString::fromUtf8(TestSupport::run(
            QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}));

        const QStringList expected = {
            QStringLiteral("RECIBO DO PAGADOR"),
            QStringLiteral("FICHA DE COMPENSAÇÃO"),
            QStringLiteral("COMPROVANTE DE ENTREGA"),
            QStringLiteral("842-7"),
            QStringLiteral("84290.12340 56789.012343 56789.012327 4 13810000015075"),
            QStringLiteral("CONFECCOES ARAPUAN LTDA - 98765432000110"),
            QStringLiteral("MERCEARIA BOA ESPERANCA LTDA - 12345678000195"),
            QStringLiteral("RUA DAS PALMEIRAS, 120 - CENTRO"),
            QStringLiteral("CAMPINAS - SP"),
            QStringLiteral("CEP - 13010000"),
            QStringLiteral("AVALISTA DA SILVA"),
            QStringLiteral("10/03/2026"),
            QStringLiteral("150,75"),
            QStringLiteral("20/02/2026"),
            QStringLiteral("* COBRAR JUROS MORA/DIA DE R$ 1.234,56"),
            QStringLiteral("* CONCEDER DESCONTO DE R$ 10,50 ATÉ 01/03/2026"),
            QString(65, QLatin1Char('M')),
            QStringLiteral("FIM DA MENSAGEM"),
            QStringLiteral("NAO RECEBER APOS O VENCIMENTO"),
            QStringLiteral("PAGUE PREFERENCIALMENTE NO RAVESSA"),
            QStringLiteral("AUTENTICAÇÃO MECÂNICA"),
            QStringLiteral("DOC0000001"),
        };
        for (const QString& piece : expected)
            QVERIFY2(text.contains(piece), qPrintable(piece + QStringLiteral(" not in:\n") + text));
        QCOMPARE(text.count(QStringLiteral("150,75")), 3);
        QCOMPARE(text.count(QStringLiteral("10/03/2026")), 3);
        QCOMPARE(text.count(QStringLiteral("* COBRAR JUROS MORA/DIA")), 2);
    }

    void failedRunLeavesAnOlderPdfAlone()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitle good = BlqTitles::complete();
        BlqTitle bad = BlqTitles::complete();
        bad.nomCed = QStringLiteral("SEM LOGO");
        KvSettings::file().writeString(bad.nomCed, QStringLiteral("Recibo"),
                                       dir.file(QStringLiteral("sumiu.bmp")));
        writeRows({good, good, bad});
        const QString pdf = dir.file(QStringLiteral("folha.pdf"));
        QVERIFY(TestSupport::writeFile(pdf, "anterior"));
        RelBloqueto rel;
        rel.selectValidInFileOrder();
        QVERIFY_THROWS_EXCEPTION(KvError, rel.writePdf(pdf));
        QCOMPARE(TestSupport::readFile(pdf), QByteArray("anterior"));
    }

    void rowValuesShapeThePage_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<bool>("aVista");
        QTest::addColumn<bool>("contraApresentacao");
        QTest::addColumn<QDate>("datVen");
        QTest::addColumn<QString>("dueCaption");
        QTest::addColumn<int>("valueTexts");
        QTest::addColumn<int>("quantityTexts");
        const QDate due(2026, 3, 10);
        QTest::newRow("plain") << 150.75 << 5 << false << false << due
                               << QStringLiteral("10/03/2026") << 3 << 2;
        QTest::newRow("zero value, zero quantity")
            << 0.0 << 0 << false << false << due << QStringLiteral("10/03/2026") << 0 << 0;
        QTest::newRow("à vista") << 1.0 << 1 << true << false << QDate()
                                 << QStringLiteral("À Vista") << 3 << 2;
        QTest::newRow("both flags")
            << 1.0 << 1 << true << true << QDate() << QStringLiteral("À Vista") << 3 << 2;
        QTest::newRow("contra apresentação")
            << 1.0 << 1 << false << true << QDate() << QStringLiteral("C/Apres.") << 3 << 2;
        QTest::newRow("no due date, no flag")
            << 1.0 << 1 << false << false << QDate() << QString() << 3 << 2;
    }
    void rowValuesShapeThePage()
    {
        QFETCH(double, value);
        QFETCH(int, quantity);
        QFETCH(bool, aVista);
        QFETCH(bool, contraApresentacao);
        QFETCH(QDate, datVen);
        QFETCH(QString, dueCaption);
        QFETCH(int, valueTexts);
        QFETCH(int, quantityTexts);
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitle t = BlqTitles::complete();
        t.titVal = value;
        t.qtdMoe = quantity;
        t.idcAvi = aVista;
        t.idcCAp = contraApresentacao;
        t.datVen = datVen;
        writeRows({t});
        RelBloqueto rel;
        TRpPrinter store;
        produce(rel, store);
        QCOMPARE(store.pageCount(), 1);
        const QStringList texts = pageTexts(store, 0);

        const QString valueText = Regional::formatCents(Regional::toCents(value));
        QCOMPARE(texts.count(valueText), valueTexts);
        QCOMPARE(texts.count(QString::number(quantity)), quantityTexts);
        QCOMPARE(rel.rptBloqueto->label(QStringLiteral("qLblDatVen1")).Caption, dueCaption);
        QCOMPARE(rel.rptBloqueto->label(QStringLiteral("qLblDatVen3")).Caption, dueCaption);
        if (!dueCaption.isEmpty())
            QCOMPARE(texts.count(dueCaption), 3);

        // the digits: today + 15 for a title without a due date, zeros for a zero value
        const BloquetoCode code = BloquetoCode::compose(
            {t.ageCod, t.nosNum, t.ctrCod, Regional::toCents(value), datVen}, kToday.date());
        QVERIFY(texts.contains(code.typeableLine()));
    }

    void eachRowStartsAPageAndOnlyValidRowsPrint()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitle valid = BlqTitles::complete();
        BlqTitle rejected = BlqTitles::complete();
        rejected.regVal = false;
        rejected.msgErr = QStringLiteral("Data de Vencimento inválida");
        writeRows({valid, rejected, valid});
        RelBloqueto rel;
        TRpPrinter store;
        produce(rel, store);
        QCOMPARE(store.pageCount(), 2);

        writeRows({rejected});
        TRpPrinter empty;
        produce(rel, empty);
        QCOMPARE(empty.pageCount(), 0);
    }

    void logoCacheFollowsTheBeneficiary()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const IniFile ini = KvSettings::file();
        const QString a = QStringLiteral("CEDENTE A");
        const QString b = QStringLiteral("CEDENTE B");
        const QString logoA = writeLogo(dir.file(QStringLiteral("a.bmp")), Qt::red);
        const QString logoB = writeLogo(dir.file(QStringLiteral("b.bmp")), Qt::blue);
        ini.writeString(a, QStringLiteral("Recibo"), logoA);
        ini.writeString(a, QStringLiteral("Comprovante"), logoA);
        ini.writeString(b, QStringLiteral("Recibo"), logoB);
        ini.writeString(b, QStringLiteral("Comprovante"), QString());

        QList<BlqTitle> rows;
        for (const QString& name : {a, a, b, a}) {
            BlqTitle t = BlqTitles::complete();
            t.nomCed = name;
            rows << t;
        }
        writeRows(rows);
        RelBloqueto rel;
        TRpPrinter store;
        produce(rel, store);
        QCOMPARE(store.pageCount(), 4);
        QCOMPARE(rel.logoLoads(), 3); // A, B, A again
        QCOMPARE(rel.cachedBeneficiary(), a);

        // receipt logo first on the page, voucher picture last
        const auto receipt = [&](int page) {
            return store.pictures().at(pagePictures(store, page).first());
        };
        const auto voucher = [&](int page) {
            return store.pictures().at(pagePictures(store, page).last());
        };
        for (int page : {0, 1, 3}) {
            QVERIFY(samePicture(receipt(page), picture(logoA)));
            QVERIFY(samePicture(voucher(page), picture(logoA)));
        }
        QVERIFY(samePicture(receipt(2), picture(logoB)));
        QVERIFY(
            samePicture(voucher(2), picture(QStringLiteral(":/bloqueto/ravessa-monograma.bmp"))));
        // a picture used on many pages is stored once
        QCOMPARE(pagePictures(store, 0).first(), pagePictures(store, 3).first());
    }

    void clearedLogosPrintTheDefaults()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const IniFile ini = KvSettings::file();
        const QString name = BlqTitles::complete().nomCed;
        // what "Limpar" leaves: both keys present and empty
        ini.writeString(name, QStringLiteral("Recibo"), QString());
        ini.writeString(name, QStringLiteral("Comprovante"), QString());
        writeRows({BlqTitles::complete()});
        RelBloqueto rel;
        TRpPrinter store;
        produce(rel, store);
        QCOMPARE(rel.logoLoads(), 1);
        const QList<int> pics = pagePictures(store, 0);
        QVERIFY(samePicture(store.pictures().at(pics.first()),
                            picture(QStringLiteral(":/bloqueto/ravessa-logo.bmp"))));
        QVERIFY(samePicture(store.pictures().at(pics.last()),
                            picture(QStringLiteral(":/bloqueto/ravessa-monograma.bmp"))));
    }

    void unusableLogoStopsTheReport_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QStringLiteral("sumiu.bmp")
                                 << QStringLiteral("Arquivo de Logomarca não encontrado");
        QTest::newRow("a folder") << QStringLiteral(".")
                                  << QStringLiteral("Arquivo de Logomarca não encontrado");
        QTest::newRow("not a picture")
            << QStringLiteral("texto.bmp") << QStringLiteral("Formato de figura inválido");
    }
    void unusableLogoStopsTheReport()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        KV_GLOBAL_ENGINE_DIR(dir);
        QVERIFY(
            TestSupport::writeFile(dir.file(QStringLiteral("texto.bmp")), "isto não é uma figura"));
        const QString name = BlqTitles::complete().nomCed;
        KvSettings::file().writeString(name, QStringLiteral("Recibo"), dir.file(file));
        KvSettings::file().writeString(name, QStringLiteral("Comprovante"), QString());
        writeRows({BlqTitles::complete()});
        RelBloqueto rel;
        TRpPrinter store;
        const QString error = TestSupport::errorOf([&] { produce(rel, store); });
        QVERIFY2(error.startsWith(message), qPrintable(error));
        QCOMPARE(rel.cachedBeneficiary(), name);
    }

    void nonDigitStopsTheReport()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitle t = BlqTitles::complete();
        t.ageCod = QStringLiteral("01 3");
        writeRows({t});
        RelBloqueto rel;
        TRpPrinter store;
        QVERIFY_THROWS_EXCEPTION(KvConversionError, produce(rel, store));
    }

    void everyBarcodeScansAt300Dpi()
    {
        if (!BarcodeScan::available())
            QSKIP("zbarimg is not installed");
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = barcodeRows();
        writeRows(rows);
        RelBloqueto rel;
        TRpPrinter store;
        produce(rel, store);
        QCOMPARE(store.pageCount(), rows.size());

        const double dpi = 300;
        const QSize px(qRound(210 / 25.4 * dpi), qRound(297 / 25.4 * dpi));
        for (int i = 0; i < store.pageCount(); ++i) {
            QImage page(px, QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter p(&page);
            RpPagePainter::paint(p, store, i, QRectF(QPointF(0, 0), QSizeF(px)), int(dpi));
            p.end();
            QCOMPARE(BarcodeScan::interleaved25(page), barcodeOf(rows.at(i)));
        }
    }

    // The file the batch tool writes: what a bank's reader sees on the printed sheet.
    void everyBarcodeScansFromThePdf()
    {
        if (!BarcodeScan::available() || !TestSupport::haveProgram(QStringLiteral("pdftoppm")))
            QSKIP("zbarimg or pdftoppm is not installed");
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = barcodeRows();
        writeRows(rows);
        RelBloqueto rel;
        rel.selectValidInFileOrder();
        const QString pdf = dir.file(QStringLiteral("folha.pdf"));
        QCOMPARE(rel.writePdf(pdf), rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            const QString base = dir.file(QStringLiteral("pagina"));
            int rc = -1;
            TestSupport::run(QStringLiteral("pdftoppm"),
                             {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                              QStringLiteral("-f"), QString::number(i + 1), QStringLiteral("-l"),
                              QString::number(i + 1), QStringLiteral("-singlefile"), pdf, base},
                             &rc);
            QCOMPARE(rc, 0);
            const QImage page(base + QStringLiteral(".pgm"));
            QVERIFY(!page.isNull());
            QCOMPARE(BarcodeScan::interleaved25(page), barcodeOf(rows.at(i)));
        }
    }
};

QTEST_MAIN(TstRelBloqueto)
#include "tst_relbloqueto.moc"
