// The preview's Print of the single-sheet bloquetos on the queue of a real CUPS server:
// what the user picks in the printer dialog is what reaches the queue.
#include "BlqTitles.h"
#include "CupsServer.h"
#include "Database.h"
#include "ScriptedDialogs.h"
#include "TRpPrinter.h"
#include "TestEnvironment.h"
#include "TestSupport.h"
#include "WidgetTesting.h"
#include "uQvPreview.h"
#include "uRelBloqueto.h"

#include <QPrinter>
#include <QTimer>
#include <QtTest>

namespace {
const QString kLaser = QStringLiteral("Laser");

QStringList pagesOf(const QString& pdf)
{
    QStringList pages =
        QString::fromUtf8(TestSupport::run(QStringLiteral("pdftotext"),
                                           {QStringLiteral("-raw"), pdf, QStringLiteral("-")}))
            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// Opens the preview of `count` bloquetos and, once every page is there, runs `clicks` on
// the window and closes it.
void withPreview(int count, const std::function<void(TfrmQvPreview&)>& clicks)
{
    BlqTitles::fill(count);
    TfrmRelBloqueto form;
    form.rel().selectValidInFileOrder();
    WidgetTesting::whenReady(
        [] {
            return frmQvPreview && frmQvPreview->pageStore() &&
                   frmQvPreview->pageStore()->isFinished();
        },
        [=] {
            TfrmQvPreview* w = frmQvPreview;
            clicks(*w);
            w->close();
        });
    form.preview();
}
} // namespace

class TstBloquetoPrint : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
    CupsServer m_cups;

private Q_SLOTS:
    void initTestCase()
    {
        // Before the first printer is made: the toolkit asks the server CUPS_SERVER names.
        if (!m_cups.startOrSkip({{kLaser, CupsServer::Kind::Pdf}}, {QStringLiteral("pdftotext")}))
            return;
    }
    void cleanup() { m_env.cleanup(); }

    void printSendsThePagesChosenInTheDialog()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        dlg.printerChoice = [](QPrinter* printer) {
            printer->setPrinterName(kLaser);
            printer->setFromTo(2, 3);
        };
        m_cups.clearOutput(kLaser);
        int jobsAfterCancel = -1;
        withPreview(4, [&](TfrmQvPreview& w) {
            dlg.printerAnswers << false; // cancelled in the dialog
            w.PrintClick();
            jobsAfterCancel = m_cups.jobCount(kLaser);
            dlg.printerAnswers << true;
            w.PrintClick();
        });
        QCOMPARE(jobsAfterCancel, 0);
        QCOMPARE(dlg.texts(QStringLiteral("error")), QStringList());
        QCOMPARE(dlg.texts(QStringLiteral("message")),
                 QStringList{QStringLiteral("Relatório enviado para impressora com sucesso")});
        QVERIFY(m_cups.waitForJobs(kLaser));
        QCOMPARE(m_cups.jobCount(kLaser), 1);
        const QStringList pages = pagesOf(m_cups.outputPath(kLaser));
        QCOMPARE(pages.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const BlqTitle t = BlqTitles::numbered(i + 2);
            QVERIFY2(pages.at(i).contains(t.sacNom), qPrintable(pages.at(i)));
            QVERIFY(pages.at(i).contains(t.seuNum));
        }
    }

    // The toolkit hands the job over and keeps the server's answer to itself: a refusal
    // used to be followed by the success message.
    void aJobTheServerRefusesIsNotReportedAsSent()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        dlg.printerChoice = [](QPrinter* printer) {
            printer->setPrinterName(kLaser);
            printer->setCopyCount(CupsServer::kMaxCopies + 1);
        };
        const int jobs = m_cups.jobCount(kLaser);
        withPreview(1, [&](TfrmQvPreview& w) {
            dlg.printerAnswers << true;
            w.PrintClick();
        });
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("A impressora Laser recusou o trabalho: Bad copies "
                                            "value %1.")
                                 .arg(CupsServer::kMaxCopies + 1)});
        QCOMPARE(dlg.texts(QStringLiteral("message")), QStringList());
        QCOMPARE(m_cups.jobCount(kLaser), jobs);
    }

    void aJobLeftInAStoppedQueueIsToldAndPrintsLater()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        dlg.printerChoice = [](QPrinter* printer) { printer->setPrinterName(kLaser); };
        m_cups.clearOutput(kLaser);
        QCOMPARE(m_cups.tool(QStringLiteral("cupsdisable"), {kLaser}), 0);
        withPreview(2, [&](TfrmQvPreview& w) {
            dlg.printerAnswers << true;
            w.PrintClick();
        });
        QCOMPARE(dlg.texts(QStringLiteral("message")),
                 (QStringList{QStringLiteral("A impressora Laser está parada (Paused): o "
                                             "trabalho ficou "
                                             "na fila e sai quando ela for reativada."),
                              QStringLiteral("Relatório enviado para impressora com sucesso")}));
        QVERIFY(!m_cups.waitForJobs(kLaser, 300)); // held, not lost
        QCOMPARE(m_cups.tool(QStringLiteral("cupsenable"), {kLaser}), 0);
        QVERIFY(m_cups.waitForJobs(kLaser));
        QCOMPARE(pagesOf(m_cups.outputPath(kLaser)).size(), 2);
    }

    // Last: the server goes away.
    void aStoppedServerIsSaidSo()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        dlg.printerChoice = [](QPrinter* printer) { printer->setPrinterName(kLaser); };
        m_cups.stop();
        withPreview(1, [&](TfrmQvPreview& w) {
            dlg.printerAnswers << true;
            w.PrintClick();
        });
        const QStringList errors = dlg.texts(QStringLiteral("error"));
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(
                     QStringLiteral("O servidor de impressão (CUPS) em %1 não responde")
                         .arg(m_cups.socketPath())),
                 qPrintable(errors.first()));
        QCOMPARE(dlg.texts(QStringLiteral("message")), QStringList());
    }
};

QTEST_MAIN(TstBloquetoPrint)
#include "tst_bloquetoprint.moc"
