#include "BlqTitles.h"
#include "Clock.h"
#include "Database.h"
#include "DbTable.h"
#include "HelpWindow.h"
#include "KvVersion.h"
#include "ProgramDir.h"
#include "ProgramIcon.h"
#include "ScriptedDialogs.h"
#include "TRpPrinter.h"
#include "TestSupport.h"
#include "WidgetTesting.h"
#include "uCarregaArquivo.h"
#include "uConfiguracoes.h"
#include "uPreparaPreImpresso.h"
#include "uPrincipal.h"
#include "uQvPreview.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

namespace {
class StubbornChild : public QWidget {
public:
    bool refuse = true;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (refuse)
            e->ignore();
    }
};
} // namespace

class TstPrincipal : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        Database::closeAll();
        Clock::setFixed(QDateTime());
        if (HelpWindow::current())
            delete HelpWindow::current();
    }

    void opensWithItsCaptionMenusAndClock()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 0)));
        TFrmPrincipal w;
        QVERIFY(WidgetTesting::shown(w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Dizuvar id Azovadodu KV - v" KVCOB_VERSION));
        QStringList menus;
        for (QAction* a : w.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{QStringLiteral("&Arquivo"), QStringLiteral("&Relatórios"),
                                     QStringLiteral("&Configuração"), QStringLiteral("&Ajuda")}));
        QCOMPARE(w.AjudadaCobrana1->text(), QStringLiteral("Ajuda da Cobrança "));
        QCOMPARE(w.AjudadaCobrana1->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(w.clockPanel()->text(), QStringLiteral("08/12/2026")); // midnight: date alone
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(13, 5, 9)));
        w.Timer1Timer();
        QCOMPARE(w.clockPanel()->text(), QStringLiteral("08/12/2026 13:05:09"));
        QVERIFY(dlg.asked.isEmpty());
        // the start-up check added the late-fee, PIX payload and search columns to the new
        // table
        DbTable t;
        t.open();
        QCOMPARE(int(t.fieldNames().size()), 36);
    }

    void reportCommandsAnswerAnEmptyTable()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        TFrmPrincipal w;
        w.mnuFolhaSoltaClick();
        w.TtulosRejeitados1Click();
        QCOMPARE(dlg.asked.size(), 2);
        for (const auto& a : dlg.asked) {
            QCOMPARE(a.kind, QStringLiteral("message"));
            QCOMPARE(a.caption, QStringLiteral("Atenção"));
            QCOMPARE(a.text, QStringLiteral("Não há Dados na Base"));
        }
    }

    void engineErrorAtStartIsShownAndTheWindowStillOpens()
    {
        TempProgramDir dir;
        QVERIFY(TestSupport::writeFile(dir.file(QStringLiteral("cobrancaKV.db")),
                                       QByteArray(2048, '\x7f')));
        ScriptedDialogs dlg;
        TFrmPrincipal w;
        QVERIFY(WidgetTesting::shown(w));
        QCOMPARE(dlg.texts(QStringLiteral("error")).size(), 1);
        QVERIFY(w.isVisible());
    }

    void carregarArquivoOpensTheImportWindowAndImports()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        dlg.fileNames << TestSupport::sourceDir() +
                             QStringLiteral("/exemplos/cobranca-exemplo.rem");
        TFrmPrincipal w;
        QVERIFY(WidgetTesting::shown(w));
        QVERIFY(w.CarregarArquivo1->isEnabled());
        w.CarregarArquivo1->trigger();
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QVERIFY(FrmCarregaArquivo);
        QCOMPARE(w.mdiArea()->subWindowList().first()->widget(), FrmCarregaArquivo.data());
        QCOMPARE(FrmCarregaArquivo->windowTitle(),
                 QStringLiteral("Arquivos para Impressão de Boleta"));
        // The window starts by itself, imports, announces the end and goes.
        QTRY_COMPARE_WITH_TIMEOUT(dlg.texts(QStringLiteral("message")),
                                  QStringList{QStringLiteral("Carga finalizada com sucesso")},
                                  10000);
        QTRY_VERIFY(w.mdiArea()->subWindowList().isEmpty());
        QTRY_VERIFY(FrmCarregaArquivo.isNull());
        DbTable t;
        t.open();
        QCOMPARE(t.rowCount(), 30);
    }

    void aChildThatRefusesToCloseKeepsTheProgramOpen()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        TFrmPrincipal w;
        QVERIFY(WidgetTesting::shown(w));
        auto* child = new StubbornChild;
        QMdiSubWindow* sub = w.mdiArea()->addSubWindow(child);
        sub->show();
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        child->refuse = false;
        QVERIFY(w.close());
    }

    void f1OpensTheGuideAtItsFirstTopic()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        TFrmPrincipal w;
        QVERIFY(WidgetTesting::shown(w));
        w.activateWindow();
        QTest::keyClick(&w, Qt::Key_F1);
        QVERIFY(HelpWindow::current());
        QCOMPARE(HelpWindow::current()->browser()->source(),
                 QUrl(QStringLiteral("qrc:/help/index.html")));
        QVERIFY(HelpWindow::current()->browser()->toPlainText().contains(
            QStringLiteral("Carregar o arquivo do banco")));
    }

    void theHelpWindowNamesTheProgramFolderInUse()
    {
        QTemporaryDir dir;
        ProgramDir::Inputs in;
        in.environment = dir.path();
        ProgramDir::init(in);
        HelpWindow* help = HelpWindow::showContext(10);
        QCOMPARE(help->folderLabel()->text(),
                 QStringLiteral("Pasta do programa: %1 (indicada pela variável KVCOB_DIR)")
                     .arg(dir.path()));
        ProgramDir::set(QString());
    }

    // "&Folha Solta": the valid rows in file order reach the preview; with only rejected
    // rows the row check passes and the report runs over nothing.
    void folhaSoltaPreviewsTheValidRows_data()
    {
        QTest::addColumn<int>("valid");
        QTest::addColumn<int>("rejected");
        QTest::newRow("mixed") << 3 << 2;
        QTest::newRow("only rejected") << 0 << 2;
    }
    void folhaSoltaPreviewsTheValidRows()
    {
        QFETCH(int, valid);
        QFETCH(int, rejected);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        TFrmPrincipal w;
        BlqTitles::fill(0);
        QList<BlqTitle> rows;
        for (int n = 1; n <= valid + rejected; ++n) {
            BlqTitle row = BlqTitles::numbered(n);
            row.regVal = n > rejected;
            rows << row;
        }
        BlqTitles::store(rows);
        QVERIFY(w.mnuFolhaSolta->isEnabled());
        int pages = -1;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, [&] {
            TfrmQvPreview* p = frmQvPreview;
            if (p && p->pageStore() && p->pageStore()->isFinished()) {
                pages = p->pageStore()->pageCount();
                p->close();
            }
        });
        poll.start();
        w.mnuFolhaSoltaClick();
        QCOMPARE(pages, valid);
        QVERIFY(dlg.asked.isEmpty());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // Alt+A alternated between "&Arquivo" and "&Ajuda", so "Alt+A, C" did nothing every
    // other time.
    void altAOpensArquivoEveryTime()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg; // the import's file dialog answers "cancelled"
        TFrmPrincipal w;
        QVERIFY(WidgetTesting::shown(w));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* arquivo = w.findChild<QMenu*>(QStringLiteral("Arquivo1"));
        auto* ajuda = w.findChild<QMenu*>(QStringLiteral("Ajuda1"));
        QVERIFY(arquivo && ajuda);
        QCOMPARE(ajuda->title(), QStringLiteral("&Ajuda"));
        for (int round = 0; round < 3; ++round) {
            QTest::keyClick(&w, Qt::Key_A, Qt::AltModifier);
            QTRY_COMPARE(QApplication::activePopupWidget(), arquivo);
            QTest::keyClick(arquivo, Qt::Key_Escape);
            QTRY_VERIFY(!QApplication::activePopupWidget());
            QTest::keyClick(w.menuBar(), Qt::Key_Escape);
            QTest::keyClick(&w, Qt::Key_A, Qt::AltModifier);
            QTRY_COMPARE(QApplication::activePopupWidget(), arquivo);
            // Alt+A again, with "&Arquivo" open, moves on to "&Ajuda"
            QTest::keyClick(arquivo, Qt::Key_A, Qt::AltModifier);
            QTRY_COMPARE(QApplication::activePopupWidget(), ajuda);
            QTest::keyClick(ajuda, Qt::Key_Escape);
            QTRY_VERIFY(!QApplication::activePopupWidget());
            QTest::keyClick(w.menuBar(), Qt::Key_Escape);
        }
        // and "Alt+A, C" loads a file
        QTest::keyClick(&w, Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(QApplication::activePopupWidget(), arquivo);
        QTest::keyClick(arquivo, Qt::Key_C);
        QTRY_COMPARE(w.mdiArea()->subWindowList().size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(w.mdiArea()->subWindowList().isEmpty(), 5000);
        QCOMPARE(dlg.texts(QStringLiteral("openFile")).size(), 1);
    }

    // The import window opened at about 240 x 93, its caption cut to "Arquivos para
    // Impres...".
    void childWindowsOpenAtTheirDesignSize_data()
    {
        QTest::addColumn<QString>("child");
        QTest::addColumn<QSize>("size");
        QTest::newRow("import") << QStringLiteral("import") << QSize(441, 275);
        QTest::newRow("continuous forms") << QStringLiteral("continuo") << QSize(448, 404);
        QTest::newRow("customisation") << QStringLiteral("configuracoes") << QSize(543, 422);
    }
    void childWindowsOpenAtTheirDesignSize()
    {
        QFETCH(QString, child);
        QFETCH(QSize, size);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        TFrmPrincipal w;
        w.resize(1000, 800);
        QVERIFY(WidgetTesting::shown(w));
        if (child == QStringLiteral("import"))
            w.CarregarArquivo1->trigger();
        else if (child == QStringLiteral("continuo"))
            w.mnuContinuo->trigger();
        else
            w.PersonalizarBloqueto1->trigger();
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QMdiSubWindow* sub = w.mdiArea()->subWindowList().constFirst();
        const QSize inner = sub->widget()->size();
        QVERIFY2(inner.width() >= size.width() - 20 && inner.height() >= size.height() - 40,
                 qPrintable(QStringLiteral("%1x%2").arg(inner.width()).arg(inner.height())));
        QVERIFY(sub->width() >= sub->fontMetrics().horizontalAdvance(sub->windowTitle()) + 60);
        sub->close();
        QTRY_VERIFY(w.mdiArea()->subWindowList().isEmpty());
    }

    // The frame and its children showed the toolkit's generic icon.
    void theWindowsCarryTheProgramIcon()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        TFrmPrincipal w;
        QVERIFY(WidgetTesting::shown(w));
        const QImage monogram = ProgramIcon::icon().pixmap(32).toImage();
        QCOMPARE(w.windowIcon().pixmap(32).toImage(), monogram);
        QCOMPARE(QApplication::windowIcon().pixmap(32).toImage(), monogram);
        w.mnuContinuo->trigger();
        w.PersonalizarBloqueto1->trigger();
        const QList<QMdiSubWindow*> subs = w.mdiArea()->subWindowList();
        QCOMPARE(subs.size(), 2);
        for (QMdiSubWindow* sub : subs)
            QCOMPARE(sub->windowIcon().pixmap(32).toImage(), monogram);
    }

    // "&Fechar" of the continuous-form window closed only the inner widget and left an
    // empty frame on the desktop; every child must take its frame with it.
    void closingAChildLeavesNoEmptyFrame_data()
    {
        QTest::addColumn<QString>("child");
        QTest::newRow("import, file dialog cancelled") << QStringLiteral("import");
        QTest::newRow("continuous forms, Fechar") << QStringLiteral("continuo");
        QTest::newRow("customisation, its own close") << QStringLiteral("configuracoes");
    }
    void closingAChildLeavesNoEmptyFrame()
    {
        QFETCH(QString, child);
        TempProgramDir dir;
        ScriptedDialogs dlg; // the import's file dialog answers "cancelled"
        TFrmPrincipal w;
        w.resize(900, 700);
        QVERIFY(WidgetTesting::shown(w));
        QPointer<QWidget> inner;
        if (child == QStringLiteral("import")) {
            w.CarregarArquivo1->trigger();
            inner = FrmCarregaArquivo.data();
        } else if (child == QStringLiteral("continuo")) {
            w.mnuContinuo->trigger();
        } else {
            w.PersonalizarBloqueto1->trigger();
        }
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QPointer<QMdiSubWindow> sub = w.mdiArea()->subWindowList().constFirst();
        inner = sub->widget();
        QVERIFY(inner);
        if (auto* continuo = qobject_cast<TFrmPreparaPreImpresso*>(inner.data()))
            QTest::mouseClick(continuo->btnFechar, Qt::LeftButton);
        else if (child == QStringLiteral("configuracoes"))
            QVERIFY(inner->close());
        // else the import closes itself once its dialog is cancelled
        QTRY_VERIFY_WITH_TIMEOUT(w.mdiArea()->subWindowList().isEmpty(), 5000);
        QTRY_VERIFY(sub.isNull());
        QTRY_VERIFY(inner.isNull());
    }

    void personalizarBloquetoOpensChildWindowsThatFreeThemselves()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        TFrmPrincipal w;
        w.resize(900, 700);
        QVERIFY(WidgetTesting::shown(w));
        QVERIFY(w.PersonalizarBloqueto1->isEnabled());
        w.PersonalizarBloqueto1->trigger();
        w.PersonalizarBloqueto1->trigger(); // a new window each time
        const QList<QMdiSubWindow*> subs = w.mdiArea()->subWindowList();
        QCOMPARE(subs.size(), 2);
        QPointer<TfrmConfiguracoes> first = qobject_cast<TfrmConfiguracoes*>(subs[0]->widget());
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QVERIFY(subs[1]->widget() != first);
        QCOMPARE(subs[0]->size(), QSize(543, 422));
        subs[0]->close();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QVERIFY(dlg.asked.isEmpty());
    }
};

QTEST_MAIN(TstPrincipal)
#include "tst_principal.moc"
