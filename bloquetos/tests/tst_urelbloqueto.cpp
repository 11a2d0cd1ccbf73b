#include "BlqTitles.h"
#include "Clock.h"
#include "CursorAtDialogs.h"
#include "Database.h"
#include "IniFile.h"
#include "KvError.h"
#include "RecentFolders.h"
#include "ScriptedDialogs.h"
#include "TRpPrinter.h"
#include "TestSupport.h"
#include "WidgetTesting.h"
#include "uQvPreview.h"
#include "uRelBloqueto.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
struct Seen {
    QString caption;
    int pages = -1;
    qint64 firstPageMs = -1;
};

// Watches the preview window from inside the report's preview call: notes when page 1
// shows, and closes the window once every page is there.
void closeWhenFinished(Seen* seen, const QElapsedTimer* clock)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [=] {
        TfrmQvPreview* w = frmQvPreview;
        if (!w || !w->pageStore())
            return;
        if (seen->firstPageMs < 0 && w->pageStore()->pageCount() > 0)
            seen->firstPageMs = clock->elapsed();
        if (!w->pageStore()->isFinished())
            return;
        QCoreApplication::processEvents();
        seen->caption = w->windowTitle();
        seen->pages = w->pageStore()->pageCount();
        w->close();
        poll->deleteLater();
    });
    poll->start();
}
} // namespace

class TstURelBloqueto : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        WidgetTesting::deleteTopLevels<TfrmQvPreview>();
        Database::closeAll();
    }

    void previewShowsThePagesAndReturnsWhenClosed()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        BlqTitles::fill(3);
        TfrmRelBloqueto form;
        QVERIFY(!form.isVisible());
        form.rel().selectValidInFileOrder();
        Seen seen;
        QElapsedTimer clock;
        clock.start();
        closeWhenFinished(&seen, &clock);
        form.preview();
        QCOMPARE(seen.pages, 3);
        QCOMPARE(seen.caption, QStringLiteral("Cobrança KV - Bloqueto - 3 páginas"));
        QVERIFY(dlg.asked.isEmpty());
    }

    // "Exportar PDF" of the bloquetos asks for one file or one file per bloqueto.
    void exportAsksForOneFileOrOnePerBloqueto_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("one per bloqueto") << int(Dialogs::Answer::Yes);
        QTest::newRow("one file") << int(Dialogs::Answer::No);
        QTest::newRow("cancelled") << int(Dialogs::Answer::Cancel);
    }
    void exportAsksForOneFileOrOnePerBloqueto()
    {
        QFETCH(int, answer);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const CursorAtDialogs cursor(dlg);
        BlqTitles::fill(3);
        const QString folder = dir.file(QStringLiteral("bloquetos"));
        const QString file = dir.file(QStringLiteral("todos"));
        dlg.answers << Dialogs::Answer(answer);
        dlg.fileNames << (answer == int(Dialogs::Answer::Yes) ? folder : file);
        // Each dialog starts where its kind of file was last chosen.
        const QString lastFolders = dir.file(QStringLiteral("usadas"));
        QVERIFY(QDir().mkpath(lastFolders + QStringLiteral("/pdf")));
        RecentFolders::remember(RecentFolders::kPdf, lastFolders + QStringLiteral("/pdf/a.pdf"));
        RecentFolders::rememberFolder(RecentFolders::kPerTitleFolder, lastFolders);
        TfrmRelBloqueto form;
        form.rel().selectValidInFileOrder();
        auto* poll = new QTimer(&form);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [poll] {
            TfrmQvPreview* w = frmQvPreview;
            if (!w || !w->pageStore() || !w->pageStore()->isFinished())
                return;
            poll->stop();
            QVERIFY(w->ExportPdf->isEnabled());
            w->ExportPdfClick();
            w->close();
        });
        poll->start();
        form.preview();

        QVERIFY(!dlg.asked.isEmpty());
        QCOMPARE(dlg.asked.first().kind, QStringLiteral("question"));
        QCOMPARE(dlg.asked.first().caption, QStringLiteral("Confirmação"));
        QVERIFY(dlg.asked.first().text.startsWith(
            QStringLiteral("Gravar um arquivo PDF para cada bloqueto?")));
        QVERIFY(dlg.texts(QStringLiteral("error")).isEmpty());
        const QStringList pdfs = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        if (answer == int(Dialogs::Answer::Yes)) {
            QCOMPARE(dlg.asked.at(1).kind, QStringLiteral("folder"));
            QCOMPARE(dlg.asked.at(1).text, lastFolders);
            QCOMPARE(RecentFolders::start(RecentFolders::kPerTitleFolder), folder);
            QCOMPARE(pdfs.size(), 3);
            QVERIFY(QFileInfo::exists(QDir(folder).filePath(QStringLiteral("indice.csv"))));
            QCOMPARE(dlg.lastText(QStringLiteral("message")),
                     QStringLiteral("3 bloqueto(s) gravado(s) em %1, um arquivo por bloqueto.")
                         .arg(folder));
            QVERIFY(!QFileInfo::exists(file + QStringLiteral(".pdf")));
            QCOMPARE(cursor.underWaitCursor, QStringList()); // the work was over
        } else if (answer == int(Dialogs::Answer::No)) {
            QCOMPARE(dlg.asked.at(1).kind, QStringLiteral("saveFile"));
            QVERIFY2(dlg.asked.at(1).text.startsWith(lastFolders + QStringLiteral("/pdf|")),
                     qPrintable(dlg.asked.at(1).text));
            QVERIFY(QFileInfo(file + QStringLiteral(".pdf")).size() > 0);
            QVERIFY(!QFileInfo::exists(folder));
        } else {
            QCOMPARE(dlg.asked.size(), 1);
            QVERIFY(!QFileInfo::exists(folder));
            QVERIFY(!QFileInfo::exists(file + QStringLiteral(".pdf")));
        }
    }

    void logoErrorLeavesThePreviewCall()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        BlqTitles::fill(2);
        const QString name = BlqTitles::numbered(1).nomCed;
        KvSettings::file().writeString(name, QStringLiteral("Recibo"), QString());
        KvSettings::file().writeString(name, QStringLiteral("Comprovante"),
                                       dir.file(QStringLiteral("nao-existe.bmp")));
        TfrmRelBloqueto form;
        form.rel().selectValidInFileOrder();
        try {
            form.preview();
            QFAIL("no error");
        } catch (const KvError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Arquivo de Logomarca não encontrado\n%1 (cedente %2)")
                         .arg(dir.file(QStringLiteral("nao-existe.bmp")), name.trimmed()));
        }
        QCOMPARE(form.rel().reciboPath(), QString());
        QCOMPARE(form.rel().comprovantePath(), dir.file(QStringLiteral("nao-existe.bmp")));
    }
};

QTEST_MAIN(TstURelBloqueto)
#include "tst_urelbloqueto.moc"
