#include "Database.h"
#include "ScriptedDialogs.h"
#include "ShellPictures.h"
#include "TestSupport.h"
#include "Wall.h"
#include "WidgetTesting.h"
#include "uPrincipal.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

namespace {
// Every pixel differs from its neighbours, so a shifted or stretched tile shows.
QImage pattern(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 37) & 0xff, (y * 53) & 0xff, ((x + y) * 11) & 0xff));
    }
    return image;
}

QImage shot(QWidget* w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct Frame {
    QMainWindow window;
    QMdiArea* mdi = new QMdiArea;
    Frame(QSize size)
    {
        window.setCentralWidget(mdi);
        window.resize(size);
    }
};
} // namespace

class TstWall : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tilesStartAtTheTopLeftCorner_data()
    {
        QTest::addColumn<QSize>("tile");
        QTest::addColumn<QSize>("area");
        QTest::newRow("area smaller than one tile") << QSize(600, 400) << QSize(300, 200);
        QTest::newRow("exactly two tiles wide") << QSize(40, 30) << QSize(80, 70);
        QTest::newRow("many tiles, cut at the edges") << QSize(23, 17) << QSize(130, 90);
    }
    void tilesStartAtTheTopLeftCorner()
    {
        QFETCH(QSize, tile);
        QFETCH(QSize, area);
        Frame f(area);
        TWallPaper wall(&f.window);
        QCOMPARE(wall.clientWindow(), f.mdi);
        const QImage bitmap = pattern(tile.width(), tile.height());
        wall.setBitmap(bitmap);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        const QImage image = shot(f.mdi->viewport());
        QVERIFY(image.width() > 20 && image.height() > 20);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != bitmap.pixel(x % tile.width(), y % tile.height()))
                    QFAIL(qPrintable(QStringLiteral("wrong pixel at %1,%2").arg(x).arg(y)));
            }
        }
    }

    void disabledOrEmptyShowsTheNormalBackground()
    {
        Frame f(QSize(200, 150));
        const QRgb normal = f.mdi->background().color().rgb();
        TWallPaper wall(&f.window);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QCOMPARE(shot(f.mdi->viewport()).pixel(5, 5), normal); // no bitmap yet
        const QImage bitmap = pattern(30, 30);
        wall.setBitmap(bitmap);
        QCOMPARE(shot(f.mdi->viewport()).pixel(5, 5), bitmap.pixel(5, 5));
        wall.setEnabled(false);
        QCOMPARE(shot(f.mdi->viewport()).pixel(5, 5), normal);
        wall.setEnabled(true);
        wall.setBitmap(QImage());
        QCOMPARE(shot(f.mdi->viewport()).pixel(5, 5), normal);
        {
            Frame g(QSize(50, 50));
            const QBrush before = g.mdi->background();
            {
                TWallPaper gone(&g.window); // a wallpaper that goes gives the area back
                gone.setBitmap(pattern(8, 8));
            }
            QCOMPARE(g.mdi->background(), before);
        }
    }

    void repaintsOnlyOnChange()
    {
        Frame f(QSize(200, 150));
        TWallPaper wall(&f.window);
        wall.setBitmap(pattern(30, 30));
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        WidgetTesting::PaintCounter paints;
        f.mdi->viewport()->installEventFilter(&paints);
        QSignalSpy requests(&wall, &TWallPaper::repaintRequested);
        QTest::qWait(50);
        paints.count = 0;

        QVERIFY(wall.Enabled());
        wall.setEnabled(true); // its current value: nothing happens
        QTest::qWait(50);
        QCOMPARE(requests.size(), 0);
        QCOMPARE(paints.count, 0);

        wall.setEnabled(false);
        QCOMPARE(requests.size(), 1);
        QTRY_VERIFY(paints.count > 0);
        paints.count = 0;
        wall.setEnabled(false);
        QTest::qWait(50);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(paints.count, 0);

        wall.setBitmap(pattern(31, 31)); // every bitmap change repaints, even disabled
        QCOMPARE(requests.size(), 2);
        QTRY_VERIFY(paints.count > 0);
        QCOMPARE(wall.Bitmap(), pattern(31, 31));
    }

    void anOwnerWithoutMdiAreaIsItsOwnClient()
    {
        QWidget owner;
        owner.resize(90, 70);
        TWallPaper wall(&owner);
        QCOMPARE(wall.clientWindow(), &owner);
        const QImage bitmap = pattern(40, 25);
        wall.setBitmap(bitmap);
        QVERIFY(WidgetTesting::shown(owner));
        const QImage image = shot(&owner);
        for (const QPoint p : {QPoint(0, 0), QPoint(39, 24), QPoint(45, 30), QPoint(85, 65)})
            QCOMPARE(image.pixel(p), bitmap.pixel(p.x() % 40, p.y() % 25));
    }

    void theMainWindowShowsTheBanksWallpaper()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QImage bitmap = ShellPictures::wallpaper();
        QCOMPARE(bitmap.size(), QSize(600, 400));
        QCOMPARE(bitmap.format(), QImage::Format_Indexed8);
        QVERIFY(bitmap.colorCount() <= 256);
        {
            TFrmPrincipal w;
            QVERIFY(w.WallPaper1);
            QVERIFY(w.WallPaper1->Enabled());
            QCOMPARE(w.WallPaper1->clientWindow(), w.mdiArea());
            w.resize(400, 300); // a client area smaller than one tile
            QVERIFY(WidgetTesting::shown(w));
            const QImage image = shot(w.mdiArea()->viewport());
            const QImage expected = bitmap.convertToFormat(QImage::Format_RGB32);
            QCOMPARE(image, expected.copy(image.rect()));
        }
        Database::closeAll();
    }
};

QTEST_MAIN(TstWall)
#include "tst_wall.moc"
