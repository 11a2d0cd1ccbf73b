// The bloqueto table on a PostgreSQL server: what only a server has (connections that fail
// or drop, other desks reading, the server's own types), against the executable's
// throwaway server.
#include "BlqStatements.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbQuery.h"
#include "DbTable.h"
#include "EngineProgramDir.h"
#include "ImportGuard.h"
#include "KvError.h"
#include "PgImportLock.h"
#include "PgTestServer.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QSqlQuery>
#include <QtTest>

namespace {
void fill(DbTable& t, const QStringList& seuNums)
{
    for (const QString& s : seuNums) {
        t.append();
        t.setText(t.fieldIndex(QStringLiteral("BlqSeuNum")), s);
        t.setBool(t.fieldIndex(QStringLiteral("BlqRegVal")), true);
    }
    if (t.hasPending())
        t.post();
}

QStringList seuNums(const QString& alias = QStringLiteral("cobrancaKV"))
{
    DbQuery q(alias);
    q.setStatement(BlqStatements::bloquetosInFileOrder());
    QStringList out;
    for (q.open(); !q.eof(); q.next())
        out << q.asString(QStringLiteral("BlqSeuNum"));
    return out;
}

// Ends the program's sessions on the server, as a dropped network or a restarted server
// would.
bool dropSessions(const EngineProgramDir& dir)
{
    return dir.serverExec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM "
                                         "pg_stat_activity WHERE application_name = 'kvcob'"));
}
} // namespace

class TstStoreServer : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void initTestCase()
    {
        if (!PgTestServer::missing().isEmpty())
            KV_SKIP_OR_FAIL(PgTestServer::missing());
        QVERIFY2(PgTestServer::instance(), qPrintable(PgTestServer::skipReason()));
    }
    void cleanup() { m_env.cleanup(); }

    void aServerThatCannotBeReachedSaysWhichAndWhy_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("server down") << "Port"
                                     << "1"
                                     << "não está respondendo";
        QTest::newRow("wrong database") << "Database"
                                        << "outro"
                                        << "o banco de dados outro não existe";
        QTest::newRow("refused login") << "User"
                                       << "ninguem"
                                       << "recusou o acesso do usuário ninguem";
    }
    void aServerThatCannotBeReachedSaysWhichAndWhy()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        KV_ENGINE_DIR(dir, QStringLiteral("postgres"));
        PgTestServer* server = PgTestServer::instance();
        QByteArray conf = server->confSection();
        QList<QByteArray> lines = conf.split('\n');
        for (QByteArray& line : lines) {
            if (line.startsWith(key.toUtf8() + '='))
                line = key.toUtf8() + '=' + value.toUtf8();
        }
        QVERIFY(TestSupport::writeFile(dir.file(QStringLiteral("kvcob.conf")), lines.join('\n')));
        const QString message = TestSupport::errorOf([] { Database::connection(); });
        QVERIFY2(message.contains(expected), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("servidor PostgreSQL ") + server->socketDir()),
                 qPrintable(message));
        // The program goes on: the same command fails again with the same words.
        QCOMPARE(TestSupport::errorOf([] {
                     DbTable t;
                     t.open();
                 }),
                 message);
    }

    void optionsReachTheServerAndWinOverTheProgramsOwn_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QString>("applicationName");
        QTest::newRow("none") << QByteArray() << "kvcob";
        QTest::newRow("one") << QByteArray("application_name=mesa7") << "mesa7";
        // libpq's own form, settings separated by blanks (a semicolon starts a comment in
        // kvcob.conf).
        QTest::newRow("two") << QByteArray("sslmode=disable application_name=mesa8") << "mesa8";
    }
    void optionsReachTheServerAndWinOverTheProgramsOwn()
    {
        QFETCH(QByteArray, options);
        QFETCH(QString, applicationName);
        KV_ENGINE_DIR(dir, QStringLiteral("postgres"));
        QFile f(dir.file(QStringLiteral("kvcob.conf")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(PgTestServer::instance()->confSection());
        if (!options.isEmpty())
            f.write("Options=" + options + '\n');
        f.close();
        QSqlQuery q(Database::connection());
        QVERIFY(q.exec(QStringLiteral("SELECT current_setting('application_name')")) && q.next());
        QCOMPARE(q.value(0).toString(), applicationName);
    }

    void aDroppedConnectionIsReportedAndTheNextCommandReconnects()
    {
        KV_ENGINE_DIR(dir, QStringLiteral("postgres"));
        {
            DbTable t;
            t.open();
            fill(t, {QStringLiteral("A"), QStringLiteral("B")});
        }
        QCOMPARE(seuNums().size(), 2);
        QVERIFY(dropSessions(dir));
        const QString message = TestSupport::errorOf([] { seuNums(); });
        QVERIFY2(message.contains(QStringLiteral("foi perdida")), qPrintable(message));
        QVERIFY(message.contains(PgTestServer::instance()->socketDir()));
        QCOMPARE(seuNums(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    }

    void otherDesksSeeThePreviousTitlesUntilTheRefillIsCommitted()
    {
        KV_ENGINE_DIR(dir, QStringLiteral("postgres"));
        dir.writeConf(PgTestServer::instance()->confSection("outraMesa"));
        const QString otherDesk = QStringLiteral("outraMesa");
        DbTable t;
        t.open();
        fill(t, {QStringLiteral("OLD1"), QStringLiteral("OLD2"), QStringLiteral("OLD3")});
        t.beginBatch();
        t.emptyTable();
        fill(t, {QStringLiteral("NEW1"), QStringLiteral("NEW2")});
        QCOMPARE(t.rowCount(), 2); // this desk sees its own rows at once
        QCOMPARE(seuNums(otherDesk), (QStringList{QStringLiteral("OLD1"), QStringLiteral("OLD2"),
                                                  QStringLiteral("OLD3")}));
        t.commitBatch();
        QCOMPARE(seuNums(otherDesk), (QStringList{QStringLiteral("NEW1"), QStringLiteral("NEW2")}));
    }

    void aRefillCutOffByADroppedConnectionLeavesThePreviousTitles()
    {
        KV_ENGINE_DIR(dir, QStringLiteral("postgres"));
        {
            DbTable t;
            t.open();
            fill(t, {QStringLiteral("OLD1"), QStringLiteral("OLD2")});
            t.beginBatch();
            t.emptyTable();
            for (int i = 0; i < 5000; ++i) // past one piece of the bulk path
                fill(t, {QStringLiteral("N%1").arg(i)});
            QVERIFY(dropSessions(dir));
            fill(t, {QStringLiteral("LAST")});
            const QString message = TestSupport::errorOf([&] { t.commitBatch(); });
            QVERIFY2(message.contains(QStringLiteral("foi perdida")), qPrintable(message));
        }
        QCOMPARE(seuNums(), (QStringList{QStringLiteral("OLD1"), QStringLiteral("OLD2")}));
    }

    void aHandMadeTableWithoutTheLateFeeColumnsGainsExactTypes()
    {
        KV_ENGINE_DIR(dir, QStringLiteral("postgres"));
        // As an administrator might type it: serial numbering, floating amounts, no collation.
        QVERIFY(dir.serverExec(QStringLiteral(
            "CREATE TABLE blq (BlqSeq serial, BlqAgeCod varchar(4), BlqCtrCod varchar(9), "
            "BlqNosNum varchar(11), BlqSeuNum varchar(10), BlqDatEmi date, BlqDatVen date, "
            "BlqDstDatLim date, BlqNomCed varchar(30), BlqTipCar varchar(2), BlqEspDoc varchar(2), "
            "BlqCodMoe varchar(5), BlqQtdMoe integer, BlqTitVal double precision, "
            "BlqAbtAtrVal double precision, BlqDstVal double precision, BlqJurDiaVal double "
            "precision, "
            "BlqCpfCgcSac varchar(15), BlqSacNom varchar(40), BlqSacEnd varchar(40), "
            "BlqSacBai varchar(12), BlqSacCid varchar(15), BlqSacEtd varchar(2), BlqSacCEP "
            "varchar(8), "
            "BlqSacAvl varchar(30), BlqMsg text, BlqIns text, BlqRegVal boolean, "
            "BlqMsgErr varchar(50), BlqIdcAvi boolean, BlqIdcCAp boolean, BlqCpfCgcCed "
            "varchar(15))")));
        QVERIFY(BlqUpgrade::upgradeIfNeeded());
        QVERIFY(!BlqUpgrade::upgradeIfNeeded());
        QSqlQuery q(Database::connection());
        QVERIFY(q.exec(QStringLiteral(
            "SELECT column_name, data_type, numeric_precision, numeric_scale FROM "
            "information_schema.columns WHERE table_name = 'blq' AND ordinal_position > 32 "
            "ORDER BY ordinal_position")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("blqvalmul"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("numeric"));
        QCOMPARE(q.value(2).toInt(), 15);
        QCOMPARE(q.value(3).toInt(), 2);
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toString(), QStringLiteral("date"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("blqpixemv"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("text"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("blqbustxt"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("text"));
        QVERIFY(!q.next());
        q.finish();

        DbTable t;
        t.open();
        QCOMPARE(t.fieldNames().at(33), QStringLiteral("BlqDatMul"));
        t.beginBatch();
        fill(t, {QStringLiteral("A"), QStringLiteral("B")});
        t.commitBatch();
        t.append();
        t.setFloat(t.fieldIndex(QStringLiteral("BlqValMul")), 0.1 + 0.2);
        t.setFloat(t.fieldIndex(QStringLiteral("BlqTitVal")), 10.25);
        t.post();
        // The serial column numbers the rows as the identity column would.
        DbQuery rows;
        rows.sql() << QStringLiteral(
            "select BlqSeq, BlqValMul, BlqTitVal from Blq order by BlqSeq");
        rows.open();
        QCOMPARE(rows.asInteger(QStringLiteral("BlqSeq")), 1);
        rows.next();
        rows.next();
        QCOMPARE(rows.asInteger(QStringLiteral("BlqSeq")), 3);
        QCOMPARE(rows.asCents(QStringLiteral("BlqValMul")), qint64(30));
        QCOMPARE(rows.value(QStringLiteral("BlqValMul")).toDouble(), 0.3); // stored exact
        QCOMPARE(rows.asCents(QStringLiteral("BlqTitVal")), qint64(1025));
    }

    void aSecondImportLockIsRefusedAtOnceAndFreedWithTheFirstSession()
    {
        KV_ENGINE_DIR(dir, QStringLiteral("postgres"));
        dir.writeConf(PgTestServer::instance()->confSection("outraMesa"));
        {
            const QSqlDatabase here = Database::connection();
            const QSqlDatabase there = Database::connection(QStringLiteral("outraMesa"));
            {
                PgImportLock first(here);
                QElapsedTimer clock;
                clock.start();
                QCOMPARE(TestSupport::errorOf([&] { PgImportLock second(there); }),
                         QStringLiteral(
                             "Outra carga em andamento; tente novamente quando ela terminar."));
                QVERIFY(clock.elapsed() < 2000); // refused, not waited for
            }
            {
                PgImportLock again(there);
            } // released with the first
            // A desk that dies holding it: its session goes, and the lock with it (the
            // release asked for afterwards cannot reach the server any more).
            auto held = std::make_unique<PgImportLock>(here);
            QVERIFY(dropSessions(dir));
            held.reset();
        }
        Database::closeAll();
        QTRY_COMPARE(TestSupport::errorOf([] {
                         PgImportLock after(Database::connection(QStringLiteral("outraMesa")));
                     }),
                     QString());
    }

    void theImportGuardOfTheServerNestsAndRefusesAnotherDesk()
    {
        KV_ENGINE_DIR(dir, QStringLiteral("postgres"));
        dir.writeConf(PgTestServer::instance()->confSection("outraMesa"));
        {
            ImportGuard guard;
            ImportGuard nested; // the batch tool holds it around the import's own
            QCOMPARE(TestSupport::errorOf([] { ImportGuard other(QStringLiteral("outraMesa")); }),
                     ImportGuard::busyMessage());
        }
        QCOMPARE(TestSupport::errorOf([] { ImportGuard other(QStringLiteral("outraMesa")); }),
                 QString());
    }

    void bulkTextKeepsEveryCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("back");
        QTest::addColumn<bool>("batch");
        const QString tricky = QStringLiteral("a\tb\nc\rd\\e \\N f\\.");
        for (const bool batch : {true, false}) {
            const char* how = batch ? "in a batch" : "row by row";
            QTest::addRow("separators and escapes, %s", how) << tricky << tricky << batch;
            QTest::addRow("Windows-1252 letters, %s", how)
                << QStringLiteral("JOSÉ € ÇÃO ÿ") << QStringLiteral("JOSÉ € ÇÃO ÿ") << batch;
            const QString wide = QString::fromUtf8("日本 \xF0\x9F\x98\x80 x");
            QTest::addRow("beyond Latin, %s", how) << wide << wide << batch;
            QTest::addRow("empty, %s", how) << QStringLiteral("") << QStringLiteral("") << batch;
            QTest::addRow("null, %s", how) << QString() << QString() << batch;
            // The server's text cannot hold U+0000: a blank stands for it.
            QTest::addRow("NUL byte, %s", how)
                << QStringLiteral("ab") + QChar(0) + QStringLiteral("c") << QStringLiteral("ab c")
                << batch;
        }
    }
    void bulkTextKeepsEveryCharacter()
    {
        QFETCH(QString, text);
        QFETCH(QString, back);
        QFETCH(bool, batch);
        KV_ENGINE_DIR(dir, QStringLiteral("postgres"));
        DbTable t;
        t.open();
        if (batch)
            t.beginBatch();
        t.append();
        t.setMemo(t.fieldIndex(QStringLiteral("BlqMsg")), text);
        t.setText(t.fieldIndex(QStringLiteral("BlqSeuNum")), QStringLiteral("X"));
        t.post();
        t.commitBatch();
        QSqlQuery q(Database::connection());
        QVERIFY(q.exec(QStringLiteral("SELECT BlqMsg, BlqMsg IS NULL FROM Blq")));
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toBool(), back.isNull());
        QCOMPARE(q.value(0).toString(), back);
        QVERIFY(!q.next());
    }
};

QTEST_GUILESS_MAIN(TstStoreServer)
#include "tst_storeserver.moc"
