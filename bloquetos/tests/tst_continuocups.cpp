// Continuous forms on the raw queue of a real CUPS server, from kvcob-lote continuo and
// from the window: the forms reach the queue's device byte for byte as they reach a file,
// a run as one job (after the trial form the window asks about), and a job the queue
// refuses is told in the window.
#include "BlqTitles.h"
#include "ContinuoFixtures.h"
#include "ContinuoRowsModel.h"
#include "CupsServer.h"
#include "Database.h"
#include "DotMatrixPage.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestSupport.h"
#include "WidgetTesting.h"
#include "uPreparaPreImpresso.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

using namespace ContinuoFixtures;
using Answer = Dialogs::Answer;

namespace {
const QString kQueue = QStringLiteral("Matricial");

int lote(const TempProgramDir& dir, const QStringList& args, QString* err)
{
    const TestSupport::ToolRun run = TestSupport::kvcobLoteOnTestDatabase(
        dir.path(), QStringList{QStringLiteral("continuo")} + args);
    *err = run.errText;
    return run.exitCode;
}

// The window's printer is the queue of the print server; five titles to print.
void fiveTitlesForTheQueue()
{
    configurePort(QStringLiteral("cups:") + kQueue);
    BlqTitles::store(numbered(5));
}
} // namespace

class TstContinuoCups : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
    CupsServer m_cups;

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_cups.startOrSkip({{kQueue, CupsServer::Kind::Raw}}))
            return;
    }
    void cleanup() { m_env.cleanup(); }

    void formsReachTheQueueAsTheyReachAFile_data()
    {
        QTest::addColumn<QString>("modelo");
        QTest::addColumn<QString>("output");  // as the run names it
        QTest::addColumn<bool>("configured"); // LPT1=cups:Matricial in kvcob.conf
        QTest::newRow("pequeno, queue named")
            << QStringLiteral("pequeno") << QStringLiteral("cups:Matricial") << false;
        QTest::newRow("grande, queue named")
            << QStringLiteral("grande") << QStringLiteral("cups:Matricial") << false;
        QTest::newRow("pequeno, LPT1 configured")
            << QStringLiteral("pequeno") << QStringLiteral("LPT1") << true;
        QTest::newRow("grande, LPT1 configured")
            << QStringLiteral("grande") << QStringLiteral("LPT1") << true;
    }
    void formsReachTheQueueAsTheyReachAFile()
    {
        QFETCH(QString, modelo);
        QFETCH(QString, output);
        QFETCH(bool, configured);
        TempProgramDir dir;
        addRejected(2);
        BlqTitles::store(numbered(5));
        QString err;
        const QString file = dir.file(QStringLiteral("saida.prn"));
        QCOMPARE(lote(dir, {QStringLiteral("--modelo"), modelo, file}, &err), 0);
        const QByteArray expected = readFile(file);
        QVERIFY(expected.size() > 1000);

        if (configured)
            configurePort(QStringLiteral("cups:") + kQueue);
        m_cups.clearOutput(kQueue);
        const int jobs = m_cups.jobCount(kQueue);
        QCOMPARE(lote(dir, {QStringLiteral("--modelo"), modelo, output}, &err), 0);
        QCOMPARE(err, QString());
        QVERIFY(m_cups.waitForJobs(kQueue));
        QCOMPARE(m_cups.output(kQueue), expected);
        QCOMPARE(m_cups.jobCount(kQueue), jobs + 1); // the run, not one job per bloqueto
    }

    // The window prints the trial form, asks, then sends the rest of the run as one job.
    void theWindowSendsTheTrialFormThenTheRunAsOneJob()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        fiveTitlesForTheQueue();
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        QTest::mouseClick(w.RdbMod80074, Qt::LeftButton);
        m_cups.clearOutput(kQueue);
        const int jobs = m_cups.jobCount(kQueue);
        dlg.clear();
        dlg.answers = {Answer::Yes};
        QTest::mouseClick(w.btnImprimir, Qt::LeftButton);
        QCOMPARE(dlg.texts(QStringLiteral("error")), QStringList());
        QVERIFY(m_cups.waitForJobs(kQueue));
        QCOMPARE(m_cups.jobCount(kQueue), jobs + 2);
        QByteArray expected = defaultInit();
        for (const BlqTitle& row : w.QryMovimento->rows())
            expected += DotMatrixPage::bytes(DotMatrixPage::layoutLines(row, FormModel::Small)) +
                        separator();
        QCOMPARE(m_cups.output(kQueue), expected);
        QCOMPARE(w.QtdImp->text(), QStringLiteral("5"));
        QVERIFY(w.close());
    }

    // The queue stops taking jobs while the run is composed: the window says that nothing
    // of it was printed and marks the first bloqueto that did not go out.
    void aRunTheQueueRefusesIsToldInTheWindow()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        fiveTitlesForTheQueue();
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        m_cups.clearOutput(kQueue);
        const int jobs = m_cups.jobCount(kQueue);
        int rejected = -1;
        connect(w.QtdImp, &QLineEdit::textChanged, this, [&](const QString& passes) {
            if (passes == QLatin1String("3"))
                rejected = m_cups.tool(QStringLiteral("cupsreject"), {kQueue});
        });
        dlg.clear();
        dlg.answers = {Answer::Yes};
        QTest::mouseClick(w.btnImprimir, Qt::LeftButton);
        QCOMPARE(m_cups.tool(QStringLiteral("cupsaccept"), {kQueue}), 0);
        QCOMPARE(rejected, 0);
        const QStringList errors = dlg.texts(QStringLiteral("error"));
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().endsWith(
                     QStringLiteral("\nA fila Matricial recusou a impressão: nenhum bloqueto "
                                    "deste envio foi impresso. Verifique a fila e imprima de "
                                    "novo a partir do bloqueto marcado.")),
                 qPrintable(errors.first()));
        QVERIFY(m_cups.waitForJobs(kQueue));
        QCOMPARE(m_cups.jobCount(kQueue), jobs + 1);  // the trial form only
        QCOMPARE(w.DBGrid1->currentIndex().row(), 1); // the first one not printed
        QVERIFY(!w.isPrinting());
        QVERIFY(w.btnImprimir->isEnabled());
        QVERIFY(w.close());
    }

    void aQueueThatIsNotThereSendsNothing()
    {
        TempProgramDir dir;
        BlqTitles::store({example()});
        QString err;
        QCOMPARE(lote(dir, {QStringLiteral("--modelo=grande"), QStringLiteral("cups:Sala2")}, &err),
                 1);
        QCOMPARE(err, QStringLiteral("Impressora Sala2 não encontrada\n"
                                     "Impressoras disponíveis: Matricial"));
    }
};

QTEST_MAIN(TstContinuoCups)
#include "tst_continuocups.moc"
