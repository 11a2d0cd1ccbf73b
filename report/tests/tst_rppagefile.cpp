// Saved reports (".kvr") and the outputs drawn from a page store: the file round trip,
// damaged and foreign files, PDF and printer output read back with poppler.

#include "Clock.h"
#include "MemoryDataSource.h"
#include "PageText.h"
#include "Report.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {
const QByteArray kDefinition = R"({ "name": "rptArquivo", "title": "Arquivo",
  "page": { "values": [100, 2970, 100, 2100, 100, 100, 0] },
  "bands": [
    { "name": "Cab", "type": "rbPageHeader", "height": 200, "color": "cl3DLight", "elements": [
      { "kind": "TRpImage", "name": "img", "size": [164, 0, -7.9, 396.9], "stretch": true },
      { "kind": "TRpLabel", "name": "t", "size": [45, 0, 34, 600], "caption": "RELATÓRIO DE TESTE",
        "font": { "name": "Arial Black", "size": 12 }, "alignment": "taCenter",
        "alignToBand": true, "autoSize": true, "transparent": false },
      { "kind": "TRpSysData", "name": "p", "size": [45, 0, 100, 300], "data": "rpsPageNumber",
        "text": "Página ", "alignment": "taRightJustify", "alignToBand": true,
        "autoSize": true } ] },
    { "name": "Det", "type": "rbDetail", "height": 90, "elements": [
      { "kind": "TRpShape", "name": "r", "size": [11, 0, 80, 1899], "shape": "rpsHorLine",
        "pen": { "width": 3, "style": "psDot" } },
      { "kind": "TRpShape", "name": "g", "size": [60, 1500, 10, 390],
        "brush": { "color": 14606046 } },
      { "kind": "TRpDBText", "name": "n", "size": [45, 20, 10, 600], "dataField": "BlqNomCed",
        "font": { "name": "Small Fonts", "size": 7, "bold": true } },
      { "kind": "TRpExpr", "name": "e", "size": [45, 800, 10, 600],
        "expression": "'Nº ' + qryArquivo.BlqSeq",
        "font": { "name": "MS Serif", "size": 9 } } ] } ] })";

struct Produced {
    std::unique_ptr<MemoryDataSource> source;
    std::unique_ptr<TRpReport> report;
    TRpPrinter store;

    explicit Produced(int rows)
    {
        using Kind = ReportDataSource::FieldKind;
        QList<QVariantList> values;
        for (int i = 1; i <= rows; ++i)
            values << QVariantList{QVariant::fromValue(qint64(i)),
                                   QStringLiteral("AçÃO %1").arg(i)};
        source = std::make_unique<MemoryDataSource>(
            QStringLiteral("qryArquivo"),
            QList<MemoryDataSource::Field>{{QStringLiteral("BlqSeq"), Kind::Integer},
                                           {QStringLiteral("BlqNomCed"), Kind::Text}},
            values);
        report = TRpReport::fromJson(kDefinition);
        QImage logo(150, 62, QImage::Format_RGB888);
        logo.fill(QColor(0, 70, 140));
        report->image(QStringLiteral("img")).setPicture(logo);
        report->DataSet = source.get();
        report->produce(store);
    }
};

QImage render(const TRpPrinter& store, int page)
{
    QImage img(620, 877, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    RpPagePainter::paint(p, store, page, QRectF(0, 0, img.width(), img.height()), 600);
    return img;
}

QByteArray saved(const TRpPrinter& store)
{
    return RpPageFile::write(store);
}

void putU32(QByteArray& b, qsizetype at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}
} // namespace

class TstRpPageFile : public QObject {
    Q_OBJECT
    TestEnvironment m_env{TestEnvironment::SystemFormats,
                          QDateTime(QDate(2026, 3, 14), QTime(9, 0))};
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void aSavedReportLoadsBackToTheSamePages()
    {
        TempProgramDir dir;
        Produced made(70);
        QCOMPARE(made.store.pageCount(), 3);
        const QString path = dir.file(QStringLiteral("rel.kvr"));
        RpPageFile::save(made.store, path);

        TRpPrinter loaded;
        loaded.setTitle(QStringLiteral("Janela"));
        RpPageFile::load(path, loaded);
        QVERIFY(loaded.isLoaded());
        QVERIFY(loaded.isFinished());
        QCOMPARE(loaded.title(), QStringLiteral("Janela")); // the file brings no title
        QCOMPARE(loaded.pageCount(), made.store.pageCount());
        QCOMPARE(loaded.paperSize(), QSize(210000, 297000));
        QCOMPARE(loaded.fonts(), made.store.fonts());
        QCOMPARE(loaded.pictures().size(), 1);
        for (int i = 0; i < loaded.pageCount(); ++i) {
            QVERIFY(loaded.page(i) == made.store.page(i));
            QCOMPARE(render(loaded, i), render(made.store, i));
        }
        // and it saves again byte for byte
        QCOMPARE(saved(loaded), saved(made.store));
    }

    void damagedOrForeignFilesAreRefusedWithAMessage_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << 0 << QStringLiteral("não é um relatório");
        QTest::newRow("a PDF") << 1 << QStringLiteral("não é um relatório");
        QTest::newRow("newer version") << 2 << QStringLiteral("versão mais nova");
        QTest::newRow("huge font count") << 3 << QStringLiteral("danificado");
        QTest::newRow("text beyond the page") << 4 << QStringLiteral("danificado");
        QTest::newRow("unknown operation") << 5 << QStringLiteral("danificado");
        QTest::newRow("bytes after the end") << 6 << QStringLiteral("danificado");
        QTest::newRow("picture that is no PNG") << 7 << QStringLiteral("danificado");
        QTest::newRow("text taken for a square of modules") << 8 << QStringLiteral("danificado");
    }
    void damagedOrForeignFilesAreRefusedWithAMessage()
    {
        QFETCH(int, variant);
        QFETCH(QString, message);
        TempProgramDir dir;
        Produced made(2);
        QByteArray b = saved(made.store);
        // offsets: 21 font count; fonts; then pictures, pages
        const qsizetype pictures = b.indexOf("\x89PNG") - 8;
        const qsizetype pictureLength = qFromLittleEndian<quint32>(b.constData() + pictures + 4);
        const qsizetype pages = pictures + 8 + pictureLength;
        const qsizetype firstOp = pages + 8;
        switch (variant) {
        case 0:
            b.clear();
            break;
        case 1:
            b = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj";
            break;
        case 2:
            b[8] = 2;
            break;
        case 3:
            putU32(b, 21, 0x7fffffff);
            break;
        case 4: { // the first text operation points past the page's text
            for (qsizetype at = firstOp;; at += 48) {
                if (b[at] == char(RpOp::Text)) {
                    putU32(b, at + 32, 1'000'000); // text offset
                    break;
                }
            }
            break;
        }
        case 5:
            b[firstOp] = 9;
            break;
        case 6:
            b.append('\0');
            break;
        case 7:
            b[pictures + 8 + 1] = 'X';
            break;
        case 8: // its bits would be the text's characters, too few for any square
            for (qsizetype at = firstOp;; at += 48) {
                if (b[at] == char(RpOp::Text)) {
                    b[at] = char(RpOp::Modules);
                    putU32(b, at + 28, 21); // modules a side
                    break;
                }
            }
            break;
        }
        const QString path = dir.file(QStringLiteral("ruim.kvr"));
        QVERIFY(TestSupport::writeFile(path, b));
        TRpPrinter store;
        store.setTitle(QStringLiteral("antes"));
        try {
            RpPageFile::load(path, store);
            QFAIL("accepted");
        } catch (const KvError& e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
            QVERIFY(e.message().contains(path));
        }
        QVERIFY(!store.isLoaded());
        QCOMPARE(store.pageCount(), 0);
    }

    void everyTruncationIsRefused()
    {
        TempProgramDir dir;
        Produced made(1);
        const QByteArray b = saved(made.store);
        for (qsizetype n = 0; n < b.size(); ++n) {
            TRpPrinter store;
            QVERIFY_THROWS_EXCEPTION(KvError, RpPageFile::read(b.left(n), store));
            QCOMPARE(store.pageCount(), 0);
        }
    }

    void anUnfinishedStoreWritesNothing()
    {
        TempProgramDir dir;
        const QString path = dir.file(QStringLiteral("x.kvr"));
        TRpPrinter producing;
        producing.begin(QSize(210000, 297000), false);
        producing.addPage(RpPage());
        RpPageFile::save(producing, path);
        QVERIFY(!QFile::exists(path));
        QVERIFY_THROWS_EXCEPTION(KvError, RpPdfExport::write(producing, path));
        QVERIFY(!QFile::exists(path));
    }

    void aFailedSaveLeavesTheOldFileWhole()
    {
        TempProgramDir dir;
        Produced made(3);
        // a file in a folder that is not there: the write fails before anything is
        // touched; the old file elsewhere stays as it was
        QVERIFY_THROWS_EXCEPTION(
            KvError, RpPageFile::save(made.store, dir.file(QStringLiteral("nada/x.kvr"))));
        const QString path = dir.file(QStringLiteral("velho.kvr"));
        QVERIFY(TestSupport::writeFile(path, "conteúdo antigo"));
        TRpPrinter empty; // producing, so it writes nothing
        empty.begin(QSize(210000, 297000), false);
        RpPageFile::save(empty, path);
        QFile again(path);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), QByteArray("conteúdo antigo"));
    }

    void pdfCarriesTheTextsOfEveryPage()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("pdftotext is not installed");
        TempProgramDir dir;
        Produced made(70);
        const QString pdf = dir.file(QStringLiteral("rel.pdf"));
        RpPdfExport::write(made.store, pdf);
        int rc = -1;
        const QString text = QString::fromUtf8(
            TestSupport::run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-layout"), pdf, QStringLiteral("-")}, &rc));
        QCOMPARE(rc, 0);
        QCOMPARE(text.count(QStringLiteral("RELATÓRIO DE TESTE")), 3);
        QVERIFY(text.contains(QStringLiteral("Página 3")));
        QVERIFY(text.contains(QStringLiteral("AçÃO 70")));
        QVERIFY(text.contains(QStringLiteral("Nº 69")));
        const QString info =
            QString::fromUtf8(TestSupport::run(QStringLiteral("pdfinfo"), {pdf}, &rc));
        QVERIFY(info.contains(QStringLiteral("595.28 x 841.89 pts (A4)")) ||
                info.contains(QStringLiteral("595 x 842 pts (A4)")));
    }

    void loadedPagesPrintTheChosenRange()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdfinfo")))
            QSKIP("pdfinfo is not installed");
        TempProgramDir dir;
        ScriptedDialogs dlg;
        Produced made(70);
        const QString kvr = dir.file(QStringLiteral("rel.kvr"));
        RpPageFile::save(made.store, kvr);
        TRpPrinter loaded;
        RpPageFile::load(kvr, loaded);
        RpPrintOutput(loaded).printerSetup(); // nothing after a load
        QVERIFY(dlg.asked.isEmpty());

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir.file(QStringLiteral("impresso.pdf"));
        printer.setOutputFileName(pdf);
        printer.setFromTo(2, 3);
        RpPrintOutput(loaded).printStored(printer);
        int rc = -1;
        const QString info =
            QString::fromUtf8(TestSupport::run(QStringLiteral("pdfinfo"), {pdf}, &rc));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\b"))),
                 qPrintable(info));
        const QString text = QString::fromUtf8(
            TestSupport::run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}, &rc));
        QVERIFY(!text.contains(QStringLiteral("Página 1\n")));
        QVERIFY(text.contains(QStringLiteral("Página 3")));
    }
};

QTEST_MAIN(TstRpPageFile)
#include "tst_rppagefile.moc"
