// The window side of the platform layer: the toolkit speaking Portuguese, the program's
// icon, the picture dialog's preview and the advice shown with a file that cannot be
// written.

#include "FileAdvice.h"
#include "PictureDialog.h"
#include "ProgramIcon.h"
#include "QtDialogs.h"
#include "TestSupport.h"
#include "Translations.h"
#include "WidgetTesting.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

namespace {
// A picture of one colour saved as `name` in `dir`; its path, empty when it was not saved.
QString plainPicture(const QTemporaryDir& dir, const QString& name, QSize size,
                     Qt::GlobalColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = dir.filePath(name);
    return image.save(path) ? path : QString();
}
} // namespace

class TstPlatformUi : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(Translations::install()); }

    // The standard dialogs and buttons showed "Open", "Look in", "Cancel", "Print all" and
    // "Copies" in English, and a name typed wrong in the file dialog answered "File not
    // found. Please verify the correct file name was given."
    void theToolkitsOwnTextsArePortuguese_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("english");
        QTest::newRow("Cancel") << "QPlatformTheme"
                                << "Cancel";
        QTest::newRow("Open") << "QPlatformTheme"
                              << "Open";
        QTest::newRow("Look in") << "QFileDialog"
                                 << "Look in:";
        QTest::newRow("Print all") << "QPrintSettingsOutput"
                                   << "Print all";
        QTest::newRow("Copies") << "QPrintSettingsOutput"
                                << "Copies";
        QTest::newRow("file not found")
            << "QFileDialog"
            << "%1\nFile not found.\nPlease verify the correct file name was given.";
    }
    void theToolkitsOwnTextsArePortuguese()
    {
        QFETCH(QString, context);
        QFETCH(QString, english);
        const QString shown = QCoreApplication::translate(context.toLatin1().constData(),
                                                          english.toLatin1().constData());
        QVERIFY2(shown != english, qPrintable(context + QStringLiteral(": ") + english));
    }

    // The printer dialog of a report of 40,000 pages: its spin boxes stopped at 9999 and
    // its "Páginas" list field refused every entry. The range spans the report and the
    // list field, which printing never honoured, is not offered.
    void thePrintDialogSpansTheReport()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        QPrintDialog dialog(&printer);
        QtDialogs::preparePrintDialog(dialog, 40000);
        QVERIFY(WidgetTesting::shown(dialog));
        QCOMPARE(dialog.minPage(), 1);
        QCOMPARE(dialog.maxPage(), 40000);
        auto* from = dialog.findChild<QSpinBox*>(QStringLiteral("from"));
        auto* to = dialog.findChild<QSpinBox*>(QStringLiteral("to"));
        auto* range = dialog.findChild<QRadioButton*>(QStringLiteral("printRange"));
        QVERIFY(from && to && range);
        QCOMPARE(from->maximum(), 40000);
        QCOMPARE(to->maximum(), 40000);
        for (const char* name : {"pagesRadioButton", "pagesLineEdit"}) {
            auto* field = dialog.findChild<QWidget*>(QLatin1StringView(name));
            QVERIFY2(!field || !field->isVisible(), name);
        }
        range->setChecked(true);
        from->setValue(39999);
        to->setValue(40000);
        // KVCOB_SCREENSHOTS=folder: the dialog with its options open, to look at.
        if (const QString shot = qEnvironmentVariable("KVCOB_SCREENSHOTS"); !shot.isEmpty()) {
            for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
                if (b->text().remove(QLatin1Char('&')).startsWith(QStringLiteral("Op")))
                    b->click();
            }
            QTest::qWait(50);
            dialog.grab().save(shot + QStringLiteral("/dialogo-impressao.png"));
        }
        dialog.accept();
        QCOMPARE(printer.printRange(), QPrinter::PageRange);
        QCOMPARE(printer.fromPage(), 39999);
        QCOMPARE(printer.toPage(), 40000);
    }

    void aDialogsButtonsSpeakPortuguese()
    {
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
    }

    void theProgramIconIsTheMonogramOnASquare()
    {
        const QIcon icon = ProgramIcon::icon();
        QVERIFY(!icon.isNull());
        const QImage image = icon.pixmap(QSize(64, 64)).toImage();
        QCOMPARE(image.size(), QSize(64, 64));
        // Wider than high: clear bands above and below, the monogram's colours between.
        QCOMPARE(qAlpha(image.pixel(32, 0)), 0);
        QVERIFY(qAlpha(image.pixel(32, 32)) > 0);
    }

    void thePictureDialogPreviewsTheChosenPicture()
    {
        QTemporaryDir dir;
        const QString big = plainPicture(dir, QStringLiteral("logo.bmp"), QSize(300, 100), Qt::red);
        QVERIFY(!big.isEmpty());
        const QString tiny =
            plainPicture(dir, QStringLiteral("pequeno.bmp"), QSize(40, 20), Qt::blue);
        QVERIFY(!tiny.isEmpty());
        const QString text = dir.filePath(QStringLiteral("nota.bmp"));
        QVERIFY(TestSupport::writeFile(text, "não é figura"));

        PictureDialog dialog(nullptr, dir.path(), QStringLiteral("Bitmaps (*.bmp)"));
        QVERIFY(WidgetTesting::shown(dialog));
        QVERIFY(dialog.preview()->isVisible());
        QVERIFY(dialog.preview()->pixmap().isNull());

        Q_EMIT dialog.currentChanged(big);
        const QPixmap shown = dialog.preview()->pixmap();
        QVERIFY(!shown.isNull());
        QVERIFY(shown.width() <= dialog.preview()->contentsRect().width());
        QCOMPARE(shown.toImage().pixelColor(shown.width() / 2, shown.height() / 2),
                 QColor(Qt::red));
        QVERIFY(dialog.preview()->toolTip().contains(QStringLiteral("300 × 100")));

        Q_EMIT dialog.currentChanged(tiny); // small logos keep their own size
        QCOMPARE(dialog.preview()->pixmap().size(), QSize(40, 20));

        Q_EMIT dialog.currentChanged(text);
        QVERIFY(dialog.preview()->pixmap().isNull());
        QVERIFY(!dialog.preview()->text().isEmpty());
    }

    // The filters offer bitmaps and icons; a name of another kind typed by the user is
    // taken all the same (the program then reads it or says it cannot).
    void thePictureDialogTakesATypedNameOfAnotherKind()
    {
        QTemporaryDir dir;
        const QString jpeg =
            plainPicture(dir, QStringLiteral("foto.jpg"), QSize(30, 10), Qt::green);
        QVERIFY(!jpeg.isEmpty());
        PictureDialog dialog(nullptr, dir.path(),
                             QStringLiteral("Imagens (*.bmp *.BMP *.ico *.ICO)"));
        QVERIFY(WidgetTesting::shown(dialog));
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("foto.jpg"));
        auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        QVERIFY(buttons);
        QTRY_VERIFY(buttons->button(QDialogButtonBox::Open)->isEnabled());
        QTest::keyClick(name, Qt::Key_Return);
        QTRY_VERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.selectedFiles(), QStringList{jpeg});
    }

    void adviceForAFileThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("folder missing") << QStringLiteral("sem-pasta/KVCob002.ini")
                                        << QStringLiteral("a pasta %1/sem-pasta não existe");
        QTest::newRow("a folder of that name")
            << QStringLiteral("pasta") << QStringLiteral("há uma pasta com esse nome");
        QTest::newRow("anything else")
            << QStringLiteral("KVCob002.ini") << QStringLiteral("espaço livre no disco");
    }
    void adviceForAFileThatCannotBeWritten()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("pasta")));
        const QString advice = FileAdvice::cannotWrite(dir.filePath(name));
        if (expected.contains(QStringLiteral("%1")))
            expected = expected.arg(dir.path());
        QVERIFY2(advice.contains(expected), qPrintable(advice));
        QVERIFY(advice.startsWith(QStringLiteral("Não foi possível gravar")));
    }
};

QTEST_MAIN(TstPlatformUi)
#include "tst_platformui.moc"
