// What the user reads when the database refuses to be written: the engine's own words
// ("attempt to write a readonly database") came alone, in English, naming nothing.

#include "BlqStatements.h"
#include "Database.h"
#include "DbQuery.h"
#include "DbTable.h"
#include "KvError.h"
#include "ProgramDir.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QFile>
#include <QSqlQuery>
#include <QtTest>

class TstDatabaseAdvice : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void aDatabaseThatTakesNoWritesIsNamed()
    {
        TempProgramDir dir;
        {
            DbTable t;
            t.open();
            t.close();
        }
        // The engine refuses every write on this connection, as it does for a read-only
        // file or folder.
        QSqlQuery pragma(Database::connection());
        QVERIFY(pragma.exec(QStringLiteral("PRAGMA query_only = ON")));
        DbTable t;
        t.open();
        try {
            t.emptyTable();
            QFAIL("the table was emptied");
        } catch (const KvError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("readonly")), qPrintable(e.message()));
            QCOMPARE(e.advice(),
                     QStringLiteral("Não foi possível gravar no banco de dados %1: o arquivo ou "
                                    "a sua pasta não aceita gravação; peça permissão de escrita "
                                    "para os dois.")
                         .arg(dir.file(QStringLiteral("cobrancaKV.db"))));
            QVERIFY(e.userText().startsWith(e.message() + QLatin1Char('\n')));
        }
    }

    // With the default database open as well, the advice used to name its file whichever
    // connection had failed.
    void theFileOfTheFailingConnectionIsNamed()
    {
        TempProgramDir dir;
        {
            QFile conf(dir.file(QStringLiteral("kvcob.conf")));
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write("[OUTRO]\nDriver=QSQLITE\nDatabase=outro.db\n");
        }
        DbQuery create(QStringLiteral("outro"));
        create.setStatement(BlqStatements::createTable());
        create.execSql();
        QVERIFY(Database::connection().isOpen()); // the default file, cobrancaKV.db
        QSqlQuery pragma(Database::connection(QStringLiteral("outro")));
        QVERIFY(pragma.exec(QStringLiteral("PRAGMA query_only = ON")));
        DbTable t(QStringLiteral("Blq.DB"), QStringLiteral("outro"));
        t.open();
        try {
            t.emptyTable();
            QFAIL("the table was emptied");
        } catch (const KvError& e) {
            QVERIFY2(e.advice().contains(dir.file(QStringLiteral("outro.db"))),
                     qPrintable(e.advice()));
            QVERIFY(!e.advice().contains(QStringLiteral("cobrancaKV")));
        }
    }

    void advice_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("says");
        QTest::newRow("read-only") << "8"
                                   << "attempt to write a readonly database"
                                   << "não aceita gravação";
        QTest::newRow("read-only, extended code") << "776"
                                                  << ""
                                                  << "não aceita gravação";
        QTest::newRow("disk full") << "13"
                                   << "database or disk is full"
                                   << "o disco está cheio";
        QTest::newRow("anything else") << "1"
                                       << "no such table: X"
                                       << "";
    }
    void advice()
    {
        QFETCH(QString, code);
        QFETCH(QString, text);
        QFETCH(QString, says);
        const QString advice = Database::advice(code, text, QStringLiteral("/x/cobrancaKV.db"));
        if (says.isEmpty()) {
            QVERIFY(advice.isEmpty());
        } else {
            QVERIFY2(advice.contains(says), qPrintable(advice));
            QVERIFY(advice.contains(QStringLiteral("/x/cobrancaKV.db")));
        }
    }
};

QTEST_GUILESS_MAIN(TstDatabaseAdvice)
#include "tst_databaseadvice.moc"
