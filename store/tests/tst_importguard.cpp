// The database under the import's feet: the one-import-at-a-time guard, the write-ahead
// log, and failures of the engine told apart from bad data.
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbError.h"
#include "DbTable.h"
#include "ImportGuard.h"
#include "KvError.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
QString lockFile()
{
    return Database::connection().databaseName() + QStringLiteral("-carga");
}

// Another program's hold on the lock: a descriptor of its own, as a second process has.
class ForeignHold {
public:
    ForeignHold()
    {
        m_fd =
            ::open(QFile::encodeName(lockFile()).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        m_held = m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    }
    ~ForeignHold()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

QString scalar(const QString& sql)
{
    QSqlQuery q(Database::connection());
    if (!q.exec(sql) || !q.next())
        return QStringLiteral("<%1>").arg(q.lastError().text());
    return q.value(0).toString();
}

void addTitles(int n)
{
    DbTable t;
    t.open();
    t.beginBatch();
    for (int i = 0; i < n; ++i) {
        t.append();
        t.setText(t.fieldIndex(QStringLiteral("BlqNosNum")), QString::number(i));
        t.setText(t.fieldIndex(QStringLiteral("BlqSacNom")), QString(40, QLatin1Char('N')));
        t.setMemo(t.fieldIndex(QStringLiteral("BlqMsg")), QString(300, QLatin1Char('m')));
    }
    t.post();
    t.commitBatch();
    t.close();
}
} // namespace

class TstImportGuard : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void aSecondImportIsRefusedAtOnce()
    {
        TempProgramDir dir;
        ForeignHold other;
        QVERIFY(other.held());
        QElapsedTimer clock;
        clock.start();
        try {
            ImportGuard guard;
            QFAIL("the guard was taken while another program held it");
        } catch (const KvError& e) {
            QCOMPARE(e.message(), QStringLiteral("Outra carga em andamento; tente novamente "
                                                 "quando ela terminar."));
        }
        QVERIFY(clock.elapsed() < 500);
    }

    void theGuardIsReleasedWhenItGoes()
    {
        TempProgramDir dir;
        {
            ImportGuard guard;
            ImportGuard nested; // the batch tool holds it around the import's own
            QVERIFY(!ForeignHold().held());
        }
        QVERIFY(ForeignHold().held());
    }

    void theDatabaseIsInWriteAheadLogMode()
    {
        TempProgramDir dir;
        QCOMPARE(scalar(QStringLiteral("PRAGMA journal_mode")), QStringLiteral("wal"));
    }

    // A file of the old journal mode is converted when the program first opens it, and an
    // outside tool still reads it afterwards.
    void aDatabaseOfTheOldJournalModeIsConverted()
    {
        if (!TestSupport::haveProgram(QStringLiteral("sqlite3")))
            QSKIP("sqlite3 is not installed");
        TempProgramDir dir;
        const QString file = dir.file(QStringLiteral("cobrancaKV.db"));
        int rc = -1;
        TestSupport::run(QStringLiteral("sqlite3"),
                         {file, QStringLiteral("CREATE TABLE Blq (BlqSeq INTEGER PRIMARY KEY, "
                                               "BlqNosNum VARCHAR(11)); INSERT INTO Blq "
                                               "(BlqNosNum) VALUES ('00000000019');")},
                         &rc);
        QCOMPARE(rc, 0);
        QCOMPARE(TestSupport::run(QStringLiteral("sqlite3"),
                                  {file, QStringLiteral("PRAGMA journal_mode")})
                     .trimmed(),
                 QByteArray("delete"));
        QCOMPARE(scalar(QStringLiteral("PRAGMA journal_mode")), QStringLiteral("wal"));
        Database::closeAll();
        QCOMPARE(TestSupport::run(QStringLiteral("sqlite3"),
                                  {file, QStringLiteral("SELECT BlqNosNum FROM Blq")}, &rc)
                     .trimmed(),
                 QByteArray("00000000019"));
        QCOMPARE(rc, 0);
    }

    // The engine's failures reach the import as DbError, with the cause a user can act on.
    void aDatabaseThatCannotGrowIsFull()
    {
        TempProgramDir dir;
        BlqUpgrade::upgradeIfNeeded();
        addTitles(10);
        const int pages = scalar(QStringLiteral("PRAGMA page_count")).toInt();
        QVERIFY(pages > 0);
        scalar(QStringLiteral("PRAGMA max_page_count = %1").arg(pages + 2));
        try {
            addTitles(2000);
            QFAIL("2000 titles went into a database that could not grow");
        } catch (const DbError& e) {
            QCOMPARE(e.cause(), DbError::Cause::Full);
            QCOMPARE(e.message(), QStringLiteral("Disco cheio"));
        }
        Database::closeAll();
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Blq")), QStringLiteral("10"));
    }

    void anotherWriterIsNamedInPortuguese()
    {
        TempProgramDir dir;
        BlqUpgrade::upgradeIfNeeded();
        addTitles(1);
        // An outside tool holds the write lock for a while.
        QProcess tool;
        tool.start(QStringLiteral("sqlite3"), {dir.file(QStringLiteral("cobrancaKV.db"))});
        if (!tool.waitForStarted())
            QSKIP("sqlite3 is not installed");
        tool.write("BEGIN IMMEDIATE; INSERT INTO Blq (BlqNosNum) VALUES ('x');\n");
        tool.write(".shell sleep 4\nCOMMIT;\n");
        tool.closeWriteChannel();
        QTest::qWait(500);
        try {
            addTitles(1);
            QFAIL("a second writer got in");
        } catch (const DbError& e) {
            QCOMPARE(e.cause(), DbError::Cause::Busy);
            QCOMPARE(e.message(), DbError::busyMessage());
        }
        QVERIFY(tool.waitForFinished(10000));
    }

    // A reading command used to add the late-fee columns to whatever table it found.
    void theUpgradeLeavesAForeignTableAlone()
    {
        TempProgramDir dir;
        QSqlQuery q(Database::connection());
        QVERIFY(q.exec(QStringLiteral("DROP TABLE Blq")));
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE Blq (a TEXT, b TEXT, c TEXT)")));
        QVERIFY(!BlqUpgrade::upgradeIfNeeded());
        DbTable t;
        t.open();
        QCOMPARE(int(t.fieldNames().size()), 3);
    }
};

QTEST_GUILESS_MAIN(TstImportGuard)
#include "tst_importguard.moc"
