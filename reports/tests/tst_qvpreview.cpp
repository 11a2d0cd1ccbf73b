// The preview window: captions, navigation and keys, zoom, save/load with their
// questions, print and PDF, and its life with a report still being produced.

#include "BlqTitles.h"
#include "CursorAtDialogs.h"
#include "Database.h"
#include "Dialogs.h"
#include "KvError.h"
#include "PageText.h"
#include "ProgramIcon.h"
#include "Regional.h"
#include "RelRejeicoes.h"
#include "RpPageFile.h"
#include "ScriptedDialogs.h"
#include "TRpPreview.h"
#include "TSpinEdit.h"
#include "TUpDown.h"
#include "TestEnvironment.h"
#include "TestSupport.h"
#include "uQvPreview.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <cmath>

namespace {
using PageText::textPage;

// A store of `pages` pages shown in a new preview window, as a report's preview event
// would leave it once production ended.
struct Shown {
    TRpPrinter store;
    QPointer<TfrmQvPreview> w;

    explicit Shown(int pages, const QString& title = QString())
    {
        store.setTitle(title);
        store.begin(QSize(210000, 297000), false);
        w = TfrmQvPreview::openFor(store);
        for (int i = 1; i <= pages; ++i)
            store.addPage(textPage(store, QStringLiteral("PÁGINA %1").arg(i)));
        store.finish();
    }
    ~Shown()
    {
        if (w)
            delete w.data();
    }
};

// Print, Save, Load and Exportar PDF as 1 (enabled) or 0.
QString enabledButtons(const TfrmQvPreview& w)
{
    QString out;
    for (const QToolButton* b : {w.Print, w.Save, w.Load, w.ExportPdf})
        out += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}

void typePage(TfrmQvPreview& w, const QString& text)
{
    w.edtPage->setText(text);
}

// The rejected titles' report, opened, with its printer writing impresso.pdf in `dir`
// instead of printing.
TRpReport& openIntoPdf(RelRejeicoes& rel, const TempProgramDir& dir)
{
    rel.open();
    TRpReport& report = *rel.rptRelRejeicoes;
    report.printer().setOutputFormat(QPrinter::PdfFormat);
    report.printer().setOutputFileName(dir.file(QStringLiteral("impresso.pdf")));
    return report;
}

// The answers to "Salvar": the file name chosen, then the answer to the question on it.
void saveAs(ScriptedDialogs& dlg, const QString& path, Dialogs::Answer answer)
{
    dlg.fileNames << path;
    dlg.answers << answer;
}
} // namespace

class TstQvPreview : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void theWindowIsBuiltAsDesigned()
    {
        Shown s(1);
        TfrmQvPreview& w = *s.w;
        QVERIFY(w.isWindow());
        QVERIFY(w.testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(w.windowState() & Qt::WindowMaximized);
        QCOMPARE(w.Panel1->height(), 31);
        // The design's left edges, or further right where this machine's font needs the
        // room: in order, none overlapping the one before.
        struct Designed {
            QWidget* control;
            int left;
        };
        const Designed lefts[] = {
            {w.Label1, 16},          {w.edtPage, 54},     {w.sePage, 74},      {w.sbFirstPage, 105},
            {w.sbPreviousPage, 130}, {w.sbNextPage, 155}, {w.sbLastPage, 180}, {w.Label3, 226},
            {w.seZoom, 258},         {w.ZoomToFit, 317},  {w.ZoomTo100, 342},  {w.ZoomToWidth, 367},
            {w.PrintSetup, 491},     {w.Print, 516},      {w.Load, 550},       {w.Save, 575},
            {w.ExportPdf, 600},      {w.BitBtnExit, 636}};
        int right = 0;
        for (const auto& [control, left] : lefts) {
            QVERIFY2(control->x() >= left, qPrintable(control->objectName()));
            QVERIFY2(control->x() >= right, qPrintable(control->objectName()));
            right = control->geometry().right() + 1;
            if (auto* button = qobject_cast<QToolButton*>(control)) {
                QCOMPARE(button->size(), QSize(25, 25));
                QCOMPARE(button->y(), 3);
                QVERIFY(!button->icon().isNull());
            }
        }
        QVERIFY(right <= 800); // the whole bar fits a small screen
        QCOMPARE(w.windowIcon().pixmap(32).toImage(), ProgramIcon::icon().pixmap(32).toImage());
        QCOMPARE(w.Save->toolTip(), QStringLiteral("Salvar relatório"));
        QCOMPARE(w.ExportPdf->toolTip(), QStringLiteral("Exportar PDF"));
        QCOMPARE(w.ZoomToWidth->toolTip(), QStringLiteral("Zoom para o tamanho da página"));
        QVERIFY(w.ZoomToWidth->isChecked());
        w.ZoomToFit->click();
        QVERIFY(w.ZoomToFit->isChecked() && !w.ZoomToWidth->isChecked());
        QCOMPARE(w.PopupMenu1->actions().size(), 5);
        QVERIFY(w.PopupMenu1->actions().at(3)->isSeparator());
        QCOMPARE(w.seZoom->minimum(), 10);
        QCOMPARE(w.seZoom->maximum(), 300);
    }

    void captions_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("caption");
        QTest::newRow("one page, no title") << QString() << 1 << QStringLiteral(" - 1 página");
        QTest::newRow("two pages, no title") << QString() << 2 << QStringLiteral(" - 2 páginas");
        QTest::newRow("titled") << QStringLiteral("Cobrança KV - Bloqueto") << 3
                                << QStringLiteral("Cobrança KV - Bloqueto - 3 páginas");
    }
    void captions()
    {
        QFETCH(QString, title);
        QFETCH(int, pages);
        QFETCH(QString, caption);
        TRpPrinter store;
        store.setTitle(title);
        store.begin(QSize(210000, 297000), false);
        TfrmQvPreview* w = TfrmQvPreview::openFor(store);
        QCOMPARE(w->windowTitle(), QStringLiteral("Gerando relatório, aguarde ..."));
        QCOMPARE(frmQvPreview.data(), w);
        for (int i = 1; i <= pages; ++i)
            store.addPage(textPage(store, QString::number(i)));
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->sePage->maximum(), pages);
        delete w;
    }

    void navigationStaysWithinThePages()
    {
        Shown s(3);
        TfrmQvPreview& w = *s.w;
        w.sbPreviousPageClick();
        QCOMPARE(w.RpPreview->page(), 1);
        w.sbNextPageClick();
        w.sbNextPageClick();
        w.sbNextPageClick();
        QCOMPARE(w.RpPreview->page(), 3);
        QCOMPARE(w.edtPage->text(), QStringLiteral("3"));
        w.sbFirstPageClick();
        QCOMPARE(w.RpPreview->page(), 1);
        w.sbLastPageClick();
        QCOMPARE(w.RpPreview->page(), 3);
        // a typed number is where the next move starts; typing alone shows nothing
        typePage(w, QStringLiteral("1"));
        QCOMPARE(w.RpPreview->page(), 3);
        w.sbNextPageClick();
        QCOMPARE(w.RpPreview->page(), 2);
        typePage(w, QStringLiteral("abc"));
        w.sbNextPageClick();
        QCOMPARE(w.RpPreview->page(), 3);
        typePage(w, QStringLiteral("9"));
        w.sbPreviousPageClick();
        QCOMPARE(w.RpPreview->page(), 2);
        // the arrows of the up-down move within the pages and show the page
        w.sbLastPageClick();
        QTest::keyClick(w.edtPage, Qt::Key_Up);
        QCOMPARE(w.edtPage->text(), QStringLiteral("3"));
        QTest::keyClick(w.edtPage, Qt::Key_Down);
        QCOMPARE(w.RpPreview->page(), 2);
    }

    void everyPageOfALongReportIsReached_data()
    {
        QTest::addColumn<QString>("typed"); // _ stands for the thousands separator
        QTest::addColumn<int>("page");
        QTest::newRow("plain") << QStringLiteral("32768") << 32768;
        QTest::newRow("with the separator") << QStringLiteral("39_999") << 39999;
        QTest::newRow("past the end is not taken") << QStringLiteral("40001") << 2;
    }
    void everyPageOfALongReportIsReached()
    {
        // A file of 40,000 titles makes 40,000 pages; the page box once stopped at 32,767.
        QFETCH(QString, typed);
        QFETCH(int, page);
        constexpr int kPages = 40000;
        const QString sep = Regional::thousandSeparator();
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        QPointer<TfrmQvPreview> w = TfrmQvPreview::openFor(store);
        for (int i = 1; i <= kPages; ++i)
            store.addPage(i == kPages ? textPage(store, QStringLiteral("ÚLTIMA")) : RpPage{});
        store.finish();
        QCOMPARE(w->sePage->maximum(), kPages);
        w->sbLastPageClick();
        QCOMPARE(w->RpPreview->page(), kPages);
        QCOMPARE(w->edtPage->text(), QStringLiteral("40") + sep + QStringLiteral("000"));
        w->sbPreviousPageClick();
        QCOMPARE(w->RpPreview->page(), kPages - 1);
        w->sbNextPageClick();
        w->sbNextPageClick();
        QCOMPARE(w->RpPreview->page(), kPages);
        // from 32,767 the arrow goes on to 32,768
        typePage(*w, QStringLiteral("32767"));
        w->sePageClick(true);
        QCOMPARE(w->RpPreview->page(), 32767);
        QTest::keyClick(w->edtPage, Qt::Key_Up);
        QCOMPARE(w->RpPreview->page(), 32768);
        QCOMPARE(w->edtPage->text(), QStringLiteral("32") + sep + QStringLiteral("768"));
        // a typed number, shown again as the page box writes it
        w->sbFirstPageClick();
        w->sbNextPageClick();
        typePage(*w, QString(typed).replace(QLatin1Char('_'), sep));
        w->sePageClick(true);
        QCOMPARE(w->RpPreview->page(), page);
        delete w.data();
    }

    // The printer dialog's page range stopped at 9,999: it is given the report's pages,
    // and a page beyond it prints.
    void thePrintDialogOffersEveryPage()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("pdftotext is not installed");
        constexpr int kPages = 12000;
        QTemporaryDir tmp;
        const QString pdf = tmp.filePath(QStringLiteral("paginas.pdf"));
        ScriptedDialogs dlg;
        dlg.printerChoice = [&](QPrinter* printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(10001, 10002);
        };
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        QPointer<TfrmQvPreview> w = TfrmQvPreview::openFor(store);
        for (int i = 1; i <= kPages; ++i)
            store.addPage(i > 10000 && i < 10003
                              ? textPage(store, QStringLiteral("PÁGINA %1").arg(i))
                              : RpPage{});
        store.finish();
        dlg.printerAnswers << true;
        w->PrintClick();
        delete w.data();
        QCOMPARE(dlg.printerPageCounts, QList<int>{kPages});
        QCOMPARE(dlg.texts(QStringLiteral("error")), QStringList());
        int rc = -1;
        const QString text = QString::fromUtf8(
            TestSupport::run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}, &rc));
        QCOMPARE(rc, 0);
        QCOMPARE(text.split(QLatin1Char('\f'), Qt::SkipEmptyParts).size(), 2);
        QVERIFY2(text.contains(QStringLiteral("PÁGINA 10001")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("PÁGINA 10002")), qPrintable(text));
    }

    void aOnePageReportStaysOnItsPage()
    {
        Shown s(1);
        s.w->sbNextPageClick();
        s.w->sbLastPageClick();
        QCOMPARE(s.w->RpPreview->page(), 1);
        QCOMPARE(s.w->edtPage->text(), QStringLiteral("1"));
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        const int ctrl = Qt::ControlModifier;
        const int shift = Qt::ShiftModifier;
        QTest::newRow("Ctrl+PageDown: last") << int(Qt::Key_PageDown) << ctrl << 2 << 5;
        QTest::newRow("Ctrl+Shift+PageDown: next")
            << int(Qt::Key_PageDown) << (ctrl | shift) << 2 << 3;
        QTest::newRow("PageDown: next") << int(Qt::Key_PageDown) << 0 << 2 << 3;
        QTest::newRow("Shift+PageDown: next") << int(Qt::Key_PageDown) << shift << 2 << 3;
        QTest::newRow("Ctrl+PageUp: first") << int(Qt::Key_PageUp) << ctrl << 4 << 1;
        QTest::newRow("Ctrl+Alt+PageUp: previous")
            << int(Qt::Key_PageUp) << (ctrl | int(Qt::AltModifier)) << 4 << 3;
        QTest::newRow("PageUp on page 1") << int(Qt::Key_PageUp) << 0 << 1 << 1;
        QTest::newRow("End") << int(Qt::Key_End) << shift << 2 << 5;
        QTest::newRow("Home") << int(Qt::Key_Home) << ctrl << 4 << 1;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, from);
        QFETCH(int, to);
        Shown s(5);
        TfrmQvPreview& w = *s.w;
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        typePage(w, QString::number(from));
        w.sePageClick(true);
        QCOMPARE(w.RpPreview->page(), from);
        // keys reach the window first, whichever control has the focus
        QWidget* target = QApplication::focusWidget() && QApplication::focusWidget()->window() == &w
                              ? QApplication::focusWidget()
                              : &w;
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w.RpPreview->page(), to);
    }

    // "&Zoom" showed as "Zoon", "Página" ran into the page box, and the 20-pixel page box
    // showed "04" for page 3.304.
    void theToolBarTextsShowWhole()
    {
        Shown s(1);
        TfrmQvPreview& w = *s.w;
        const QFontMetrics fm(w.Panel1->font());
        QVERIFY(w.Label1->width() >= fm.horizontalAdvance(QStringLiteral("Página")));
        QVERIFY(w.Label1->geometry().right() < w.edtPage->x());
        QVERIFY(w.Label3->width() >= fm.horizontalAdvance(QStringLiteral("Zoom")));
        QVERIFY(w.Label3->geometry().right() < w.seZoom->x());
        QVERIFY(w.edtPage->width() >= fm.horizontalAdvance(QStringLiteral("33.304")) + 8);
        // "Fechar" whole, also in the restored window of the design's size ("Fech" was cut).
        QVERIFY(w.BitBtnExit->width() >= w.BitBtnExit->sizeHint().width());
        w.showNormal();
        QTRY_VERIFY(!(w.windowState() & Qt::WindowMaximized));
        QVERIFY2(
            w.BitBtnExit->geometry().right() < w.width(),
            qPrintable(
                QStringLiteral("%1 of %2").arg(w.BitBtnExit->geometry().right()).arg(w.width())));
    }

    // The first pages arrive before the window has its maximised size: the width was
    // taken from the design's 683 pixels (77 % where the same button later gave 155 %).
    void zoomToWidthFollowsTheControlsRealSize()
    {
        Shown s(2);
        TfrmQvPreview& w = *s.w;
        w.showNormal();
        for (const QSize size : {QSize(683, 465), QSize(1400, 900), QSize(900, 700)}) {
            w.resize(size);
            QCoreApplication::processEvents();
            const int expected = int(std::lround(w.RpPreview->width() / (210.0 / 25.4 * 96) * 90));
            QCOMPARE(w.RpPreview->zoom(), expected);
            QCOMPARE(w.seZoom->value(), expected);
            QVERIFY(w.ZoomToWidth->isChecked());
        }
        // a zoom the user chose stays when the window changes size
        w.ZoomTo100Click();
        w.resize(1200, 800);
        QCoreApplication::processEvents();
        QCOMPARE(w.RpPreview->zoom(), 100);
    }

    // After a load "1:1" stayed down while the zoom was the page width's.
    void theZoomButtonsShowTheZoomInForce()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QString saved = dir.file(QStringLiteral("dois.kvr"));
        {
            Shown two(2);
            RpPageFile::save(two.store, saved);
        }
        Shown s(1);
        TfrmQvPreview& w = *s.w;
        auto down = [&w] {
            QString out;
            for (const QToolButton* b : {w.ZoomToFit, w.ZoomTo100, w.ZoomToWidth})
                out += b->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
            return out;
        };
        QCOMPARE(down(), QStringLiteral("001"));
        w.ZoomTo100->click();
        QCOMPARE(down(), QStringLiteral("010"));
        dlg.fileNames << saved;
        w.LoadClick();
        QCOMPARE(s.store.pageCount(), 2);
        QCOMPARE(down(), QStringLiteral("001"));
        const int width = w.RpPreview->zoom();
        w.ZoomToFit->click();
        QCOMPARE(down(), QStringLiteral("100"));
        w.seZoom->editor()->setText(QStringLiteral("130")); // typed: no fit is in force
        QCOMPARE(down(), QStringLiteral("000"));
        QCOMPARE(w.RpPreview->zoom(), 130);
        w.seZoom->editor()->setText(QStringLiteral("100"));
        QCOMPARE(down(), QStringLiteral("010"));
        w.ZoomToWidth->click();
        QCOMPARE(w.RpPreview->zoom(), width);
        QCOMPARE(down(), QStringLiteral("001"));
    }

    // A report with no row (the rejected titles when every title is valid) stayed blank
    // under "Gerando relatório, aguarde ..." for ever, which looked like a hang.
    void aReportWithNoPageSaysSo()
    {
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        QPointer<TfrmQvPreview> w = TfrmQvPreview::openFor(store);
        store.finish();
        QCOMPARE(w->windowTitle(), QStringLiteral(" - 0 páginas"));
        QVERIFY(!w->RpPreview->emptyText().isEmpty());
        QVERIFY(w->isVisible());
        delete w.data();
    }

    // An error before the first page ("Arquivo de Logomarca não encontrado") left an empty
    // preview behind the main window, to be found later as an orphan.
    void anErrorBeforeTheFirstPageLeavesNoWindow()
    {
        TempProgramDir dir;
        BlqTitles::store(BlqTitles::rejected(5));
        ScriptedDialogs dlg;
        QPointer<TfrmQvPreview> window;
        RelRejeicoes rel;
        rel.open();
        TRpReport& report = *rel.rptRelRejeicoes;
        report.band(QStringLiteral("RpBand2")).BeforePrint = [&](TRpBand&, bool&) {
            throw KvError(QStringLiteral("Arquivo de Logomarca não encontrado"));
        };
        report.OnPreview = [&](TRpPrinter& s) { window = TfrmQvPreview::openFor(s); };
        QVERIFY(!runGuarded([&] { report.preview(); }));
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("Arquivo de Logomarca não encontrado")});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    }

    // "Configuração de impressora" chose pages, copies and orientation; "Imprimir" then
    // showed "Pages from 1 to 1" and printed as if nothing had been chosen.
    void printerSetUpIsKeptForThePrint()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("pdftotext is not installed");
        TempProgramDir dir;
        BlqTitles::store(BlqTitles::rejected(100)); // four pages
        ScriptedDialogs dlg;
        RelRejeicoes rel;
        TRpReport& report = openIntoPdf(rel, dir);
        const QString pdf = report.printer().outputFileName();
        QStringList shown;
        dlg.printerDialog = [&shown](QPrinter* p) {
            shown << QStringLiteral("%1-%2 x%3 %4")
                         .arg(p->fromPage())
                         .arg(p->toPage())
                         .arg(p->copyCount())
                         .arg(p->pageLayout().orientation() == QPageLayout::Landscape
                                  ? QStringLiteral("paisagem")
                                  : QStringLiteral("retrato"));
            if (shown.size() == 1) { // the set-up: pages 2 to 3, two copies, landscape
                p->setPrintRange(QPrinter::PageRange);
                p->setFromTo(2, 3);
                p->setCopyCount(2);
                p->setPageOrientation(QPageLayout::Landscape);
            }
            return true;
        };
        int pages = 0;
        report.OnPreview = [&](TRpPrinter& store) {
            TfrmQvPreview* w = TfrmQvPreview::openFor(store);
            connect(&store, &TRpPrinter::stateChanged, w, [w, &store, &pages] {
                QTimer::singleShot(0, w, [w, &store, &pages] {
                    pages = store.pageCount();
                    w->PrintSetupClick();
                    w->PrintClick();
                    w->close();
                });
            });
        };
        report.preview();
        QCOMPARE(pages, 4);
        QCOMPARE(shown, (QStringList{QStringLiteral("0-0 x1 retrato"),
                                     QStringLiteral("2-3 x2 paisagem")}));
        int rc = -1;
        const QString text = QString::fromUtf8(
            TestSupport::run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}, &rc));
        QCOMPARE(rc, 0);
        QCOMPARE(text.count(QStringLiteral("RELAÇÃO DE TÍTULOS REJEITADOS")), 2);
    }

    void zoomToWidthAbove300EndsAt300()
    {
        Shown s(1);
        TfrmQvPreview& w = *s.w;
        w.showNormal();
        w.resize(3000, 700);
        QCoreApplication::processEvents();
        w.ZoomTo100Click();
        QCOMPARE(w.seZoom->value(), 100);
        w.ZoomToWidthClick(); // 340 % by the width
        QCOMPARE(w.seZoom->value(), 300);
        QCOMPARE(w.RpPreview->zoom(), 300);
        // with the spin already at 300 its text does not change, so the fitted zoom stays
        w.RpPreview->setZoom(100);
        w.ZoomToWidthClick();
        QCOMPARE(w.RpPreview->zoom(), 340);
        QCOMPARE(w.seZoom->value(), 300);
    }

    void theZoomSpinPassesWhatIsTyped()
    {
        Shown s(1);
        TfrmQvPreview& w = *s.w;
        w.seZoom->editor()->setText(QStringLiteral("500"));
        QCOMPARE(w.RpPreview->zoom(), 500);
        w.seZoom->editor()->setText(QStringLiteral("abc")); // reads as the minimum
        QCOMPARE(w.RpPreview->zoom(), 10);
        w.seZoom->editor()->setText(QStringLiteral("1")); // the control ignores it
        QCOMPARE(w.RpPreview->zoom(), 10);
    }

    // The extension was once looked for in the whole path, so a dot in a folder's name
    // saved the pages without ".kvr".
    void aDotInAFolderNameNoLongerLeavesOutKvr_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("no dot") << QStringLiteral("relatorio") << QStringLiteral("relatorio.kvr");
        QTest::newRow("other extension") << QStringLiteral("rel.txt") << QStringLiteral("rel.txt");
        QTest::newRow("dot in a folder")
            << QStringLiteral("pasta.v2/relatorio") << QStringLiteral("pasta.v2/relatorio.kvr");
        QTest::newRow("dot in a folder, extension given")
            << QStringLiteral("pasta.v2/rel.txt") << QStringLiteral("pasta.v2/rel.txt");
    }
    void aDotInAFolderNameNoLongerLeavesOutKvr()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        TempProgramDir dir;
        QVERIFY(!dir.path().contains(QLatin1Char('.')));
        QDir(dir.path()).mkdir(QStringLiteral("pasta.v2"));
        ScriptedDialogs dlg;
        dlg.fileNames << dir.file(chosen);
        Shown s(2);
        s.w->SaveClick();
        QVERIFY(QFile::exists(dir.file(written)));
        QCOMPARE(dlg.asked.size(), 1);
        QCOMPARE(dlg.asked.first().kind, QStringLiteral("saveFile"));
        TRpPrinter back;
        RpPageFile::load(dir.file(written), back);
        QCOMPARE(back.pageCount(), 2);
    }

    void overwriteIsAskedAndDeclinedLeavesTheFile()
    {
        TempProgramDir dir;
        const QString path = dir.file(QStringLiteral("rel.kvr"));
        QVERIFY(TestSupport::writeFile(path, "antigo"));
        ScriptedDialogs dlg;
        saveAs(dlg, path, Dialogs::Answer::No);
        Shown s(2);
        s.w->SaveClick();
        QCOMPARE(dlg.texts(QStringLiteral("question")),
                 QStringList{QStringLiteral("Arquivo %1 já existe. Deseja sobrepôr?").arg(path)});
        QCOMPARE(dlg.asked.last().caption, QStringLiteral("Confirmação"));
        QCOMPARE(TestSupport::readFile(path), QByteArray("antigo"));
        // Yes replaces it with the report
        saveAs(dlg, path, Dialogs::Answer::Yes);
        s.w->SaveClick();
        TRpPrinter back;
        RpPageFile::load(path, back);
        QCOMPARE(back.pageCount(), 2);
    }

    void aNameThatCannotBeReplacedIsTold()
    {
        TempProgramDir dir;
        const QString path = dir.file(QStringLiteral("pasta.kvr"));
        QDir(dir.path()).mkdir(QStringLiteral("pasta.kvr"));
        ScriptedDialogs dlg;
        saveAs(dlg, path, Dialogs::Answer::Yes);
        Shown s(1);
        s.w->SaveClick();
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("Impossível sobrepôr o arquivo %1.").arg(path)});
        QVERIFY(QFileInfo(path).isDir());
    }

    void loadingReplacesThePagesAndTheCaption()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QString saved = dir.file(QStringLiteral("tres.kvr"));
        {
            Shown three(3, QStringLiteral("Outro"));
            RpPageFile::save(three.store, saved);
        }
        Shown s(1); // the rejected-titles report: no title
        dlg.fileNames << dir.file(QStringLiteral("nada.kvr"));
        s.w->LoadClick();
        QCOMPARE(dlg.texts(QStringLiteral("message")),
                 QStringList{QStringLiteral("Impossível carregar o arquivo selecionado: ") +
                             dir.file(QStringLiteral("nada.kvr"))});
        QCOMPARE(s.store.pageCount(), 1);

        dlg.fileNames << saved;
        s.w->sbLastPageClick();
        s.w->LoadClick();
        QCOMPARE(s.store.pageCount(), 3);
        QCOMPARE(s.w->windowTitle(), saved + QStringLiteral(" - 3 páginas"));
        QCOMPARE(s.w->RpPreview->page(), 1);
        QCOMPARE(s.w->sePage->maximum(), 3);
        QVERIFY(s.store.isLoaded());

        // a damaged file: the error box, the pages stay
        const QString bad = dir.file(QStringLiteral("ruim.kvr"));
        QVERIFY(TestSupport::writeFile(bad, "KVCOBRPT\x01\x00\x00"));
        dlg.fileNames << bad;
        s.w->LoadClick();
        QCOMPARE(dlg.texts(QStringLiteral("error")).size(), 1);
        QVERIFY(dlg.lastText(QStringLiteral("error")).contains(QStringLiteral("danificado")));
        QCOMPARE(s.store.pageCount(), 3);
    }

    // Print was once offered before the last page, and a cancelled print dialog was still
    // told as a success.
    void aLiveReportPrintsOnceFinishedAndACancelIsNoSuccess()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("pdftotext is not installed");
        TempProgramDir dir;
        BlqTitles::store(BlqTitles::rejected(40));
        ScriptedDialogs dlg;
        const CursorAtDialogs cursor(dlg);
        RelRejeicoes rel;
        TRpReport& report = openIntoPdf(rel, dir);
        const QString pdf = report.printer().outputFileName();
        QStringList sawButtons;
        report.OnPreview = [&](TRpPrinter& store) {
            TfrmQvPreview* w = TfrmQvPreview::openFor(store);
            connect(&store, &TRpPrinter::pageAdded, w, [w, &sawButtons](int count) {
                if (count == 1)
                    sawButtons << enabledButtons(*w);
            });
            connect(&store, &TRpPrinter::stateChanged, w, [w, &dlg, &sawButtons] {
                QTimer::singleShot(0, w, [w, &dlg, &sawButtons] {
                    sawButtons << enabledButtons(*w);
                    w->PrintSetupClick();        // the live report's printer dialog
                    dlg.printerAnswers << false; // cancelled: no print, no message
                    w->PrintClick();
                    dlg.printerAnswers << true;
                    w->PrintClick();
                    w->close();
                });
            });
        };
        report.preview();
        QCOMPARE(sawButtons, (QStringList{QStringLiteral("0000"), QStringLiteral("1111")}));
        QCOMPARE(dlg.texts(QStringLiteral("printer")).size(), 3);
        QCOMPARE(dlg.texts(QStringLiteral("message")),
                 QStringList{QStringLiteral("Relatório enviado para impressora com sucesso")});
        QCOMPARE(dlg.asked.last().caption, QStringLiteral("Informação"));
        QCOMPARE(cursor.underWaitCursor, QStringList()); // the print was over
        int rc = -1;
        const QString text = QString::fromUtf8(
            TestSupport::run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}, &rc));
        QCOMPARE(text.count(QStringLiteral("RELAÇÃO DE TÍTULOS REJEITADOS")), 2);
        QVERIFY(text.contains(QStringLiteral("00000000039")));
    }

    void closingWhileProducingCancelsTheReport()
    {
        TempProgramDir dir;
        BlqTitles::store(BlqTitles::rejected(300)); // 11 pages
        ScriptedDialogs dlg;
        RelRejeicoes rel;
        rel.open();
        TRpReport& report = *rel.rptRelRejeicoes;
        QPointer<TfrmQvPreview> window;
        int pagesSeen = 0;
        report.OnPreview = [&](TRpPrinter& store) {
            window = TfrmQvPreview::openFor(store);
            connect(&store, &TRpPrinter::pageAdded, window, [&](int count) {
                pagesSeen = count;
                if (count == 2)
                    window->BitBtnExitClick();
            });
        };
        report.preview();
        QCOMPARE(pagesSeen, 2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    }

    void aHandlerErrorLeavesThePreviewCallAsThatError()
    {
        TempProgramDir dir;
        BlqTitles::store(BlqTitles::rejected(60));
        ScriptedDialogs dlg;
        QPointer<TfrmQvPreview> window;
        QPointer<TRpPrinter> store;
        {
            RelRejeicoes rel;
            rel.open();
            TRpReport& report = *rel.rptRelRejeicoes;
            int rows = 0;
            report.band(QStringLiteral("RpBand2")).BeforePrint = [&](TRpBand&, bool&) {
                if (++rows == 40)
                    throw KvError(QStringLiteral("Arquivo de Logomarca não encontrado"));
            };
            report.OnPreview = [&](TRpPrinter& s) {
                store = &s;
                window = TfrmQvPreview::openFor(s);
            };
            try {
                report.preview();
                QFAIL("no error");
            } catch (const KvError& e) {
                QCOMPARE(e.message(), QStringLiteral("Arquivo de Logomarca não encontrado"));
            }
        }
        // the report is gone; the window still shows the page made before the error
        QVERIFY(window && store);
        QCOMPARE(store->state(), TRpPrinter::State::Failed);
        QCOMPARE(store->pageCount(), 1);
        QCOMPARE(enabledButtons(*window), QStringLiteral("0000"));
        window->PrintSetupClick(); // nothing to set up for a report that is gone
        QVERIFY(dlg.asked.isEmpty());
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window && !store);
    }

    void exportPdfWritesThePages()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("pdftotext is not installed");
        TempProgramDir dir;
        ScriptedDialogs dlg;
        dlg.fileNames << dir.file(QStringLiteral("saida"));
        Shown s(4);
        s.w->ExportPdfClick();
        const QString pdf = dir.file(QStringLiteral("saida.pdf"));
        int rc = -1;
        const QString text = QString::fromUtf8(
            TestSupport::run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}, &rc));
        QCOMPARE(rc, 0);
        QVERIFY(text.contains(QStringLiteral("PÁGINA 1")));
        QVERIFY(text.contains(QStringLiteral("PÁGINA 4")));
    }
};

QTEST_MAIN(TstQvPreview)
#include "tst_qvpreview.moc"
