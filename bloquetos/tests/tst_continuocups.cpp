// kvcob-lote continuo on the raw queue of a real CUPS server: the forms reach the queue's
// device byte for byte as they reach a file.
#include "BlqTitles.h"
#include "ContinuoFixtures.h"
#include "CupsServer.h"
#include "Database.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QtTest>

using namespace ContinuoFixtures;

namespace {
const QString kQueue = QStringLiteral("Matricial");

int lote(const TempProgramDir& dir, const QStringList& args, QString* err)
{
    Database::closeAll(); // the tool opens the same database file
    const TestSupport::ToolRun run =
        TestSupport::kvcobLote(dir.path(), QStringList{QStringLiteral("continuo")} + args);
    *err = run.errText;
    return run.exitCode;
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
        QCOMPARE(lote(dir, {QStringLiteral("--modelo"), modelo, output}, &err), 0);
        QCOMPARE(err, QString());
        QVERIFY(m_cups.waitForJobs(kQueue));
        QCOMPARE(m_cups.output(kQueue), expected);
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

QTEST_GUILESS_MAIN(TstContinuoCups)
#include "tst_continuocups.moc"
