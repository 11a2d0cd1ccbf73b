// Processing a return file under faults, with real processes: killed in the middle, a
// second file at the same time, a disk that fills up. The occurrences of before survive
// whole, or the new file's do; never a part of it.
#include "Database.h"
#include "EngineProgramDir.h"
#include "ImportGuard.h"
#include "PgTestServer.h"
#include "RetTestSupport.h"
#include "SmallDisk.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace RetTestSupport;
using TestSupport::kvcobLote;
using Format = RetFile::Format;

namespace {
// n settlements of made-up titles, nosso número from `first` on.
QByteArray bigFile(int n, int first, Format format = Format::Cnab400)
{
    RetFileWriter w(format);
    for (int i = 0; i < n; ++i) {
        w.add(
            RetFileWriter::settlement(QStringLiteral("0341"), QStringLiteral("000000019"),
                                      QStringLiteral("%1").arg(first + i, 11, 10, QLatin1Char('0')),
                                      1000 + i, QDate(2026, 11, 3)));
    }
    return w.bytes();
}

int rows(const QString& table)
{
    const int n = count(QStringLiteral("select count(*) from ") + table);
    Database::closeAll();
    return n;
}

// A small disk of the server's own: a tmpfs that the server's account owns, made a
// tablespace of the throwaway server, onto which the return file's tables and indexes are
// moved. The server then meets a full disk in the middle of a file, as an office's server
// whose disk fills up would. Everything is put back (tables dropped, tablespace removed,
// disk unmounted) at the end, for the other tests of the same server.
class ServerSmallDisk {
public:
    ServerSmallDisk(const EngineProgramDir& dir, const QString& size) : m_dir(dir)
    {
        PgTestServer* server = PgTestServer::instance();
        struct stat owner {};
        if (!server || !m_tmp.isValid() ||
            ::stat(QFile::encodeName(server->dataDir()).constData(), &owner) != 0)
            return;
        const QByteArray options = "size=" + size.toLatin1() +
                                   ",mode=0700,uid=" + QByteArray::number(owner.st_uid) +
                                   ",gid=" + QByteArray::number(owner.st_gid);
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_tmp.path()).constData(), "tmpfs", 0,
                            options.constData()) == 0;
    }
    ~ServerSmallDisk()
    {
        Database::closeAll();
        m_dir.serverExec(QStringLiteral("DROP TABLE IF EXISTS Ret, RetArq"));
        m_dir.serverExec(QStringLiteral("DROP TABLESPACE IF EXISTS kvcobcheio"));
        if (m_mounted)
            ::umount2(QFile::encodeName(m_tmp.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }

    // Moves the return file's tables and their indexes onto the small disk.
    bool take(QString* error) const
    {
        const QString to = QStringLiteral(" SET TABLESPACE kvcobcheio");
        QStringList statements = {QStringLiteral("CREATE TABLESPACE kvcobcheio LOCATION '") +
                                  m_tmp.path() + QLatin1Char('\'')};
        for (const char* table : {"Ret", "RetArq"})
            statements << QStringLiteral("ALTER TABLE ") + QLatin1StringView(table) + to;
        for (const char* index : {"RetArqIdx", "RetTitIdx", "RetCreIdx", "RetArqHashIdx"})
            statements << QStringLiteral("ALTER INDEX ") + QLatin1StringView(index) + to;
        for (const QString& statement : statements) {
            if (!m_dir.serverExec(statement, error))
                return false;
        }
        return true;
    }

private:
    const EngineProgramDir& m_dir;
    QTemporaryDir m_tmp;
    bool m_mounted = false;
};

QString fullDiskMessage()
{
    return QStringLiteral("Disco cheio: o arquivo de retorno não foi gravado e as ocorrências "
                          "anteriores foram mantidas.");
}
} // namespace

class TstRetornoFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { Database::closeAll(); }

    void killedProcessingKeepsThePreviousOccurrences_data()
    {
        QTest::addColumn<int>("afterMs");
        QTest::newRow("killed soon") << 150;
        QTest::newRow("killed later") << 600;
    }
    void killedProcessingKeepsThePreviousOccurrences()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        QFETCH(int, afterMs);
        dropTables(dir);
        const QString before = writeFile(dir.file(QStringLiteral("antes.ret")), bigFile(10, 1));
        QCOMPARE(kvcobLote(dir.path(), {QStringLiteral("retorno"), before}).exitCode, 0);
        Database::closeAll();

        const int n = 100000;
        const QString big = writeFile(dir.file(QStringLiteral("grande.ret")), bigFile(n, 1000));
        QProcess p;
        p.start(TestSupport::program(QStringLiteral("kvcob-lote")),
                {QStringLiteral("--dir"), dir.path(), QStringLiteral("retorno"), big});
        QVERIFY(p.waitForStarted());
        QTest::qWait(afterMs);
        const bool ended = p.state() == QProcess::NotRunning;
        ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished();

        const int ret = rows(QStringLiteral("Ret"));
        const int files = rows(QStringLiteral("RetArq"));
        if (ended) {
            QCOMPARE(ret, 10 + n); // it finished first: all of it
            QCOMPARE(files, 2);
            return;
        }
        QVERIFY2(ret == 10 || ret == 10 + n, qPrintable(QString::number(ret)));
        QCOMPARE(files, ret == 10 ? 1 : 2);
        if (ret == 10) {
            // Nothing of it was kept, so it is not taken for processed: it runs again.
            const auto r = kvcobLote(dir.path(), {QStringLiteral("retorno"), big});
            QVERIFY2(r.exitCode == 0, qPrintable(r.err));
            QCOMPARE(rows(QStringLiteral("Ret")), 10 + n);
        }
    }

    void secondFileAtOnceIsRefused()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        dropTables(dir);
        const QString file = writeFile(dir.file(QStringLiteral("r.ret")), bigFile(5, 1));
        {
            ImportGuard busy(QStringLiteral("cobrancaKV"), ImportGuard::Load::ReturnFile);
            QElapsedTimer t;
            t.start();
            const auto r = kvcobLote(dir.path(), {QStringLiteral("retorno"), file});
            QCOMPARE(r.exitCode, 1);
            QCOMPARE(r.err, ImportGuard::returnBusyMessage());
            QVERIFY(t.elapsed() < 10000); // refused, not waited for
            // A bank file's import is a lock of its own and is not held up by it.
            ImportGuard import;
        }
        QCOMPARE(rows(QStringLiteral("Ret")), 0);
        QCOMPARE(kvcobLote(dir.path(), {QStringLiteral("retorno"), file}).exitCode, 0);
        QCOMPARE(rows(QStringLiteral("Ret")), 5);
    }

    void fullDiskStoresNothing()
    {
        KV_FILE_ENGINE_ONLY();
        SmallDisk disk(QStringLiteral("4m"));
        if (!disk.mounted())
            KV_SKIP_OR_FAIL(SmallDisk::notMounted());
        QTemporaryDir files;
        const QString small = writeFile(files.filePath(QStringLiteral("p.ret")), bigFile(100, 1));
        QCOMPARE(kvcobLote(disk.path(), {QStringLiteral("retorno"), small}).exitCode, 0);
        const QString big =
            writeFile(files.filePath(QStringLiteral("g.ret")), bigFile(60000, 1000));
        const auto r = kvcobLote(disk.path(), {QStringLiteral("retorno"), big});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.startsWith(fullDiskMessage()), qPrintable(r.err));
        TempProgramDir reader; // the disk's database, read as another program would
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("leitor"));
        db.setDatabaseName(disk.path() + QStringLiteral("/cobrancaKV.db"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("select count(*) from Ret")) && q.next());
        QCOMPARE(q.value(0).toInt(), 100);
        QVERIFY(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
        q.finish();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("leitor"));
    }

    // The server's disk fills up in the middle of a large file: the file is refused as a
    // full disk, with what to do, and the server keeps the occurrences of before.
    void serverFullDiskStoresNothing()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        if (!dir.isServer())
            QSKIP("só se aplica ao servidor");
        dropTables(dir);
        const QString small = writeFile(dir.file(QStringLiteral("p.ret")), bigFile(100, 1));
        QCOMPARE(kvcobLote(dir.path(), {QStringLiteral("retorno"), small}).exitCode, 0);
        Database::closeAll();
        ServerSmallDisk disk(dir, QStringLiteral("4m"));
        if (!disk.mounted())
            KV_SKIP_OR_FAIL(SmallDisk::notMounted());
        QString error;
        QVERIFY2(disk.take(&error), qPrintable(error));

        const QString big =
            writeFile(dir.file(QStringLiteral("g.ret")), bigFile(60000, 1000, Format::Cnab240));
        const auto r = kvcobLote(dir.path(), {QStringLiteral("retorno"), big});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.startsWith(fullDiskMessage()), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("Libere espaço no disco do servidor")),
                 qPrintable(r.err));
        QCOMPARE(rows(QStringLiteral("Ret")), 100);
        QCOMPARE(rows(QStringLiteral("RetArq")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from RetArq where RetArqNom = 'p.ret'")), 1);
        Database::closeAll();
    }
};

QTEST_GUILESS_MAIN(TstRetornoFaults)
#include "tst_retornofaults.moc"
