// The preview control: zoom rules, page limits, binding and letting go of a store.

#include "PageText.h"
#include "ReportFonts.h"
#include "TRpPreview.h"
#include "TRpPrinter.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
// A page with one text and a black bar under it.
RpPage samplePage(TRpPrinter& store, const QString& text)
{
    RpPage page = PageText::textPage(store, text, RpFont{QStringLiteral("Arial"), 24, true});
    RpOp bar;
    bar.kind = RpOp::Fill;
    bar.x = 20000;
    bar.y = 40000;
    bar.w = 100000;
    bar.h = 5000;
    bar.fill = QColor(Qt::black).rgba();
    page.ops << bar;
    return page;
}

void fill(TRpPrinter& store, int pages, bool finish = true)
{
    store.begin(QSize(210000, 297000), false);
    for (int i = 1; i <= pages; ++i)
        store.addPage(samplePage(store, QStringLiteral("PÁGINA %1").arg(i)));
    if (finish)
        store.finish();
}
} // namespace

class TstRpPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void zoomTakesOnly2To2000_data()
    {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("zoom");
        QTest::newRow("1") << 1 << 100;
        QTest::newRow("2") << 2 << 2;
        QTest::newRow("2000") << 2000 << 2000;
        QTest::newRow("2001") << 2001 << 100;
        QTest::newRow("negative") << -50 << 100;
    }
    void zoomTakesOnly2To2000()
    {
        QFETCH(int, asked);
        QFETCH(int, zoom);
        TRpPreview preview;
        preview.setZoom(asked);
        QCOMPARE(preview.zoom(), zoom);
    }

    void zoomToWidthAndToFitFollowTheControlsSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("fit");
        // A4 at 100 %: 793.7 x 1122.5 pixels
        QTest::newRow("800 x 600") << QSize(800, 600) << 91 << 51;
        QTest::newRow("wide") << QSize(3000, 700) << 340 << 59;
        QTest::newRow("tiny") << QSize(10, 10) << 100 << 100; // 1 % is out of range
    }
    void zoomToWidthAndToFitFollowTheControlsSize()
    {
        QFETCH(QSize, size);
        QFETCH(int, width);
        QFETCH(int, fit);
        TRpPreview preview;
        preview.resize(size);
        preview.zoomToWidth();
        QCOMPARE(preview.zoom(), width);
        preview.setZoom(100);
        preview.zoomToFit();
        QCOMPARE(preview.zoom(), fit);
    }

    void pageNumbersOutsideTheStoreAreIgnored()
    {
        TRpPreview preview;
        preview.setPage(2); // no store
        QCOMPARE(preview.page(), 1);
        TRpPrinter store;
        fill(store, 3);
        preview.setPageStore(&store);
        for (int bad : {0, -1, 4}) {
            preview.setPage(bad);
            QCOMPARE(preview.page(), 1);
        }
        preview.setPage(3);
        QCOMPARE(preview.page(), 3);
        preview.setPicturePage(2);
        QCOMPARE(preview.page(), 2);
        // binding again goes to page 1
        preview.setPageStore(&store);
        QCOMPARE(preview.page(), 1);
    }

    void bindingShowsTheStoreAndLettingGoCancelsItsProduction()
    {
        TRpPrinter store;
        fill(store, 1, false);
        QSignalSpy released(&store, &TRpPrinter::released);
        {
            TRpPreview preview;
            preview.setPageStore(&store);
            QVERIFY(store.isShown());
            QVERIFY(!store.cancelRequested());
            TRpPrinter other;
            preview.setPageStore(&other); // another store lets the first go
            QVERIFY(!store.isShown());
            QCOMPARE(released.size(), 1);
            QVERIFY(store.cancelRequested());
            QVERIFY(other.isShown());
        }
        // a finished store is not cancelled by letting go
        TRpPrinter finished;
        fill(finished, 1);
        auto* preview = new TRpPreview;
        preview->setPageStore(&finished);
        delete preview;
        QVERIFY(!finished.isShown());
        QVERIFY(!finished.cancelRequested());
    }

    void pagesAreAnnouncedAsTheyArrive()
    {
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        TRpPreview preview;
        QSignalSpy available(&preview, &TRpPreview::pageAvailable);
        preview.setPageStore(&store);
        for (int i = 1; i <= 3; ++i)
            store.addPage(samplePage(store, QString::number(i)));
        QCOMPARE(available.size(), 3);
        QCOMPARE(available.at(2).at(0).toInt(), 3);
    }

    void theShownPageIsDrawnAtTheZoom()
    {
        TRpPrinter store;
        fill(store, 2);
        TRpPreview preview;
        preview.setPageStore(&store);
        preview.setZoom(50);
        QImage img = preview.renderedPage();
        QCOMPARE(img.width(), 397); // 793.7 / 2
        // the bar from 20 to 120 mm across, 40 to 45 mm down: 4 mm x 0.5 = 1.89 px/mm
        const double pxPerMm = 96.0 / 25.4 * 0.5;
        QCOMPARE(QColor(img.pixel(int(70 * pxPerMm), int(42.5 * pxPerMm))), QColor(Qt::black));
        QCOMPARE(QColor(img.pixel(int(70 * pxPerMm), int(50 * pxPerMm))), QColor(Qt::white));
        // some ink where the text stands, between 20 and 60 mm across, 22 and 30 mm down
        int dark = 0;
        for (int y = int(22 * pxPerMm); y < int(30 * pxPerMm); ++y)
            for (int x = int(20 * pxPerMm); x < int(60 * pxPerMm); ++x)
                dark += qGray(img.pixel(x, y)) < 128;
        QVERIFY(dark > 20);
        preview.setZoom(100);
        QCOMPARE(preview.renderedPage().width(), 794);
    }
};

QTEST_MAIN(TstRpPreview)
#include "tst_rppreview.moc"
