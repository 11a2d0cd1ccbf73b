// Producing pages: band fitting, headers, handlers, texts and pictures, over rows of a
// real SQLite database.

#include "Clock.h"
#include "MemoryDataSource.h"
#include "PageText.h"
#include "Report.h"
#include "RpProducer.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include "RpExpression.h"
#include "RpMask.h"

#include <QFontInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// `rows` rows: BlqSeq 1..rows and a name per row.
std::unique_ptr<MemoryDataSource> numberedRows(int rows)
{
    using Kind = ReportDataSource::FieldKind;
    QList<QVariantList> values;
    for (int i = 1; i <= rows; ++i) {
        values << QVariantList{QVariant::fromValue(qint64(i)), QStringLiteral("LINHA %1").arg(i),
                               QStringLiteral("01234567")};
    }
    return std::make_unique<MemoryDataSource>(
        QStringLiteral("qryTeste"),
        QList<MemoryDataSource::Field>{{QStringLiteral("BlqSeq"), Kind::Integer},
                                       {QStringLiteral("BlqNomCed"), Kind::Text},
                                       {QStringLiteral("BlqSacCep"), Kind::Text}},
        values);
}

// A report with a page header, a column header and a detail band of the given heights
// (tenths of a millimetre), on A4 with 10 mm margins: 2770 between the margins.
QByteArray bandsReport(double header, double column, double detail,
                       const QString& detailElements = QString(), const QString& extra = QString())
{
    return QStringLiteral(R"({ "name": "rptTeste", "title": "Teste", %5
      "page": { "values": [100, 2970, 100, 2100, 100, 100, 0] },
      "bands": [
        { "name": "Cabecalho", "type": "rbPageHeader", "height": %1, "elements": [
          { "kind": "TRpLabel", "name": "lblTitulo", "size": [40, 0, 0, 500],
            "caption": "CABEÇALHO" },
          { "kind": "TRpSysData", "name": "sysPagina", "size": [40, 1500, 0, 300],
            "data": "rpsPageNumber", "text": "Página " } ] },
        { "name": "Colunas", "type": "rbColumnHeader", "height": %2, "elements": [
          { "kind": "TRpLabel", "name": "lblColuna", "size": [40, 0, 0, 500],
            "caption": "COLUNA" } ] },
        { "name": "Detalhe", "type": "rbDetail", "height": %3, "beforePrint": "DetalheBeforePrint",
          "elements": [
          { "kind": "TRpDBText", "name": "qdbNome", "size": [40, 0, 0, 500],
            "dataField": "BlqNomCed", "onPrint": "qdbNomePrint" } %4 ] } ] })")
        .arg(header)
        .arg(column)
        .arg(detail)
        .arg(detailElements.isEmpty() ? QString() : QStringLiteral(", ") + detailElements)
        .arg(extra)
        .toUtf8();
}

struct Run {
    std::unique_ptr<TRpReport> report;
    std::unique_ptr<MemoryDataSource> source;
    int beforePrints = 0;

    Run(const QByteArray& json, int rows)
    {
        report = TRpReport::fromJson(json, QStringLiteral("teste"));
        source = numberedRows(rows);
        report->DataSet = source.get();
        report->bindBeforePrint(QStringLiteral("DetalheBeforePrint"),
                                [this](TRpBand&, bool&) { ++beforePrints; });
        report->bindOnPrint(QStringLiteral("qdbNomePrint"), [](TRpDBText&, QString&) {});
    }
};
} // namespace

class TstRpProducer : public QObject {
    Q_OBJECT
    TestEnvironment m_env{TestEnvironment::SystemFormats,
                          QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53))};
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void bandsFillPagesWithHeadersOnEach_data()
    {
        QTest::addColumn<double>("detail");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("rowsPerPage");
        // 2770 between the margins, 200 of headers: 2570 for details.
        QTest::newRow("one page") << 100.0 << 25 << QList<int>{25};
        QTest::newRow("26th row breaks") << 100.0 << 26 << QList<int>{25, 1};
        QTest::newRow("three pages") << 100.0 << 60 << QList<int>{25, 25, 10};
        QTest::newRow("band filling the page exactly") << 2570.0 << 3 << QList<int>{1, 1, 1};
        QTest::newRow("band a hundredth too tall prints, not breaks pages forever")
            << 2570.01 << 2 << QList<int>{1, 1};
        QTest::newRow("decimals add up") << 85.67 << 31 << QList<int>{29, 2};
    }
    void bandsFillPagesWithHeadersOnEach()
    {
        QFETCH(double, detail);
        QFETCH(int, rows);
        QFETCH(QList<int>, rowsPerPage);
        TempProgramDir dir;
        Run run(bandsReport(120, 80, detail), rows);
        TRpPrinter store;
        run.report->produce(store);
        QVERIFY(store.isFinished());
        QCOMPARE(store.pageCount(), rowsPerPage.size());
        int seq = 0;
        for (int p = 0; p < store.pageCount(); ++p) {
            const QStringList t = PageText::texts(store, p);
            QCOMPARE(t.count(QStringLiteral("CABEÇALHO")), 1);
            QCOMPARE(t.count(QStringLiteral("COLUNA")), 1);
            QVERIFY(t.contains(QStringLiteral("Página %1").arg(p + 1)));
            QCOMPARE(t.filter(QStringLiteral("LINHA ")).size(), rowsPerPage.at(p));
            // rows continue in order from page to page, each below the headers
            for (const PageText::Placed& pt : PageText::placed(store, p)) {
                if (!pt.text.startsWith(QStringLiteral("LINHA ")))
                    continue;
                QCOMPARE(pt.text, QStringLiteral("LINHA %1").arg(++seq));
                QVERIFY(pt.y > 100 * 100 + 200 * 100);
            }
        }
        QCOMPARE(seq, rows);
        QCOMPARE(run.beforePrints, rows);
    }

    void anEmptyQueryGivesNoBandAndNoPage()
    {
        TempProgramDir dir;
        Run run(bandsReport(120, 80, 100), 0);
        TRpPrinter store;
        run.report->produce(store);
        QVERIFY(store.isFinished());
        QCOMPARE(store.pageCount(), 0);
        QCOMPARE(run.beforePrints, 0);
    }

    void printIfEmptyGivesAPageOfHeaders()
    {
        TempProgramDir dir;
        Run run(bandsReport(120, 80, 100), 0);
        run.report->PrintIfEmpty = true;
        TRpPrinter store;
        run.report->produce(store);
        QCOMPARE(store.pageCount(), 1);
        QCOMPARE(PageText::texts(store, 0),
                 (QStringList{QStringLiteral("CABEÇALHO"), QStringLiteral("Página 1"),
                              QStringLiteral("COLUNA")}));
        QCOMPARE(run.beforePrints, 0);
    }

    void handlersChangeWhatPrints()
    {
        TempProgramDir dir;
        Run run(
            bandsReport(120, 80, 100,
                        QStringLiteral(
                            R"({ "kind": "TRpLabel", "name": "lblVar", "size": [40, 600, 0, 500] },
                  { "kind": "TRpMemo", "name": "memLinhas", "size": [100, 1200, 0, 500] })")),
            3);
        TRpReport& r = *run.report;
        int onPrints = 0;
        r.bindBeforePrint(QStringLiteral("DetalheBeforePrint"), [&](TRpBand& band, bool& print) {
            QCOMPARE(band.Name, QStringLiteral("Detalhe"));
            const int seq = run.source->value(QStringLiteral("BlqSeq")).toInt();
            r.label(QStringLiteral("lblVar")).Caption = QStringLiteral("VAR %1").arg(seq);
            r.memo(QStringLiteral("memLinhas")).Lines = {QStringLiteral("M%1").arg(seq),
                                                         QStringLiteral(" ")};
            r.label(QStringLiteral("lblVar")).Enabled = seq != 2;
            print = seq != 3; // the third band is left out
        });
        r.bindOnPrint(QStringLiteral("qdbNomePrint"), [&](TRpDBText& sender, QString& value) {
            QCOMPARE(sender.Name, QStringLiteral("qdbNome"));
            ++onPrints;
            value = value.toLower();
        });
        TRpPrinter store;
        r.produce(store);
        const QStringList t = PageText::texts(store, 0);
        QCOMPARE(t.mid(3),
                 (QStringList{QStringLiteral("linha 1"), QStringLiteral("VAR 1"),
                              QStringLiteral("M1"), QStringLiteral(" "), QStringLiteral("linha 2"),
                              QStringLiteral("M2"), QStringLiteral(" ")}));
        QCOMPARE(onPrints, 2);
    }

    void aHandlerErrorEndsProductionAsThatError()
    {
        TempProgramDir dir;
        Run run(bandsReport(120, 80, 100), 40);
        run.report->bindBeforePrint(QStringLiteral("DetalheBeforePrint"), [&](TRpBand&, bool&) {
            if (run.source->value(QStringLiteral("BlqSeq")).toInt() == 30)
                throw KvError(QStringLiteral("Arquivo de Logomarca não encontrado"));
        });
        TRpPrinter store;
        try {
            run.report->produce(store);
            QFAIL("no error");
        } catch (const KvError& e) {
            QCOMPARE(e.message(), QStringLiteral("Arquivo de Logomarca não encontrado"));
        }
        QCOMPARE(store.state(), TRpPrinter::State::Failed);
        QCOMPARE(store.pageCount(), 1);
    }

    void anUnboundHandlerStopsBeforeAnyPage()
    {
        TempProgramDir dir;
        auto r = TRpReport::fromJson(bandsReport(120, 80, 100));
        const auto src = numberedRows(2);
        r->DataSet = src.get();
        TRpPrinter store;
        QVERIFY_THROWS_EXCEPTION(KvError, r->produce(store));
        QCOMPARE(store.pageCount(), 0);
    }

    void expressions_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("printed");
        QTest::newRow("literal and field")
            << QStringLiteral("'CEP - ' + qryTeste.BlqSacCep") << QStringLiteral("CEP - 01234567");
        QTest::newRow("field case")
            << QStringLiteral("QRYTESTE.blqnomced + ' - ' + qryTeste.BlqSeq")
            << QStringLiteral("LINHA 1 - 1");
        QTest::newRow("bare field") << QStringLiteral("BlqNomCed") << QStringLiteral("LINHA 1");
        QTest::newRow("quote in literal")
            << QStringLiteral("'d''água'") << QStringLiteral("d'água");
        QTest::newRow("empty") << QString() << QString();
    }
    void expressions()
    {
        QFETCH(QString, expression);
        QFETCH(QString, printed);
        TempProgramDir dir;
        QJsonObject e{{QStringLiteral("kind"), QStringLiteral("TRpExpr")},
                      {QStringLiteral("name"), QStringLiteral("exp")},
                      {QStringLiteral("size"), QJsonArray{40, 600, 0, 900}},
                      {QStringLiteral("expression"), expression}};
        Run run(bandsReport(120, 80, 100, QString::fromUtf8(QJsonDocument(e).toJson())), 1);
        TRpPrinter store;
        run.report->produce(store);
        QStringList t = PageText::texts(store, 0).mid(4);
        QCOMPARE(t.value(0), printed);
    }

    void badExpressionsAreRefused_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::newRow("open literal") << QStringLiteral("'CEP - ");
        QTest::newRow("dangling plus") << QStringLiteral("'a' +");
        QTest::newRow("missing plus") << QStringLiteral("'a' 'b'");
        QTest::newRow("strange character") << QStringLiteral("'a' - 'b'");
        QTest::newRow("empty field") << QStringLiteral("qry.");
    }
    void badExpressionsAreRefused()
    {
        QFETCH(QString, expression);
        QVERIFY_THROWS_EXCEPTION(KvError, RpExpression::parse(expression));
    }

    void aFieldOfAnotherQueryIsAnError()
    {
        TempProgramDir dir;
        Run run(bandsReport(120, 80, 100, QStringLiteral(R"({ "kind": "TRpExpr", "name": "e",
          "size": [40, 600, 0, 900], "expression": "qryOutra.BlqNomCed" })")),
                1);
        TRpPrinter store;
        QVERIFY_THROWS_EXCEPTION(KvError, run.report->produce(store));
    }

    void autoSizeKeepsTheEdgeOfItsAlignment_data()
    {
        QTest::addColumn<QString>("alignment");
        QTest::addColumn<bool>("toBand");
        QTest::addColumn<int>("anchor"); // µm: left edge, right edge or centre kept
        // band from 10 mm to 200 mm; box from 10 + 60 mm, 50 mm wide
        QTest::newRow("left") << QStringLiteral("taLeftJustify") << false << 70000;
        QTest::newRow("right") << QStringLiteral("taRightJustify") << false << 120000;
        QTest::newRow("centre") << QStringLiteral("taCenter") << false << 95000;
        QTest::newRow("right of band") << QStringLiteral("taRightJustify") << true << 200000;
        QTest::newRow("centre of band") << QStringLiteral("taCenter") << true << 105000;
    }
    void autoSizeKeepsTheEdgeOfItsAlignment()
    {
        QFETCH(QString, alignment);
        QFETCH(bool, toBand);
        QFETCH(int, anchor);
        TempProgramDir dir;
        const QString element =
            QStringLiteral(
                R"({ "kind": "TRpLabel", "name": "lbl", "size": [45, 600, 0, 500],
            "caption": "RELAÇÃO", "alignment": "%1", "alignToBand": %2, "autoSize": true,
            "transparent": false, "color": "clWhite" })")
                .arg(alignment, toBand ? QStringLiteral("true") : QStringLiteral("false"));
        Run run(bandsReport(120, 80, 100, element), 1);
        TRpPrinter store;
        run.report->produce(store);
        // the white fill is the box: the width of the text
        const QList<RpOp> fills = PageText::ops(store, 0, RpOp::Fill);
        QCOMPARE(fills.size(), 1);
        const RpOp box = fills.first();
        QFontMetricsF fm(ReportFonts::layoutFont(RpFont{}));
        QVERIFY(qAbs(box.w - fm.horizontalAdvance(QStringLiteral("RELAÇÃO"))) <= 1.0);
        const int kept = alignment == QLatin1StringView("taLeftJustify")    ? box.x
                         : alignment == QLatin1StringView("taRightJustify") ? box.x + box.w
                                                                            : box.x + box.w / 2;
        QVERIFY2(qAbs(kept - anchor) <= 1, qPrintable(QString::number(kept)));
    }

    void wordWrapBreaksInsideTheBoxAndDropsLinesBelowIt()
    {
        QFontMetricsF fm(ReportFonts::layoutFont(RpFont{QStringLiteral("Arial"), 8}));
        const QString text = QStringLiteral("UM DOIS TRES QUATRO CINCO SEIS SETE OITO NOVE");
        const double width = fm.horizontalAdvance(QStringLiteral("UM DOIS TRES Q"));
        const QStringList lines = RpProducer::breakLines(text, fm, width, true);
        QVERIFY(lines.size() >= 3);
        for (const QString& l : lines)
            QVERIFY(fm.horizontalAdvance(l) <= width);
        QCOMPARE(lines.join(QLatin1Char(' ')), text);
        QCOMPARE(RpProducer::breakLines(QStringLiteral("a\r\nb\nc"), fm, 1, false),
                 (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        // a word wider than the box is cut, nothing is lost
        const QStringList cut = RpProducer::breakLines(
            QStringLiteral("ABCDEFGHIJ"), fm, fm.horizontalAdvance(QStringLiteral("ABC")), true);
        QCOMPARE(cut.join(QString()), QStringLiteral("ABCDEFGHIJ"));

        // In a box two lines high (Arial 8: lines of about 3.2 mm), only two lines print.
        TempProgramDir dir;
        Run run(bandsReport(120, 80, 100,
                            QStringLiteral(R"({ "kind": "TRpLabel", "name": "lbl",
            "size": [74.1, 600, 0, 200], "font": { "size": 8 }, "wordWrap": true,
            "caption": "%1" })")
                                .arg(text)),
                1);
        TRpPrinter store;
        run.report->produce(store);
        const QStringList printed = PageText::texts(store, 0).mid(4);
        QCOMPARE(printed.size(), 2);
        QVERIFY(text.startsWith(printed.join(QLatin1Char(' '))));
    }

    void systemDataPrintsTodayTheTimeAndThePage()
    {
        TempProgramDir dir;
        Run run(bandsReport(120, 80, 100, QStringLiteral(R"(
            { "kind": "TRpSysData", "name": "d", "size": [40, 600, 0, 200], "data": "rpsDate" },
            { "kind": "TRpSysData", "name": "t", "size": [40, 900, 0, 200], "data": "rpsTime",
              "text": "Hora: " })")),
                1);
        TRpPrinter store;
        run.report->produce(store);
        QCOMPARE(PageText::texts(store, 0).mid(4),
                 (QStringList{QStringLiteral("14/03/2026"), QStringLiteral("Hora: 09:26:53")}));
    }

    void aPictureUsedOnEveryPageIsStoredOnce()
    {
        TempProgramDir dir;
        QTemporaryDir tmp;
        QImage logo(96, 48, QImage::Format_RGB32);
        logo.fill(Qt::red);
        QVERIFY(logo.save(tmp.filePath(QStringLiteral("logo.png"))));
        QVERIFY(logo.save(tmp.filePath(QStringLiteral("copia.png"))));
        Run run(bandsReport(120, 80, 1000, QStringLiteral(R"(
            { "kind": "TRpImage", "name": "img", "size": [200, 0, 0, 500], "center": true },
            { "kind": "TRpImage", "name": "img2", "size": [100, 600, 0, 100] })")),
                5);
        TRpReport& r = *run.report;
        r.bindBeforePrint(QStringLiteral("DetalheBeforePrint"), [&](TRpBand&, bool&) {
            // read again from disk on every row, and once from another file of the same
            // content: still one picture in the store
            const int seq = run.source->value(QStringLiteral("BlqSeq")).toInt();
            r.image(QStringLiteral("img"))
                .loadFromFile(tmp.filePath(seq == 3 ? QStringLiteral("copia.png")
                                                    : QStringLiteral("logo.png")));
            r.image(QStringLiteral("img2")).assign(r.image(QStringLiteral("img")));
        });
        TRpPrinter store;
        r.produce(store);
        QCOMPARE(store.pageCount(), 3);
        QCOMPARE(store.pictures().size(), 1);
        const QList<RpOp> pics = PageText::ops(store, 0, RpOp::Picture);
        QCOMPARE(pics.size(), 4);
        // 96 pixels at 96 per inch: 25.4 mm, centred in a 50 x 20 mm box
        QCOMPARE(pics.at(0).w2, 25400);
        QCOMPARE(pics.at(0).h2, 12700);
        QCOMPARE(pics.at(0).p1 - pics.at(0).x, (50000 - 25400) / 2);
        QCOMPARE(pics.at(0).p2 - pics.at(0).y, (20000 - 12700) / 2);
        // not centred: from the box's corner, clipped to it
        QCOMPARE(pics.at(1).p1, pics.at(1).x);
        QCOMPARE(pics.at(1).w, 10000);
    }

    void pictureFilesThatCannotBeOpenedRaiseTheFileOpenError()
    {
        QTemporaryDir tmp;
        TRpImage img;
        QVERIFY_THROWS_EXCEPTION(RpFileOpenError,
                                 img.loadFromFile(tmp.filePath(QStringLiteral("nada.bmp"))));
        QFile junk(tmp.filePath(QStringLiteral("lixo.bmp")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("isto não é uma figura");
        junk.close();
        try {
            img.loadFromFile(junk.fileName());
            QFAIL("no error");
        } catch (const RpFileOpenError&) {
            QFAIL("a picture that opens but does not read is not a file-open error");
        } catch (const KvError&) {
        }
        QVERIFY(img.picture().isNull());
    }

    void shapesBecomeLinesAndBoxes()
    {
        TempProgramDir dir;
        Run run(bandsReport(120, 80, 100, QStringLiteral(R"(
            { "kind": "TRpShape", "name": "h", "size": [11, 3, 93, 1799], "shape": "rpsHorLine",
              "pen": { "width": 3, "style": "psDot" } },
            { "kind": "TRpShape", "name": "v", "size": [63, 947, 98, 5], "shape": "rpsVertLine",
              "pen": { "width": 2 } },
            { "kind": "TRpShape", "name": "g", "size": [127, 1339, 98, 463],
              "brush": { "color": 14606046 }, "pen": { "style": "psClear" } },
            { "kind": "TRpShape", "name": "off", "size": [127, 1339, 98, 463],
              "enabled": false })")),
                1);
        TRpPrinter store;
        run.report->produce(store);
        const QList<RpOp> lines = PageText::ops(store, 0, RpOp::Line);
        QCOMPARE(lines.size(), 2);
        const int bandTop = 10000 + 12000 + 8000;
        QCOMPARE(lines.at(0).y, bandTop + 9300 + 550); // half the box's height
        QCOMPARE(lines.at(0).w, 179900);
        QCOMPARE(lines.at(0).style, quint8(RpPenStyle::Dot));
        QCOMPARE(lines.at(0).arg, 3);
        QCOMPARE(lines.at(1).x, 10000 + 94700 + 250);
        QCOMPARE(lines.at(1).h, 6300);
        const QList<RpOp> boxes = PageText::ops(store, 0, RpOp::Box);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(QColor::fromRgba(boxes.at(0).fill), QColor(222, 222, 222));
        QCOMPARE(boxes.at(0).style, quint8(RpPenStyle::Clear));
    }

    void drawingsKeepBarsToTheMicrometre()
    {
        TempProgramDir dir;
        Run run(bandsReport(120, 80, 200, QStringLiteral(R"(
            { "kind": "TRpDrawing", "name": "barras", "size": [151, -15, 10, 1000] })")),
                1);
        TRpReport& r = *run.report;
        r.bindBeforePrint(QStringLiteral("DetalheBeforePrint"), [&](TRpBand&, bool&) {
            r.drawing(QStringLiteral("barras")).Bars = {QRectF(0, 0, 3.3, 130),
                                                        QRectF(6.6, 0, 8.25, 130)};
        });
        TRpPrinter store;
        r.produce(store);
        const QList<RpOp> bars = PageText::ops(store, 0, RpOp::Fill);
        QCOMPARE(bars.size(), 2);
        QCOMPARE(bars.at(0).x, 10000 - 1500);
        QCOMPARE(bars.at(0).w, 330);
        QCOMPARE(bars.at(1).x - bars.at(0).x, 660);
        QCOMPARE(bars.at(1).w, 825);
        QCOMPARE(bars.at(1).h, 13000);
    }

    void elementsAreFoundByNameAndKind()
    {
        auto r = TRpReport::fromJson(bandsReport(120, 80, 100));
        QCOMPARE(r->label(QStringLiteral("LBLTITULO")).Caption, QStringLiteral("CABEÇALHO"));
        QVERIFY_THROWS_EXCEPTION(KvError, r->label(QStringLiteral("qdbNome")));
        QVERIFY_THROWS_EXCEPTION(KvError, r->element(QStringLiteral("naoExiste")));
        QCOMPARE(r->band(QStringLiteral("detalhe")).BandType, RpBandType::Detail);
    }

    void definitionsWithMistakesAreRefused_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QString>("named");
        const QString start = QStringLiteral(R"({ "bands": [ { "name": "B", "elements": [ )");
        QTest::newRow("not json") << QStringLiteral("{ bands") << QString();
        QTest::newRow("unknown key")
            << QStringLiteral(R"({ "titel": "x" })") << QStringLiteral("titel");
        QTest::newRow("unknown kind")
            << start + QStringLiteral(
                           R"({ "kind": "TRpBarcode", "name": "x", "size": [1,1,1,1] } ] } ] })")
            << QStringLiteral("TRpBarcode");
        QTest::newRow("short size")
            << start + QStringLiteral(
                           R"({ "kind": "TRpLabel", "name": "lbl", "size": [1,1,1] } ] } ] })")
            << QStringLiteral("lbl");
        QTest::newRow("bad colour")
            << start + QStringLiteral(R"({ "kind": "TRpLabel", "name": "lbl", "size": [1,1,1,1], )"
                                      R"("color": "clRosa" } ] } ] })")
            << QStringLiteral("color");
        QTest::newRow("key of another kind")
            << start + QStringLiteral(R"({ "kind": "TRpLabel", "name": "lbl", "size": [1,1,1,1], )"
                                      R"("dataField": "x" } ] } ] })")
            << QStringLiteral("dataField");
        QTest::newRow("repeated name")
            << start + QStringLiteral(R"({ "kind": "TRpLabel", "name": "a", "size": [1,1,1,1] },
                 { "kind": "TRpLabel", "name": "A", "size": [1,1,1,1] } ] } ] })")
            << QStringLiteral("repetido");
        QTest::newRow("margins wider than paper")
            << QStringLiteral(R"({ "page": { "values": [100, 2970, 100, 2100, 1100, 1100, 0] } })")
            << QStringLiteral("margens");
        QTest::newRow("missing picture")
            << start + QStringLiteral(R"({ "kind": "TRpImage", "name": "img", "size": [1,1,1,1], )"
                                      R"("picture": "nada.png" } ] } ] })")
            << QStringLiteral("nada.png");
    }
    void definitionsWithMistakesAreRefused()
    {
        QFETCH(QString, json);
        QFETCH(QString, named);
        try {
            TRpReport::fromJson(json.toUtf8(), QStringLiteral("teste.json"), QDir::tempPath());
            QFAIL("accepted");
        } catch (const KvError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("teste.json")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(named), qPrintable(e.message()));
        }
    }

    void masks_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("text");
        QTest::newRow("money") << 1234567.891 << QStringLiteral("#,##0.00")
                               << QStringLiteral("1.234.567,89");
        QTest::newRow("negative") << -5.5 << QStringLiteral("#,##0.00") << QStringLiteral("-5,50");
        QTest::newRow("zero with hashes") << 0.0 << QStringLiteral("#.##") << QString();
        QTest::newRow("leading zeros")
            << 42.0 << QStringLiteral("00000") << QStringLiteral("00042");
        QTest::newRow("optional decimals")
            << 2.5 << QStringLiteral("0.##") << QStringLiteral("2,5");
        QTest::newRow("literal") << 7.0 << QStringLiteral("'R$ '0.00") << QStringLiteral("R$ 7,00");
        QTest::newRow("negative section")
            << -3.0 << QStringLiteral("0;(0)") << QStringLiteral("(3)");
    }
    void masks()
    {
        QFETCH(double, value);
        QFETCH(QString, mask);
        QFETCH(QString, text);
        QCOMPARE(RpMask::formatNumber(value, mask), text);
    }

    void dateMasks()
    {
        const QDateTime when(QDate(2026, 1, 5), QTime(7, 8, 9));
        QCOMPARE(RpMask::formatDateTime(when, QStringLiteral("dd/mm/yyyy hh:nn:ss")),
                 QStringLiteral("05/01/2026 07:08:09"));
        QCOMPARE(RpMask::formatDateTime(when, QStringLiteral("d/m/yy hh:mm")),
                 QStringLiteral("5/1/26 07:08"));
        QCOMPARE(RpMask::formatDateTime(when, QStringLiteral("\"dia\" dd")),
                 QStringLiteral("dia 05"));
    }

    void theOriginalFaceNamesMapToShippedFaces_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("weight");
        QTest::newRow("Arial") << QStringLiteral("Arial") << QStringLiteral("Liberation Sans")
                               << int(QFont::Normal);
        QTest::newRow("MS Sans Serif") << QStringLiteral("MS Sans Serif")
                                       << QStringLiteral("Liberation Sans") << int(QFont::Normal);
        QTest::newRow("MS Serif") << QStringLiteral("MS Serif")
                                  << QStringLiteral("Liberation Serif") << int(QFont::Normal);
        QTest::newRow("Arial Black")
            << QStringLiteral("Arial Black") << QStringLiteral("Lato") << int(QFont::Black);
        QTest::newRow("Small Fonts")
            << QStringLiteral("Small Fonts") << QStringLiteral("DejaVu Sans") << int(QFont::Normal);
    }
    void theOriginalFaceNamesMapToShippedFaces()
    {
        QFETCH(QString, face);
        QFETCH(QString, family);
        QFETCH(int, weight);
        const QFont f = ReportFonts::layoutFont(RpFont{face, 10});
        const QFontInfo info(f);
        QCOMPARE(info.family(), family);
        QCOMPARE(info.weight(), weight);
        if (face == QLatin1StringView("Small Fonts"))
            QVERIFY2(info.styleName().contains(QStringLiteral("Condensed")),
                     qPrintable(info.styleName()));
    }
};

QTEST_MAIN(TstRpProducer)
#include "tst_rpproducer.moc"
