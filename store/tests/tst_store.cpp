#include "BlqSchema.h"
#include "BlqStatements.h"
#include "BlqTitles.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbQuery.h"
#include "DbTable.h"
#include "EngineProgramDir.h"
#include "KvError.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QFile>
#include <QSqlQuery>
#include <QtTest>

namespace {
QStringList column(DbQuery& q, const QString& field)
{
    QStringList out;
    for (q.open(); !q.eof(); q.next())
        out << q.asString(field);
    return out;
}

void engineRows()
{
    QTest::addColumn<QString>("engine");
    for (const QString& engine : EngineProgramDir::engines())
        QTest::newRow(qPrintable(engine)) << engine;
}
} // namespace

class TstStore : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void createsTheTableWithTheFirst32Columns_data() { engineRows(); }
    void createsTheTableWithTheFirst32Columns()
    {
        QFETCH(QString, engine);
        KV_ENGINE_DIR(dir, engine);
        DbTable t;
        t.open();
        QCOMPARE(int(t.fieldNames().size()), 32);
        QCOMPARE(t.fieldNames().at(0), QStringLiteral("BlqSeq"));
        QCOMPARE(t.fieldNames().at(31), QStringLiteral("BlqCpfCgcCed"));
        QCOMPARE(t.rowCount(), 0);
        QCOMPARE(QFile::exists(dir.file(QStringLiteral("cobrancaKV.db"))), !dir.isServer());
    }

    void schemaUpgrade_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<bool>("upgraded");
        QTest::addColumn<int>("columns");
        for (const QString& e : EngineProgramDir::engines()) {
            QTest::addRow("%s: neither", qPrintable(e)) << e << QString() << true << 36;
            // One late-fee column only: a table the import refuses, left as it is.
            QTest::addRow("%s: value only", qPrintable(e))
                << e << QStringLiteral("BlqValMul MONEY") << false << 33;
            QTest::addRow("%s: date only, lower case", qPrintable(e))
                << e << QStringLiteral("blqdatmul DATE") << false << 33;
            // The table of the release before the PIX payloads.
            QTest::addRow("%s: both late-fee columns, no PIX payload", qPrintable(e))
                << e << QStringLiteral("BlqValMul MONEY;BlqDatMul DATE") << true << 36;
            // The release before the titles search.
            QTest::addRow("%s: no search column", qPrintable(e))
                << e << QStringLiteral("BlqValMul MONEY;BlqDatMul DATE;blqpixemv TEXT") << true
                << 36;
            QTest::addRow("%s: all of them", qPrintable(e))
                << e
                << QStringLiteral("BlqValMul MONEY;BlqDatMul DATE;blqpixemv TEXT;BlqBusTxt TEXT")
                << false << 36;
        }
    }
    void schemaUpgrade()
    {
        QFETCH(QString, engine);
        QFETCH(QString, extra);
        QFETCH(bool, upgraded);
        QFETCH(int, columns);
        KV_ENGINE_DIR(dir, engine);
        for (const QString& column : extra.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            DbQuery statement;
            statement.sql() << QStringLiteral("ALTER TABLE Blq ADD ") + column;
            statement.execSql();
        }
        {
            DbQuery statement;
            statement.sql() << QStringLiteral("INSERT INTO Blq (BlqNosNum) VALUES ('00000000019')");
            statement.execSql();
        }
        QCOMPARE(BlqUpgrade::upgradeIfNeeded(), upgraded);
        QCOMPARE(BlqUpgrade::upgradeIfNeeded(), false);
        DbTable t;
        t.open();
        QCOMPARE(int(t.fieldNames().size()), columns);
        if (columns == 36) {
            QCOMPARE(t.fieldNames().at(32), QStringLiteral("BlqValMul"));
            QCOMPARE(t.fieldNames().at(33), QStringLiteral("BlqDatMul"));
            QCOMPARE(t.fieldNames().at(34), QStringLiteral("BlqPixEmv"));
            // Not a column of the title's: the server names it in its own lower case.
            QCOMPARE(t.fieldNames().at(35).toLower(), QStringLiteral("blqbustxt"));
        }
        // The titles already there stay, without a payload of their own.
        QCOMPARE(t.rowCount(), 1);
        if (columns == 36) {
            DbQuery q;
            q.sql() << QStringLiteral("select * from Blq");
            q.open();
            QCOMPARE(q.asString(QStringLiteral("BlqNosNum")), QStringLiteral("00000000019"));
            QVERIFY(q.isNull(QStringLiteral("BlqPixEmv")));
        }
    }

    void storesValuesAsOutsideToolsExpect_data() { engineRows(); }
    void storesValuesAsOutsideToolsExpect()
    {
        QFETCH(QString, engine);
        KV_ENGINE_DIR(dir, engine);
        BlqUpgrade::upgradeIfNeeded();
        DbTable t;
        t.open();
        t.append();
        t.setText(t.fieldIndex(QStringLiteral("blqagecod")), QStringLiteral("012345")); // cut to 4
        t.setText(t.fieldIndex(QStringLiteral("BlqSacNom")), QStringLiteral("JOSÉ DA SILVA"));
        t.setDate(t.fieldIndex(QStringLiteral("BlqDatVen")), QDate(2000, 7, 4));
        t.setFloat(t.fieldIndex(QStringLiteral("BlqTitVal")), 1234.56);
        t.setBool(t.fieldIndex(QStringLiteral("BlqRegVal")), true);
        t.setInteger(t.fieldIndex(QStringLiteral("BlqQtdMoe")), 42);
        t.setMemo(t.fieldIndex(QStringLiteral("BlqMsg")), QString(390, QLatin1Char('x')));
        t.setText(t.fieldIndex(QStringLiteral("BlqMsgErr")), QString(62, QLatin1Char('E')));
        t.post();
        t.close();

        QSqlQuery raw(Database::connection());
        QVERIFY(raw.exec(QStringLiteral(
            "select BlqAgeCod, BlqDatVen, BlqTitVal, BlqRegVal, "
            "length(BlqMsg), length(BlqMsgErr), BlqDatEmi, BlqSacNom, BlqSeq from Blq")));
        QVERIFY(raw.next());
        QCOMPARE(raw.value(0).toString(), QStringLiteral("0123"));
        QCOMPARE(raw.value(1).toString(), QStringLiteral("2000-07-04"));
        QCOMPARE(raw.value(2).toDouble(), 1234.56);
        QCOMPARE(raw.value(3).toInt(), 1);
        QCOMPARE(raw.value(4).toInt(), 390);
        QCOMPARE(raw.value(5).toInt(), 50);
        QVERIFY(raw.value(6).isNull());
        QCOMPARE(raw.value(7).toString(), QStringLiteral("JOSÉ DA SILVA"));
        QCOMPARE(raw.value(8).toInt(), 1);

        DbQuery q;
        q.setStatement(BlqStatements::bloquetosInFileOrder());
        q.open();
        QVERIFY(!q.eof());
        QCOMPARE(q.asDate(QStringLiteral("BLQDATVEN")), QDate(2000, 7, 4));
        QCOMPARE(q.asString(QStringLiteral("BlqDatVen")), QStringLiteral("04/07/2000"));
        QCOMPARE(q.asDate(QStringLiteral("BlqDatEmi")), QDate());
        QCOMPARE(q.asFloat(QStringLiteral("BlqAbtAtrVal")), 0.0);
        QCOMPARE(q.asCents(QStringLiteral("BlqTitVal")), qint64(123456));
        QCOMPARE(q.asInteger(QStringLiteral("BlqQtdMoe")), 42);
        QCOMPARE(q.asInteger(QStringLiteral("BlqAgeCod")), 123);
        QVERIFY_THROWS_EXCEPTION(KvError, q.asInteger(QStringLiteral("BlqSacNom")));
        QVERIFY_THROWS_EXCEPTION(KvError, q.value(QStringLiteral("NoSuchField")));
    }

    void badValuesRaiseErrors_data() { engineRows(); }
    void badValuesRaiseErrors()
    {
        QFETCH(QString, engine);
        KV_ENGINE_DIR(dir, engine);
        DbTable t;
        t.open();
        QVERIFY_THROWS_EXCEPTION(KvError, t.post()); // nothing pending
        t.append();
        // The table numbers its rows itself.
        QVERIFY_THROWS_EXCEPTION(KvError, t.setInteger(t.fieldIndex(QStringLiteral("BlqSeq")), 12));
        QVERIFY_THROWS_EXCEPTION(
            KvError, t.setText(t.fieldIndex(QStringLiteral("BlqNada")), QStringLiteral("x")));
        t.close(); // drops the pending row
        t.open();
        QCOMPARE(t.rowCount(), 0);
    }

    void statementsRunAsWritten_data() { engineRows(); }
    void statementsRunAsWritten()
    {
        QFETCH(QString, engine);
        KV_ENGINE_DIR(dir, engine);
        const QString noNumber;
        BlqTitles::store(
            {BlqTitles::keyed(QStringLiteral("0002"), QStringLiteral("000000019"), noNumber,
                              QStringLiteral("C"), {}, true),
             BlqTitles::keyed(QStringLiteral("0001"), QStringLiteral("000000027"), noNumber,
                              QStringLiteral("B"), QStringLiteral("NOS. NÚMERO ZERADO"), false),
             BlqTitles::keyed(QStringLiteral("0001"), QStringLiteral("000000027"), noNumber,
                              QStringLiteral("A"), {}, true),
             BlqTitles::keyed(QStringLiteral("0001"), QStringLiteral("000000019"), noNumber,
                              QStringLiteral("D"), {}, true)});
        BlqUpgrade::upgradeIfNeeded();

        DbQuery q3;
        q3.setStatement(BlqStatements::bloquetosByContract());
        QCOMPARE(column(q3, QStringLiteral("BlqSeuNum")).size(), 3);
        QCOMPARE(q3.rowCount(), 3);

        DbQuery q4;
        q4.setStatement(BlqStatements::bloquetosInFileOrder());
        QCOMPARE(column(q4, QStringLiteral("BlqSeuNum")),
                 (QStringList{QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("D")}));

        DbQuery q5;
        q5.setStatement(BlqStatements::rejected());
        QCOMPARE(column(q5, QStringLiteral("BlqMsgErr")),
                 QStringList{QStringLiteral("NOS. NÚMERO ZERADO")});

        // No order in the statement: the names come in the order their rows were stored,
        // on the server as on the file.
        DbQuery q6;
        q6.setStatement(BlqStatements::beneficiaries());
        QCOMPARE(column(q6, QStringLiteral("BlqNomCed")),
                 (QStringList{QStringLiteral("CEDENTE 0002"), QStringLiteral("CEDENTE 0001")}));

        DbQuery q7;
        q7.setStatement(BlqStatements::contracts());
        QCOMPARE(column(q7, QStringLiteral("BlqCtrCod")),
                 (QStringList{QStringLiteral("000000019"), QStringLiteral("000000027"),
                              QStringLiteral("000000019")}));

        DbQuery all;
        all.setStatement(BlqStatements::continuousRows(false));
        QCOMPARE(column(all, QStringLiteral("BlqSeuNum")),
                 (QStringList{QStringLiteral("D"), QStringLiteral("A"), QStringLiteral("C")}));

        DbQuery one;
        one.setStatement(BlqStatements::continuousRows(true));
        one.setParam(QStringLiteral("ParmAgeCod"), QStringLiteral("0001"));
        one.setParam(QStringLiteral("ParmCtrCod"), QStringLiteral("000000027"));
        QCOMPARE(column(one, QStringLiteral("BlqSeuNum")), QStringList{QStringLiteral("A")});
        QCOMPARE(one.rowCount(), 1);
    }

    void onlyRejectedRowsStillCount_data() { engineRows(); }
    void onlyRejectedRowsStillCount()
    {
        QFETCH(QString, engine);
        KV_ENGINE_DIR(dir, engine);
        BlqTitles::store({BlqTitles::keyed(QStringLiteral("0001"), QStringLiteral("1"), QString(),
                                           QStringLiteral("X"), QStringLiteral("E"))});
        DbTable t;
        t.open();
        QCOMPARE(t.rowCount(), 1);
        DbQuery q4;
        q4.setStatement(BlqStatements::bloquetosInFileOrder());
        q4.open();
        QVERIFY(q4.eof());
        QCOMPARE(q4.rowCount(), 0);
        t.emptyTable();
        QCOMPARE(t.rowCount(), 0);
    }

    void textsSortByteByByteOnBothEngines_data() { engineRows(); }
    void textsSortByteByByteOnBothEngines()
    {
        // Free text of the bank file ordered by the rejected-titles statement: the server's
        // locale must not reorder it, or the report's pages would differ from desk to desk.
        QFETCH(QString, engine);
        KV_ENGINE_DIR(dir, engine);
        const QStringList seu = {QStringLiteral("b"),  QStringLiteral("B"),  QStringLiteral("a"),
                                 QStringLiteral(" z"), QStringLiteral("_x"), QStringLiteral("É"),
                                 QStringLiteral("ab"), QStringLiteral("a b")};
        QList<BlqTitle> titles;
        for (const QString& s : seu)
            titles << BlqTitles::keyed(QStringLiteral("0001"), QStringLiteral("1"), QString(), s,
                                       QStringLiteral("E"), false);
        BlqTitles::store(titles);
        DbQuery q5;
        q5.setStatement(BlqStatements::rejected());
        QCOMPARE(column(q5, QStringLiteral("BlqSeuNum")),
                 (QStringList{QStringLiteral(" z"), QStringLiteral("B"), QStringLiteral("_x"),
                              QStringLiteral("a"), QStringLiteral("a b"), QStringLiteral("ab"),
                              QStringLiteral("b"), QStringLiteral("É")}));
        if (dir.isServer()) {
            // The test server sorts by bytes anyway; the column itself must say so.
            QSqlQuery q(Database::connection());
            QVERIFY(q.exec(QStringLiteral(
                "SELECT count(*) FROM information_schema.columns WHERE table_name = 'blq' "
                "AND data_type IN ('character varying', 'text') AND collation_name <> 'C'")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 0);
        }
    }

    void aPasswordInTheConfRefusesAndSaysWhereItBelongs_data()
    {
        QTest::addColumn<QByteArray>("conf");
        QTest::newRow("server") << QByteArray("[cobrancaKV]\nDriver=QPSQL\nHost=h\nDatabase=d\n"
                                              "User=u\nPassword=segredo\n");
        QTest::newRow("file, key in lower case")
            << QByteArray("[COBRANCAKV]\nDriver=QSQLITE\npassword=segredo\n");
        QTest::newRow("empty value")
            << QByteArray("[cobrancaKV]\nDriver=QPSQL\nDatabase=d\nPassword=\n");
    }
    void aPasswordInTheConfRefusesAndSaysWhereItBelongs()
    {
        QFETCH(QByteArray, conf);
        TempProgramDir dir;
        QVERIFY(TestSupport::writeFile(dir.file(QStringLiteral("kvcob.conf")), conf));
        try {
            Database::connection();
            QFAIL("opened with a password in kvcob.conf");
        } catch (const KvError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("~/.pgpass")), qPrintable(e.message()));
            QVERIFY(e.message().contains(QStringLiteral("PGPASSFILE")));
            QVERIFY(e.message().contains(QStringLiteral("kvcob.conf")));
            QVERIFY(!e.message().contains(QStringLiteral("segredo")));
        }
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("cobrancaKV.db"))));
    }

    void anUnknownDriverIsNamed_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::newRow("another engine") << QStringLiteral("QMYSQL");
        QTest::newRow("misspelt") << QStringLiteral("QPSQ");
    }
    void anUnknownDriverIsNamed()
    {
        QFETCH(QString, driver);
        TempProgramDir dir;
        QVERIFY(
            TestSupport::writeFile(dir.file(QStringLiteral("kvcob.conf")),
                                   "[cobrancaKV]\nDriver=" + driver.toUtf8() + "\nDatabase=x\n"));
        try {
            Database::connection();
            QFAIL("opened with an unknown driver");
        } catch (const KvError& e) {
            QVERIFY2(e.message().contains(QLatin1Char('"') + driver + QLatin1Char('"')),
                     qPrintable(e.message()));
            QVERIFY(e.message().contains(QStringLiteral("QSQLITE")));
            QVERIFY(e.message().contains(QStringLiteral("QPSQL")));
        }
    }

    void newFilesTakeLargePagesAndOldOnesGrowWhenAlone()
    {
        TempProgramDir dir;
        const QString file = dir.file(QStringLiteral("cobrancaKV.db"));
        auto pragma = [](QSqlDatabase& db, const char* name) {
            QSqlQuery q(db);
            return q.exec(QLatin1StringView("PRAGMA ") + QLatin1StringView(name)) && q.next()
                       ? q.value(0).toString()
                       : QString();
        };
        {
            // A file of the old page size, as earlier versions of the program made it.
            QSqlDatabase old =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("antigo"));
            old.setDatabaseName(file);
            QVERIFY(old.open());
            QSqlQuery q(old);
            QVERIFY(q.exec(QStringLiteral("PRAGMA page_size = 4096")));
            QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode = WAL")));
            QVERIFY(q.exec(BlqStatements::createTable().joined(false)));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO Blq (BlqNosNum) VALUES ('26000001010')")));
            QCOMPARE(pragma(old, "page_size"), QStringLiteral("4096"));

            // Another reader in the middle of reading: nothing changes, nothing waits.
            QVERIFY(old.transaction());
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM Blq")) && q.next());
            QVERIFY(!Database::enlargePages());
            QVERIFY(old.rollback());
            q.finish();
            QCOMPARE(pragma(old, "page_size"), QStringLiteral("4096"));
            QCOMPARE(pragma(old, "journal_mode"), QStringLiteral("wal"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("antigo"));

        // Alone with the file: large pages, the log kept, the titles kept.
        QVERIFY(Database::enlargePages());
        QSqlDatabase db = Database::connection();
        QCOMPARE(pragma(db, "page_size"), QString::number(Database::kPageSize));
        QCOMPARE(pragma(db, "journal_mode"), QStringLiteral("wal"));
        DbQuery q(QStringLiteral("cobrancaKV"));
        q.sql() << QStringLiteral("SELECT BlqNosNum FROM Blq");
        QCOMPARE(column(q, QStringLiteral("BlqNosNum")),
                 QStringList{QStringLiteral("26000001010")});
        q.close();
        QVERIFY(Database::enlargePages()); // once is enough
        Database::closeAll();

        TempProgramDir fresh;
        QSqlDatabase made = Database::connection();
        QCOMPARE(pragma(made, "page_size"), QString::number(Database::kPageSize));
    }

    void damagedOrForeignDatabaseGivesAClearError()
    {
        TempProgramDir dir;
        QVERIFY(TestSupport::writeFile(dir.file(QStringLiteral("cobrancaKV.db")),
                                       QByteArray(4096, 'Z')));
        try {
            DbTable t;
            t.open();
            QFAIL("a damaged file opened");
        } catch (const KvError& e) {
            QVERIFY(!e.message().isEmpty());
        }
    }

    void readOnlyDirectoryGivesAClearError()
    {
        KV_RUN_UNPRIVILEGED(); // root writes into read-only folders
        TempProgramDir dir;
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QVERIFY_THROWS_EXCEPTION(KvError, Database::connection());
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
    }

    void configuredAliasPointsElsewhere()
    {
        TempProgramDir dir;
        QVERIFY(TestSupport::writeFile(dir.file(QStringLiteral("kvcob.conf")),
                                       "[COBRANCAKV]\nDriver=QSQLITE\nDatabase=outro.db\n"));
        {
            DbQuery statement;
            statement.setStatement(BlqStatements::createTable());
            statement.execSql();
        }
        QVERIFY(QFile::exists(dir.file(QStringLiteral("outro.db"))));
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("cobrancaKV.db"))));
        QVERIFY_THROWS_EXCEPTION(KvError, Database::connection(QStringLiteral("outroAlias")));
    }
};

QTEST_GUILESS_MAIN(TstStore)
#include "tst_store.moc"
