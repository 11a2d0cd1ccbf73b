// The office's promise of a shared server: the same bank file gives the same rows, pages
// and bytes from kvcob-lote whether the table is in the SQLite file or on the server.
#include "EngineProgramDir.h"
#include "FedImport.h"
#include "PgTestServer.h"
#include "TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using TestSupport::kvcobLote;
using Run = TestSupport::ToolRun;

constexpr int kBigTitles = 20000;
// Longer than a refusal or a print takes, far shorter than the default: a run that waits
// for the held import is cut there and fails, instead of hanging the test.
constexpr int kWaitedMs = 30000;

QString sampleFile()
{
    return TestSupport::sourceDir() + QStringLiteral("/exemplos/cobranca-exemplo.rem");
}

// A generated bank file of kBigTitles titles, written in the folder and read back.
QByteArray bigBankFile(const EngineProgramDir& dir)
{
    const QString path = dir.file(QStringLiteral("grande.rem"));
    return TestSupport::generateBankFile(path, kBigTitles) ? TestSupport::readFile(path)
                                                           : QByteArray();
}

// The import's bulk load is under way: it holds the import lock and its open transaction.
bool copyRunning(const EngineProgramDir& dir)
{
    // Fails (division by zero) until the import's COPY is running.
    return dir.serverExec(QStringLiteral("SELECT 1 / count(*) FROM pg_stat_activity "
                                         "WHERE query LIKE 'COPY%'"));
}

// Another desk's program directory reaching the same server.
void writeConf(const QTemporaryDir& desk)
{
    QFile conf(desk.filePath(QStringLiteral("kvcob.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(PgTestServer::instance()->confSection());
}

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
        const QString bankFile = sampleFile();
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

    // The second import used to be able to wait for the first one's lock, and this test to
    // skip exactly then: the first import is now held open, reading its file from a pipe.
    void aSecondDeskImportingAtTheSameTimeIsRefusedAndChangesNothing()
    {
        KV_ENGINE_DIR(server, QStringLiteral("postgres"));
        const QByteArray bank = bigBankFile(server);
        QVERIFY(!bank.isEmpty());
        const qsizetype half = bank.size() / 2;
        FedImport first(server.path(), bank.left(half), [&] { return copyRunning(server); });
        QTemporaryDir otherDesk;
        writeConf(otherDesk);
        QElapsedTimer clock;
        clock.start();
        // A second import that waited for the lock would hang until the first one ended.
        const Run second =
            kvcobLote(otherDesk.path(), {QStringLiteral("importar"), sampleFile()}, kWaitedMs);
        const qint64 took = clock.elapsed();
        QVERIFY2(first.isRunning(), "the first import ended before the second one asked");
        QCOMPARE(second.exitCode, 1);
        QVERIFY2(second.err.contains(QStringLiteral(
                     "Outra carga em andamento; tente novamente quando ela terminar.")),
                 qPrintable(second.err));
        QVERIFY2(took < 2000, qPrintable(QStringLiteral("refused after %1 ms: the second import "
                                                        "waited for the first")
                                             .arg(took)));
        QCOMPARE(first.finish(bank.mid(half)), 0);
        // The table holds the first import's titles, all of them (fails by division by zero
        // otherwise).
        QVERIFY(server.serverExec(
            QStringLiteral("SELECT 1 / (count(*) = %1)::int FROM Blq").arg(kBigTitles)));
    }

    // The reader used to be allowed to wait for the import and this test then asserted
    // nothing: with the import held open, the print must end first, with the titles of before.
    void aDeskPrintingWhileAnotherImportsGetsThePreviousTitles()
    {
        KV_ENGINE_DIR(server, QStringLiteral("postgres"));
        const Run sample = kvcobLote(server.path(), {QStringLiteral("importar"), sampleFile()});
        QCOMPARE(sample.exitCode, 0);
        const QByteArray bank = bigBankFile(server);
        QVERIFY(!bank.isEmpty());
        const qsizetype half = bank.size() / 2;
        FedImport import(server.path(), bank.left(half), [&] { return copyRunning(server); });
        // The other desk: its own program directory, the same server.
        QTemporaryDir otherDesk;
        writeConf(otherDesk);
        const Run print =
            kvcobLote(otherDesk.path(),
                      {QStringLiteral("folha-solta"), otherDesk.filePath(QStringLiteral("f.pdf"))},
                      kWaitedMs);
        QVERIFY2(import.isRunning(), "the import ended before the other desk printed");
        QVERIFY2(print.exitCode == 0, qPrintable(print.err));
        QVERIFY2(print.out.startsWith(QStringLiteral("24 bloqueto(s)")), qPrintable(print.out));
        QCOMPARE(import.finish(bank.mid(half)), 0);
        QVERIFY(server.serverExec(
            QStringLiteral("SELECT 1 / (count(*) = %1)::int FROM Blq").arg(kBigTitles)));
    }
};

QTEST_GUILESS_MAIN(TstEnginesSameOutput)
#include "tst_enginessameoutput.moc"
