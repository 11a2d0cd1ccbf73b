// Pages kept as their changes against a like page must come back as they were added,
// every field and text, whatever differs; and a run of form pages must cost little.

#include "RpCompactPages.h"

#include <QtTest>

namespace {
// A form page: fixed labels and lines, a row's texts and a barcode of bars that move.
RpPage formPage(int row, const QString& name = QString())
{
    RpPage page;
    const auto text = [&](qint32 x, qint32 y, const QString& s, qint32 font = 0) {
        RpOp op;
        op.kind = RpOp::Text;
        op.x = x;
        op.y = y;
        op.arg = font;
        op.color = 0xff000000;
        op.p1 = qint32(page.text.size());
        op.p2 = qint32(s.size());
        page.text += s;
        page.ops << op;
    };
    const auto fill = [&](qint32 x, qint32 y, qint32 w, qint32 h) {
        RpOp op;
        op.kind = RpOp::Fill;
        op.x = x;
        op.y = y;
        op.w = w;
        op.h = h;
        op.fill = 0xff000000;
        page.ops << op;
    };
    for (int i = 0; i < 40; ++i)
        text(10000, 10000 + i * 4000, QStringLiteral("Rótulo fixo %1").arg(i));
    for (int i = 0; i < 20; ++i) {
        RpOp line;
        line.kind = RpOp::Line;
        line.x = 10000;
        line.y = 12000 + i * 8000;
        line.w = 190000;
        line.arg = 2;
        page.ops << line;
    }
    text(120000, 20000, name.isEmpty() ? QStringLiteral("PAGADOR %1").arg(row) : name, 1);
    text(120000, 30000,
         QStringLiteral("R$ %1,%2").arg(row * 37).arg(row % 100, 2, 10, QLatin1Char('0')));
    for (int b = 0; b < 100; ++b)
        fill(20000 + b * 900 + (row * b) % 400, 250000, 300 + (row + b) % 3 * 300, 13000);
    return page;
}
} // namespace

class tst_RpCompactPages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pagesComeBackAsAdded_data();
    void pagesComeBackAsAdded();
    void aRunOfFormPagesCostsItsChangesOnly();
    void aReleasedPageDrawsEmptyAndStillCounts();
};

void tst_RpCompactPages::pagesComeBackAsAdded_data()
{
    QTest::addColumn<QList<RpPage>>("pages");
    QList<RpPage> run;
    for (int row = 1; row <= 30; ++row)
        run << formPage(row);
    QTest::newRow("rows of one form") << run;

    RpPage first = formPage(1);
    RpPage wide = formPage(2, QStringLiteral("ŁÓDŹ – “aspas” €"));
    QTest::newRow("texts beyond Latin-1") << QList<RpPage>{first, wide, formPage(3)};

    RpPage kinds = formPage(2);
    kinds.ops[45].kind = RpOp::Box; // a line becomes a box, a label a fill, a bar a text
    kinds.ops[45].fill = 0x80112233;
    kinds.ops[45].style = 2;
    kinds.ops[3].kind = RpOp::Fill;
    kinds.ops[3].p1 = kinds.ops[3].p2 = 0;
    RpPage withText = formPage(2);
    withText.ops[70].kind = RpOp::Text;
    withText.ops[70].p1 = qint32(withText.text.size());
    withText.ops[70].p2 = 3;
    withText.text += QStringLiteral("abc");
    // Text buffers laid out in op order again: the p1 of each text moves.
    const auto relaid = [](RpPage p) {
        QString text;
        for (RpOp& op : p.ops) {
            if (op.kind != RpOp::Text) {
                continue;
            }
            const QString t = p.text.mid(op.p1, op.p2);
            op.p1 = qint32(text.size());
            text += t;
        }
        p.text = text;
        return p;
    };
    QTest::newRow("kinds change") << QList<RpPage>{first, relaid(kinds), relaid(withText)};

    RpPage picture = formPage(4);
    picture.ops[50].kind = RpOp::Picture;
    picture.ops[50].p1 = -5000;
    picture.ops[50].p2 = 7000;
    picture.ops[50].w2 = 40000;
    picture.ops[50].h2 = 12000;
    picture.ops[50].arg = 3;
    QTest::newRow("picture fields") << QList<RpPage>{first, picture};

    RpPage shared = formPage(5); // two texts reading one part of the buffer
    shared.ops[1].p1 = shared.ops[0].p1;
    shared.ops[1].p2 = shared.ops[0].p2;
    QTest::newRow("texts that share the buffer") << QList<RpPage>{first, shared, formPage(6)};

    RpPage shorter = formPage(7);
    shorter.ops.removeLast();
    QTest::newRow("another number of operations") << QList<RpPage>{first, shorter, formPage(8)};
    QTest::newRow("empty pages") << QList<RpPage>{RpPage(), first, RpPage(), RpPage()};
    QTest::newRow("the same page again") << QList<RpPage>{first, first, first};
}

void tst_RpCompactPages::pagesComeBackAsAdded()
{
    QFETCH(QList<RpPage>, pages);
    RpCompactPages store;
    for (const RpPage& p : pages)
        store.append(p);
    QCOMPARE(store.size(), size_t(pages.size()));
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const RpPage back = store.at(size_t(i));
        QCOMPARE(back.ops.size(), pages.at(i).ops.size());
        for (qsizetype k = 0; k < back.ops.size(); ++k)
            QVERIFY2(back.ops.at(k) == pages.at(i).ops.at(k),
                     qPrintable(QStringLiteral("page %1, operation %2").arg(i).arg(k)));
        QCOMPARE(back.text, pages.at(i).text);
    }
    RpCompactPages assigned;
    assigned.assign(std::vector<RpPage>(pages.begin(), pages.end()));
    for (qsizetype i = 0; i < pages.size(); ++i)
        QVERIFY(assigned.at(size_t(i)) == pages.at(i));
}

void tst_RpCompactPages::aRunOfFormPagesCostsItsChangesOnly()
{
    RpCompactPages store;
    constexpr int pages = 1000;
    qsizetype whole = 0;
    for (int row = 1; row <= pages; ++row) {
        RpPage p = formPage(row);
        whole += p.bytes();
        store.append(std::move(p));
    }
    // The bars and the row's texts are what a page keeps of its own: a tenth of the
    // whole display list or less.
    QVERIFY2(
        store.bytes() * 10 < whole,
        qPrintable(QStringLiteral("%1 bytes kept for %2 whole").arg(store.bytes()).arg(whole)));
}

void tst_RpCompactPages::aReleasedPageDrawsEmptyAndStillCounts()
{
    RpCompactPages store;
    store.append(formPage(1));
    store.append(formPage(2));
    store.release(0);
    QCOMPARE(store.size(), size_t(2));
    QVERIFY(store.at(0) == RpPage());
    QVERIFY(store.at(1) == formPage(2));
    store.release(7); // past the end: nothing
    QCOMPARE(store.size(), size_t(2));
}

QTEST_MAIN(tst_RpCompactPages)
#include "tst_rpcompactpages.moc"
