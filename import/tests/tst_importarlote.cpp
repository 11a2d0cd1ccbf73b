// kvcob-lote importar, run as the office's scripts run it.
#include "BankFileWriter.h"
#include "Database.h"
#include "EngineProgramDir.h"
#include "ImportTestSupport.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

#include <csignal>

using namespace ImportTestSupport;
using Title = BankFileWriter::Title;

using TestSupport::kvcobLote;
using Run = TestSupport::ToolRun;

class TstImportarLote : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { m_env.cleanup(); }

    void importsTheSample()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const Run r = kvcobLote(dir.path(), {QStringLiteral("importar"),
                                             TestSupport::sourceDir() +
                                                 QStringLiteral("/exemplos/cobranca-exemplo.rem")});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines(), (QStringList{QStringLiteral("87 registros Processados"),
                                         QStringLiteral("Carga finalizada com sucesso")}));
        QCOMPARE(rows().size(), 30);
    }

    void aRecordErrorGoesToStandardError()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        Title bad;
        bad.moeda = QStringLiteral("2");
        bad.valor = QStringLiteral("ABC");
        const QString file = writeFile(dir.file(QStringLiteral("b.rem")), fileOf({Title(), bad}));
        const Run r = kvcobLote(dir.path(), {QStringLiteral("importar"), file});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, QStringLiteral("Bloco 3: 'ABC          ' não é um número válido"));
        QCOMPARE(r.lines(), QStringList{QStringLiteral("3 registros Processados")});
        QCOMPARE(rows().size(), 1);
    }

    // The table was once emptied before the file was opened.
    void aMissingFileNoLongerEmptiesTheTable()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const QString good =
            writeFile(dir.file(QStringLiteral("a.rem")), fileOf({Title(), Title()}));
        QCOMPARE(kvcobLote(dir.path(), {QStringLiteral("importar"), good}).exitCode, 0);
        const QString missing = dir.file(QStringLiteral("nao-ha.rem"));
        const Run r = kvcobLote(dir.path(), {QStringLiteral("importar"), missing});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, QStringLiteral("Arquivo não encontrado: ") + missing);
        QCOMPARE(r.lines(), QStringList());
        QCOMPARE(rows().size(), 2);
    }

    void aKilledImportLeavesThePreviousTitles()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const QString sample =
            TestSupport::sourceDir() + QStringLiteral("/exemplos/cobranca-exemplo.rem");
        QCOMPARE(kvcobLote(dir.path(), {QStringLiteral("importar"), sample}).exitCode, 0);
        const QList<QVariantMap> before = rows();
        Database::closeAll();
        const QString big = dir.file(QStringLiteral("grande.rem"));
        QVERIFY(TestSupport::generateBankFile(big, 100000));

        QProcess load;
        load.start(TestSupport::program(QStringLiteral("kvcob-lote")),
                   {QStringLiteral("--dir"), dir.path(), QStringLiteral("importar"), big});
        QVERIFY(load.waitForStarted());
        // Killed once rows are on their way: the server holds the import's bulk load, the
        // file its journal of the open transaction.
        const auto loading = [&] {
            if (dir.isServer()) {
                // Fails (division by zero) until the import's COPY is running.
                return dir.serverExec(QStringLiteral(
                    "SELECT 1 / count(*) FROM pg_stat_activity WHERE query LIKE 'COPY%'"));
            }
            for (const char* suffix : {"-journal", "-wal"}) {
                if (QFileInfo(dir.file(QStringLiteral("cobrancaKV.db") + QLatin1StringView(suffix)))
                        .size() > 0)
                    return true;
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(loading() || load.state() == QProcess::NotRunning, 30000);
        QVERIFY2(load.state() == QProcess::Running, "the import ended before it could be killed");
        ::kill(pid_t(load.processId()), SIGKILL);
        QVERIFY(load.waitForFinished(10000));
        QCOMPARE(rows(), before);
    }

    void wantsExactlyOneFile_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("none") << QStringList{QStringLiteral("importar")};
        QTest::newRow("two") << QStringList{QStringLiteral("importar"), QStringLiteral("a"),
                                            QStringLiteral("b")};
    }
    void wantsExactlyOneFile()
    {
        QFETCH(QStringList, args);
        KV_GLOBAL_ENGINE_DIR(dir);
        const Run r = kvcobLote(dir.path(), args);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, QStringLiteral("Uso: kvcob-lote importar [--forcar] ARQUIVO"));
    }

    // Junk used to empty the table and report success, or stop on a date after emptying it.
    void aFileThatIsNotABankFileIsRefusedUnlessForced_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("forcedError");
        QTest::newRow("random bytes") << QByteArray("\x8A\x01\xFFq", 4).repeated(1280) << QString();
        QByteArray junk = QByteArray("1") + QByteArray(401, '\xE8');
        QTest::newRow("junk that starts with 1")
            << junk
            << QStringLiteral(
                   "Bloco 1: '\u00E8\u00E8/\u00E8\u00E8/20\u00E8\u00E8' não é uma data válida");
    }
    void aFileThatIsNotABankFileIsRefusedUnlessForced()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, forcedError);
        KV_GLOBAL_ENGINE_DIR(dir);
        const QString good =
            writeFile(dir.file(QStringLiteral("a.rem")), fileOf({Title(), Title()}));
        QCOMPARE(kvcobLote(dir.path(), {QStringLiteral("importar"), good}).exitCode, 0);
        const QString junk = writeFile(dir.file(QStringLiteral("foto.jpg")), bytes);
        const Run refused = kvcobLote(dir.path(), {QStringLiteral("importar"), junk});
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(refused.err, QStringLiteral("O arquivo escolhido não parece um arquivo de "
                                             "cobrança. Carregar assim mesmo?"));
        QCOMPARE(refused.lines(), QStringList());
        QCOMPARE(rows().size(), 2);

        const Run forced =
            kvcobLote(dir.path(), {QStringLiteral("importar"), QStringLiteral("--forcar"), junk});
        QCOMPARE(forced.err, forcedError);
        QCOMPARE(forced.exitCode, forcedError.isEmpty() ? 0 : 1);
        QCOMPARE(rows().size(), 0); // the user's own choice; a bad record keeps none before it
    }

    void emptyAndHeaderOnlyFilesStillEmptyTheTable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header and trailer") << fileOf({});
    }
    void emptyAndHeaderOnlyFilesStillEmptyTheTable()
    {
        QFETCH(QByteArray, bytes);
        KV_GLOBAL_ENGINE_DIR(dir);
        const QString good = writeFile(dir.file(QStringLiteral("a.rem")), fileOf({Title()}));
        QCOMPARE(kvcobLote(dir.path(), {QStringLiteral("importar"), good}).exitCode, 0);
        const QString file = writeFile(dir.file(QStringLiteral("v.rem")), bytes);
        const Run r = kvcobLote(dir.path(), {QStringLiteral("importar"), file});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines().last(), QStringLiteral("Carga finalizada com sucesso"));
        QCOMPARE(rows().size(), 0);
    }

    // Every verb used to add the late-fee columns to a foreign Blq before failing on it.
    void aReadingCommandLeavesTheTableAsItIs()
    {
        KV_FILE_ENGINE_ONLY();
        TempProgramDir dir;
        {
            QSqlQuery q(Database::connection());
            QVERIFY(q.exec(QStringLiteral("DROP TABLE Blq")));
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE Blq (a TEXT, b TEXT, c TEXT)")));
        }
        Database::closeAll();
        kvcobLote(dir.path(), {QStringLiteral("folha-solta"), dir.file(QStringLiteral("x.pdf"))});
        kvcobLote(dir.path(), {QStringLiteral("rejeitados"), dir.file(QStringLiteral("y.pdf"))});
        QSqlQuery q(Database::connection());
        QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM pragma_table_info('Blq')")) &&
                q.next());
        QCOMPARE(q.value(0).toInt(), 3);
    }
};

QTEST_GUILESS_MAIN(TstImportarLote)
#include "tst_importarlote.moc"
