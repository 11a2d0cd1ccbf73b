// The rejected-titles report: its order, columns, wrapped messages and pages, the main
// window's command and the batch tool's verb.

#include "BlqTitles.h"
#include "Clock.h"
#include "Database.h"
#include "EngineProgramDir.h"
#include "RelRejeicoes.h"
#include "ReportFonts.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestSupport.h"
#include "uPrincipal.h"
#include "uQvPreview.h"
#include "uRelRejeicoes.h"

#include <QtTest>

namespace {
struct Placed {
    QString text;
    int x, y;
};

QList<Placed> texts(const TRpPrinter& store, int page)
{
    QList<Placed> out;
    const RpPage& p = store.page(page);
    for (const RpOp& op : p.ops) {
        if (op.kind == RpOp::Text)
            out.append({p.textOf(op).toString(), op.x, op.y});
    }
    return out;
}

// The texts of the detail bands: everything below the column header (10 mm margin,
// 15.61 mm page header, 6.35 mm column header).
QList<Placed> details(const TRpPrinter& store, int page)
{
    QList<Placed> out;
    for (const Placed& t : texts(store, page)) {
        if (t.y > 10000 + 15610 + 6350)
            out << t;
    }
    return out;
}

// 50 of the widest letters: about 115 mm of Arial 8, more than the 88.64 mm frame.
const QString kLongMessage = QStringLiteral("MMMMMMMMMM MMMMMMMMMM MMMMMMMMMM MMMMMMMMMM MMMMMM");
} // namespace

class TstRelRejeicoes : public QObject {
    Q_OBJECT
    TestEnvironment m_env{TestEnvironment::SystemFormats,
                          QDateTime(QDate(2026, 5, 4), QTime(15, 16, 17))};
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { m_env.cleanup(); }

    void rowsComeInTheirOrderWithTheColumnsInTheirs()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        QCOMPARE(kLongMessage.size(), 50);
        BlqTitles::store({
            BlqTitles::keyed(QStringLiteral("0200"), QStringLiteral("000000001"),
                             QStringLiteral("00000000005"), QStringLiteral("B"),
                             QStringLiteral("Erro 1")),
            BlqTitles::keyed(QStringLiteral("0100"), QStringLiteral("000000002"),
                             QStringLiteral("00000000004"), QStringLiteral("A"),
                             QStringLiteral("Erro 2")),
            BlqTitles::keyed(QStringLiteral("0200"), QStringLiteral("000000001"),
                             QStringLiteral("00000000003"), QStringLiteral("A"), kLongMessage),
            BlqTitles::keyed(QStringLiteral("0150"), QStringLiteral("000000009"),
                             QStringLiteral("00000000002"), QStringLiteral("Z"),
                             QStringLiteral("válido"), true),
            BlqTitles::keyed(QStringLiteral("0100"), QStringLiteral("000000001"),
                             QStringLiteral("00000000001"), QStringLiteral("C"),
                             QStringLiteral("Erro 4")),
        });
        RelRejeicoes rel;
        rel.open();
        TRpPrinter store;
        rel.produce(store);
        QCOMPARE(store.title(), QString());
        QCOMPARE(store.pageCount(), 1);
        const QList<Placed> d = details(store, 0);
        QStringList rows;
        QList<int> columnsX;
        for (const Placed& t : d) {
            if (t.x < 10000 + 24080) { // agency column starts a row
                rows << t.text;
            } else {
                rows.last() += QLatin1Char('|') + t.text;
            }
            if (rows.size() == 1)
                columnsX << t.x;
        }
        QCOMPARE(rows, (QStringList{
                           QStringLiteral("0100|000000001|00000000001|C|Erro 4"),
                           QStringLiteral("0100|000000002|00000000004|A|Erro 2"),
                           QStringLiteral("0200|000000001|00000000003|A|MMMMMMMMMM MMMMMMMMMM "
                                          "MMMMMMMMMM|MMMMMMMMMM MMMMMM"),
                           QStringLiteral("0200|000000001|00000000005|B|Erro 1"),
                       }));
        // agency, contract, bank number, beneficiary's number, message
        QCOMPARE(columnsX, (QList<int>{10000 + 2650, 10000 + 24080, 10000 + 43660, 10000 + 74080,
                                       10000 + 100540}));
        // the message wraps inside its frame and the band keeps its height
        QList<int> agencyY;
        QList<int> messageY;
        for (const Placed& t : d) {
            if (t.x == 10000 + 2650)
                agencyY << t.y;
            if (t.x == 10000 + 100540)
                messageY << t.y;
        }
        for (int i = 1; i < agencyY.size(); ++i)
            QCOMPARE(agencyY.at(i) - agencyY.at(i - 1), 8730);
        QCOMPARE(messageY.size(), 5);
        QVERIFY(messageY.at(3) - messageY.at(2) < 4000); // the second line of the long one
        QVERIFY(messageY.at(3) < agencyY.at(2) + 7410);
    }

    void everyPageHasItsHeaders()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitles::store(BlqTitles::rejected(70)); // 29 rows a page
        RelRejeicoes rel;
        rel.open();
        TRpPrinter store;
        rel.produce(store);
        QCOMPARE(store.pageCount(), 3);
        QCOMPARE(store.pictures().size(), 1);
        QCOMPARE(store.pictures().first().size(), QSize(150, 62));
        for (int p = 0; p < 3; ++p) {
            QStringList all;
            for (const Placed& t : texts(store, p))
                all << t.text;
            for (const char* fixed :
                 {"RELAÇÃO DE TÍTULOS REJEITADOS", "ZIZORAD IR IZARADU DE COBRANÇA",
                  "Data:", "Hora:", "Página:", "Agência", "Contrato", "Nosso Número", "Seu Número",
                  "Mensagens de Erro"})
                QCOMPARE(all.count(QString::fromUtf8(fixed)), 1);
            QVERIFY(all.contains(QStringLiteral("04/05/2026")));
            QVERIFY(all.contains(QStringLiteral("15:16:17")));
            QVERIFY(all.contains(QString::number(p + 1)));
            QCOMPARE(details(store, p).size() / 5, p < 2 ? 29 : 12);
        }
        // the date, time and page number end at the band's right edge (200 mm)
        for (const Placed& t : texts(store, 0)) {
            if (t.text == QStringLiteral("04/05/2026")) {
                QFontMetricsF fm(ReportFonts::layoutFont(RpFont{}));
                QVERIFY(qAbs(t.x + fm.horizontalAdvance(t.text) - 200000) < 2);
            }
        }
    }

    // The date overprinted its label ("Data04/05/2026"): each label of the page header ends
    // clear of its value, on the same line.
    void theHeaderLabelsStandClearOfTheirValues()
    {
        TempProgramDir dir;
        BlqTitles::store(BlqTitles::rejected(1));
        RelRejeicoes rel;
        rel.open();
        TRpPrinter store;
        rel.produce(store);
        QFontMetricsF fm(ReportFonts::layoutFont(RpFont{}));
        const QList<Placed> all = texts(store, 0);
        auto find = [&all](const QString& text) {
            for (const Placed& t : all) {
                if (t.text == text)
                    return t;
            }
            return Placed{QString(), -1, -1};
        };
        const QList<std::pair<QString, QString>> pairs = {
            {QStringLiteral("Data:"), QStringLiteral("04/05/2026")},
            {QStringLiteral("Hora:"), QStringLiteral("15:16:17")},
            {QStringLiteral("Página:"), QStringLiteral("1")}};
        for (const auto& [label, value] : pairs) {
            const Placed l = find(label);
            const Placed v = find(value);
            QVERIFY2(l.x >= 0 && v.x >= 0, qPrintable(label));
            QCOMPARE(l.y, v.y);
            // µm: the advance is in layout units of the report's µm
            const double labelEnd = l.x + fm.horizontalAdvance(label);
            QVERIFY2(labelEnd + 1000 <= v.x, qPrintable(label + QStringLiteral(" ") + value));
        }
    }

    void onlyValidRowsGiveNoBandAtAll()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitles::store(
            {BlqTitles::keyed(QStringLiteral("0100"), QStringLiteral("1"), QStringLiteral("1"),
                              QStringLiteral("1"), QString(), true)});
        RelRejeicoes rel;
        rel.open();
        TRpPrinter store;
        rel.produce(store);
        QVERIFY(store.isFinished());
        QCOMPARE(store.pageCount(), 0);
    }

    void theMenuCommandShowsThePreviewAndReturnsWhenItCloses()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitles::store(BlqTitles::rejected(35));
        ScriptedDialogs dlg;
        TFrmPrincipal main;
        QVERIFY(main.TtulosRejeitados1->isEnabled());
        QString caption;
        // the window appears and fills while the command waits in its preview call
        QTimer poll;
        connect(&poll, &QTimer::timeout, &main, [&] {
            if (frmQvPreview && frmQvPreview->pageStore() &&
                frmQvPreview->pageStore()->isFinished()) {
                caption = frmQvPreview->windowTitle();
                frmQvPreview->close();
            }
        });
        poll.start(10);
        main.TtulosRejeitados1Click();
        poll.stop();
        QCOMPARE(caption, QStringLiteral(" - 2 páginas"));
        QVERIFY(dlg.asked.isEmpty());
        QVERIFY(main.findChildren<TfrmRelRejeicoes*>().isEmpty());
    }

    void theBatchToolWritesThePdf()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("pdftotext is not installed");
        KV_GLOBAL_ENGINE_DIR(dir);
        const QString pdf = dir.file(QStringLiteral("rejeitados.pdf"));
        const QStringList verb{QStringLiteral("rejeitados"), pdf};
        QCOMPARE(TestSupport::kvcobLote(dir.path(), verb).exitCode, 1); // an empty table
        QVERIFY(!QFile::exists(pdf));

        BlqTitles::store(BlqTitles::rejected(40));
        Database::closeAll();
        const TestSupport::ToolRun written = TestSupport::kvcobLote(dir.path(), verb);
        QCOMPARE(written.exitCode, 0);
        QVERIFY2(written.out.contains(QStringLiteral("2 páginas")), qPrintable(written.out));
        int rc = -1;
        const QString text = QString::fromUtf8(
            TestSupport::run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-layout"), pdf, QStringLiteral("-")}, &rc));
        QCOMPARE(text.count(QStringLiteral("RELAÇÃO DE TÍTULOS REJEITADOS")), 2);
        QVERIFY(text.contains(QStringLiteral("Mensagens de Erro")));
        QVERIFY(text.contains(QStringLiteral("Data de vencimento inválida, CEP inválido")));
        // agencies in order: the first row shown is of agency 1000
        QVERIFY(text.indexOf(QStringLiteral("1000")) < text.indexOf(QStringLiteral("1006")));
    }
};

QTEST_MAIN(TstRelRejeicoes)
#include "tst_relrejeicoes.moc"
