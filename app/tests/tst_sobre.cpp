#include "Database.h"
#include "ProgramDir.h"
#include "ScriptedDialogs.h"
#include "ShellPictures.h"
#include "TestSupport.h"
#include "WidgetTesting.h"
#include "uPrincipal.h"
#include "uSobre.h"

#include <QAction>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

class TstSobre : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void thePictureIsAJpegInTheProgram()
    {
        const QImage picture = ShellPictures::aboutPicture();
        QCOMPARE(picture.size(), QSize(495, 263));
        QVERIFY(QImageReader::supportedImageFormats().contains("jpeg"));
        QImageReader reader(QStringLiteral(":/shell/sobre-ravessa.jpg"));
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QFile f(QStringLiteral(":/shell/sobre-ravessa.jpg"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(3).startsWith("\xFF\xD8\xFF"));
    }

    void showsThePictureFromTheTopLeftCorner()
    {
        TfrmSobre box;
        QCOMPARE(box.windowTitle(), QStringLiteral("Cobrança Ravessa"));
        QCOMPARE(box.size(), QSize(516, 358));
        QCOMPARE(box.btnOk->text(), QStringLiteral("Ok"));
        QVERIFY(box.btnOk->isDefault());
        QCOMPARE(box.Image1->size(), QSize(500, 275));
        QCOMPARE(box.pnlSobre1->height(), 41);
        QVERIFY(WidgetTesting::shown(box));
        const QImage shot = box.Image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage picture = ShellPictures::aboutPicture().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.copy(0, 0, 495, 263), picture);        // neither stretched nor centred
        QCOMPARE(shot.pixel(497, 270), qRgb(255, 255, 255)); // the white panel beyond it
    }

    void namesTheProgramFolderUnderThePicture()
    {
        QTemporaryDir dir;
        const QString deep =
            dir.filePath(QStringLiteral("uma/pasta/com/um/nome/muito/longo/") +
                         QString(120, QLatin1Char('x')) + QStringLiteral("/kvcob"));
        QVERIFY(QDir().mkpath(deep));
        ProgramDir::Inputs in;
        in.environment = deep;
        ProgramDir::init(in);
        TfrmSobre box;
        QVERIFY(WidgetTesting::shown(box));
        const QString full =
            QStringLiteral("Pasta do programa: %1 (indicada pela variável KVCOB_DIR)").arg(deep);
        QCOMPARE(box.lblPasta->toolTip(), full);
        // Too long for the box: cut in the middle, both ends kept, inside the white panel.
        QVERIFY(box.lblPasta->text().startsWith(QStringLiteral("Pasta do programa: ")));
        QVERIFY(box.lblPasta->text().endsWith(QStringLiteral("KVCOB_DIR)")));
        QVERIFY(box.lblPasta->text().contains(QChar(0x2026)));
        QVERIFY(box.pnlSobre->rect().contains(box.lblPasta->geometry()));
        QVERIFY(!box.lblPasta->geometry().intersects(box.Image1->geometry()));
        ProgramDir::set(QString());
    }

    void enterClosesEscDoesNot()
    {
        TfrmSobre box;
        QVERIFY(WidgetTesting::shown(box));
        QTest::keyClick(&box, Qt::Key_Escape);
        QVERIFY(box.isVisible());
        QTest::keyClick(&box, Qt::Key_Return);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
        QVERIFY(WidgetTesting::shown(box));
        box.close(); // the close box ends it too
        QVERIFY(!box.isVisible());
    }

    void sobreOpensAFreshModalBoxEachTime()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        TFrmPrincipal w;
        QVERIFY(WidgetTesting::shown(w));
        QVERIFY(w.Sobre1->isEnabled());
        QList<QPointer<TfrmSobre>> seen;
        for (int round = 0; round < 2; ++round) {
            QTimer::singleShot(0, this, [&seen] {
                auto* box = qobject_cast<TfrmSobre*>(QApplication::activeModalWidget());
                QVERIFY(box);
                for (const auto& earlier : seen)
                    QVERIFY(earlier.isNull()); // the last one was released
                seen << box;
                QTest::keyClick(box, Qt::Key_Escape);
                QVERIFY(box->isVisible());
                QTest::keyClick(box, Qt::Key_Enter);
            });
            w.Sobre1->trigger(); // returns once the modal box has closed
            QCOMPARE(seen.size(), round + 1);
            QVERIFY(seen.last().isNull());
        }
        Database::closeAll();
    }
};

QTEST_MAIN(TstSobre)
#include "tst_sobre.moc"
