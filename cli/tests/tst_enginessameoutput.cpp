// The office's promise of a shared server: the same bank file gives the same rows, pages
// and bytes from kvcob-lote whether the table is in the SQLite file or on the server.
#include "EngineProgramDir.h"
#include "PgTestServer.h"
#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using TestSupport::kvcobLote;
using Run = TestSupport::ToolRun;

QByteArray contents(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = f.readAll();
    // The one thing that may differ between two runs: the moment each file was written, and
    // the file identifier made from it.
    static const QRegularExpression when(QStringLiteral("/CreationDate \\([^)]*\\)"));
    static const QRegularExpression id(QStringLiteral("/ID \\[<[0-9A-Fa-f]*> <[0-9A-Fa-f]*>\\]"));
    return QString::fromLatin1(bytes)
        .replace(when, QStringLiteral("/CreationDate ()"))
        .replace(id, QStringLiteral("/ID []"))
        .toLatin1();
}
} // namespace

class TstEnginesSameOutput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyVerbGivesTheSameBytes_data()
    {
        QTest::addColumn<QStringList>("verb");
        QTest::addColumn<QString>("output");
        QTest::newRow("folha-solta") << QStringList{QStringLiteral("folha-solta")} << "folha.pdf";
        QTest::newRow("rejeitados")
            << QStringList{QStringLiteral("rejeitados")} << "rejeitados.pdf";
        QTest::newRow("continuo, pequeno")
            << QStringList{QStringLiteral("continuo"), QStringLiteral("--modelo"),
                           QStringLiteral("pequeno")}
            << "continuo.txt";
        QTest::newRow("continuo, grande, one contract")
            << QStringList{QStringLiteral("continuo"), QStringLiteral("--modelo"),
                           QStringLiteral("grande"), QStringLiteral("--contrato"),
                           QStringLiteral("1507/000987659")}
            << "continuo-grande.txt";
    }
    void everyVerbGivesTheSameBytes()
    {
        QFETCH(QStringList, verb);
        QFETCH(QString, output);
        KV_ENGINE_DIR(server, QStringLiteral("postgres"));
        QTemporaryDir file;
        const QString bankFile =
            TestSupport::sourceDir() + QStringLiteral("/exemplos/cobranca-exemplo.rem");
        QByteArray produced[2];
        QString printed[2];
        int i = 0;
        for (const QString& dir : {file.path(), server.path()}) {
            const Run load = kvcobLote(dir, {QStringLiteral("importar"), bankFile});
            QVERIFY2(load.exitCode == 0, qPrintable(load.err));
            const QString out = dir + QLatin1Char('/') + output;
            const Run r = kvcobLote(dir, verb + QStringList{out});
            QVERIFY2(r.exitCode == 0, qPrintable(r.err));
            produced[i] = contents(out);
            printed[i] = QString(load.out + r.out).replace(dir, QStringLiteral("DIR"));
            ++i;
        }
        QVERIFY(QFile::exists(server.file(QStringLiteral("kvcob.conf"))));
        QVERIFY(!QFile::exists(server.file(QStringLiteral("cobrancaKV.db"))));
        QVERIFY(!produced[0].isEmpty());
        QCOMPARE(printed[1], printed[0]);
        if (produced[1] != produced[0] && output.endsWith(QStringLiteral(".pdf"))) {
            // A report that prints the time of day differs when the two runs fall in
            // different seconds: then its text must be the same but for that time.
            QString text[2];
            for (int k = 0; k < 2; ++k) {
                const QString dirK = k == 0 ? file.path() : server.path();
                text[k] = QString::fromUtf8(
                    TestSupport::run(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-layout"), dirK + QLatin1Char('/') + output,
                                      QStringLiteral("-")}));
                static const QRegularExpression time(QStringLiteral("\\b\\d\\d:\\d\\d:\\d\\d\\b"));
                text[k].replace(time, QStringLiteral("HH:MM:SS"));
            }
            QVERIFY(!text[0].isEmpty());
            QCOMPARE(text[1], text[0]);
        } else {
            QVERIFY2(produced[1] == produced[0], "the server's output differs from the file's");
        }
    }

    void aSecondDeskImportingAtTheSameTimeIsRefusedAndChangesNothing()
    {
        KV_ENGINE_DIR(server, QStringLiteral("postgres"));
        const QString big = server.file(QStringLiteral("grande.rem"));
        QVERIFY(TestSupport::generateBankFile(big, 100000));
        QProcess load;
        load.start(TestSupport::program(QStringLiteral("kvcob-lote")),
                   {QStringLiteral("--dir"), server.path(), QStringLiteral("importar"), big});
        QVERIFY(load.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            server.serverExec(QStringLiteral("SELECT 1 / count(*) FROM pg_stat_activity "
                                             "WHERE query LIKE 'COPY%'")) ||
                load.state() == QProcess::NotRunning,
            30000);
        QVERIFY2(load.state() == QProcess::Running, "the first import ended too soon");
        QTemporaryDir otherDesk;
        QFile conf(otherDesk.filePath(QStringLiteral("kvcob.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write(PgTestServer::instance()->confSection());
        conf.close();
        QElapsedTimer clock;
        clock.start();
        const Run second =
            kvcobLote(otherDesk.path(), {QStringLiteral("importar"),
                                         TestSupport::sourceDir() +
                                             QStringLiteral("/exemplos/cobranca-exemplo.rem")});
        const bool firstStillRunning = load.state() == QProcess::Running;
        QVERIFY(load.waitForFinished(120000));
        QCOMPARE(load.exitCode(), 0);
        if (!firstStillRunning)
            QSKIP("the first import ended before the second one asked");
        QCOMPARE(second.exitCode, 1);
        QVERIFY2(second.err.contains(QStringLiteral(
                     "Outra carga em andamento; tente novamente quando ela terminar.")),
                 qPrintable(second.err));
        QVERIFY(clock.elapsed() < 15000); // refused, not made to wait for the first
        // The table holds the first import's titles, all of them (fails by division by zero
        // otherwise).
        QVERIFY(server.serverExec(QStringLiteral("SELECT 1 / (count(*) = 100000)::int FROM Blq")));
    }

    void aDeskPrintingWhileAnotherImportsGetsThePreviousTitles()
    {
        KV_ENGINE_DIR(server, QStringLiteral("postgres"));
        const Run sample =
            kvcobLote(server.path(), {QStringLiteral("importar"),
                                      TestSupport::sourceDir() +
                                          QStringLiteral("/exemplos/cobranca-exemplo.rem")});
        QCOMPARE(sample.exitCode, 0);
        const QString big = server.file(QStringLiteral("grande.rem"));
        QVERIFY(TestSupport::generateBankFile(big, 100000));

        QProcess load;
        load.start(TestSupport::program(QStringLiteral("kvcob-lote")),
                   {QStringLiteral("--dir"), server.path(), QStringLiteral("importar"), big});
        QVERIFY(load.waitForStarted());
        // Fails (division by zero) until the import's COPY is running.
        QTRY_VERIFY_WITH_TIMEOUT(
            server.serverExec(QStringLiteral("SELECT 1 / count(*) FROM pg_stat_activity "
                                             "WHERE query LIKE 'COPY%'")) ||
                load.state() == QProcess::NotRunning,
            30000);
        QVERIFY2(load.state() == QProcess::Running,
                 "the import ended before the other desk printed");
        // The other desk: its own program directory, the same server.
        QTemporaryDir otherDesk;
        QFile conf(otherDesk.filePath(QStringLiteral("kvcob.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write(PgTestServer::instance()->confSection());
        conf.close();
        const Run print =
            kvcobLote(otherDesk.path(),
                      {QStringLiteral("folha-solta"), otherDesk.filePath(QStringLiteral("f.pdf"))});
        const bool stillLoading = load.state() == QProcess::Running;
        QVERIFY(load.waitForFinished(120000));
        QCOMPARE(load.exitCode(), 0);
        QVERIFY2(print.exitCode == 0, qPrintable(print.err));
        if (stillLoading) // the import may have committed while the desk was printing
            QVERIFY2(print.out.startsWith(QStringLiteral("24 bloqueto(s)")), qPrintable(print.out));
    }
};

QTEST_GUILESS_MAIN(TstEnginesSameOutput)
#include "tst_enginessameoutput.moc"
