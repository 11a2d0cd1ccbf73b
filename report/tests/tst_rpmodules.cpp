// Squares of modules in the page: packed bits, the marks that draw them, and their way
// through the page store and the saved report untouched.

#include "KvError.h"
#include "RpModules.h"
#include "RpPageFile.h"
#include "TRpPrinter.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
// A grid as a QR code's data looks: about half dark, at random, with a solid 7×7 square
// ringed in light in a corner, as a finder pattern is.
std::vector<unsigned char> grid(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    std::vector<unsigned char> dark(size_t(size) * size);
    for (auto& d : dark)
        d = random.bounded(2);
    for (int y = 0; y < std::min(size, 8); ++y) {
        for (int x = 0; x < std::min(size, 8); ++x)
            dark[size_t(y) * size + x] = x < 7 && y < 7;
    }
    return dark;
}

RpPage pageWith(int size, const std::vector<unsigned char>& dark, int x)
{
    RpPage page;
    RpOp text;
    text.kind = RpOp::Text;
    text.x = 20000;
    text.y = 20000;
    text.p2 = 5;
    page.text = QStringLiteral("Total");
    page.ops << text;
    RpOp op;
    op.kind = RpOp::Modules;
    op.x = x;
    op.y = 200000;
    op.w = op.h = 21000;
    op.fill = qRgb(0, 0, 0);
    op.arg = size;
    const QString bits = RpModules::pack(size, dark.data());
    op.p1 = int(page.text.size());
    op.p2 = int(bits.size());
    page.text += bits;
    page.ops << op << text;
    return page;
}
} // namespace

class TstRpModules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void marksCoverEachDarkModuleOnce_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("version 1") << 21;
        QTest::newRow("odd bits past the last character") << 53;
        QTest::newRow("version 40") << 177;
    }
    void marksCoverEachDarkModuleOnce()
    {
        QFETCH(int, size);
        const std::vector<unsigned char> dark = grid(size, quint32(size));
        const QString bits = RpModules::pack(size, dark.data());
        QCOMPARE(bits.size(), RpModules::packedLength(size));
        QVERIFY(RpModules::valid(bits, size));
        std::vector<int> covered(dark.size(), 0);
        int darkCount = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                QCOMPARE(RpModules::dark(bits, size, x, y), dark[size_t(y) * size + x] != 0);
                darkCount += dark[size_t(y) * size + x];
            }
        }
        const std::vector<RpModules::Rect> marks = RpModules::rects(bits, size);
        for (const RpModules::Rect& r : marks) {
            QVERIFY(r.x0 >= 0 && r.y0 >= 0 && r.x1 <= size && r.y1 <= size);
            QVERIFY(r.x0 < r.x1 && r.y0 < r.y1);
            for (int y = r.y0; y < r.y1; ++y) {
                for (int x = r.x0; x < r.x1; ++x)
                    ++covered[size_t(y) * size + x];
            }
        }
        for (size_t k = 0; k < dark.size(); ++k)
            QCOMPARE(covered[k], int(dark[k]));
        QVERIFY(int(marks.size()) < darkCount / 2 + 50);
        // the square's sides are single marks running down all its rows
        QVERIFY(std::find(marks.begin(), marks.end(), RpModules::Rect{0, 0, 7, 7}) != marks.end());
    }

    void wrongBitsDrawNothing()
    {
        const std::vector<unsigned char> light(21 * 21, 0);
        QVERIFY(RpModules::rects(RpModules::pack(21, light.data()), 21).empty());
        const QString bits = RpModules::pack(21, grid(21, 1).data());
        QVERIFY(!RpModules::valid(bits, 22));
        QVERIFY(!RpModules::valid(bits.chopped(1), 21));
        QVERIFY(!RpModules::valid(QString(), 0));
        QVERIFY(RpModules::rects(bits, 20).empty());
        QVERIFY(RpModules::pack(RpModules::kMaxSize + 1, light.data()).isEmpty());
    }

    // Pages alike but for their symbols come back from the compact store and from a saved
    // report with each its own bits.
    void symbolsComeBackFromTheStoreAndTheFile()
    {
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        QCOMPARE(store.fontIndex(RpFont()), 0); // the texts' font
        QList<RpPage> pages;
        for (int i = 0; i < 6; ++i) {
            pages << pageWith(25, grid(25, quint32(100 + i)), 150000 + (i % 2) * 1000);
            store.addPage(RpPage(pages.last()));
        }
        store.finish();
        for (int i = 0; i < pages.size(); ++i)
            QVERIFY(store.page(i) == pages.at(i));
        TRpPrinter loaded;
        RpPageFile::read(RpPageFile::write(store), loaded);
        QCOMPARE(loaded.pageCount(), pages.size());
        for (int i = 0; i < pages.size(); ++i)
            QVERIFY(loaded.page(i) == pages.at(i));
    }
};

QTEST_GUILESS_MAIN(TstRpModules)
#include "tst_rpmodules.moc"
