// The import under faults, with real processes: killed in the middle, a second import at
// the same time, readers while it writes, a disk that fills up, a database that refuses to
// grow. Whatever happens, the titles of before survive, or those of the new file do; never
// nothing, never a mix.
#include "BankFileWriter.h"
#include "Database.h"
#include "FedImport.h"
#include "ImportTestSupport.h"
#include "SmallDisk.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QProcess>
#include <QSqlError>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ImportTestSupport;
using Title = BankFileWriter::Title;

namespace {
using TestSupport::kvcobLote;
using Run = TestSupport::ToolRun;

// n valid titles of one contract, nosso número from `first` on.
QList<Title> titles(int n, int first = 1)
{
    QList<Title> out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        Title t;
        t.nossoNumero = QStringLiteral("%1").arg(first + i, 10, 10, QLatin1Char('0'));
        t.seuNumero = QStringLiteral("S%1").arg(first + i, 9, 10, QLatin1Char('0'));
        out << t;
    }
    return out;
}

QByteArray bodyOf(const QList<Title>& list)
{
    BankFileWriter w;
    for (const Title& t : list)
        w.title(t);
    return w.bytes();
}

QByteArray headerBlock()
{
    BankFileWriter w;
    w.header(QStringLiteral("01"), QStringLiteral("CEDENTE DE TESTE"));
    return w.bytes();
}

QByteArray trailerBlock()
{
    BankFileWriter w;
    w.trailer();
    return w.bytes();
}

// The count of Blq and the set of nosso números, read through a connection of its own, as
// another program would.
struct Seen {
    int rows = -1;
    QString firstNosNum, lastNosNum;
};

Seen seen(const QString& dbFile)
{
    Seen s;
    const QString name = QStringLiteral("outside-reader");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dbFile);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(
                    QStringLiteral("SELECT count(*), min(BlqNosNum), max(BlqNosNum) FROM Blq")) &&
                q.next()) {
                s.rows = q.value(0).toInt();
                s.firstNosNum = q.value(1).toString();
                s.lastNosNum = q.value(2).toString();
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return s;
}

// Whether a process holds the import's lock on the database of a folder.
bool importRunning(const QString& dir)
{
    const QByteArray lock = QFile::encodeName(dir + QStringLiteral("/cobrancaKV.db-carga"));
    const int fd = ::open(lock.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

QString dbOf(const QString& dir)
{
    return dir + QStringLiteral("/cobrancaKV.db");
}

// Imports `count` generated titles into the program folder `dir` with the batch tool, from a
// bank file it writes at `file` first; the tool's exit code.
int importTitles(const QString& dir, const QString& file, int count)
{
    return kvcobLote(dir, {QStringLiteral("importar"), writeFile(file, fileOf(titles(count)))})
        .exitCode;
}

QString undone(const QString& cause)
{
    return cause + QStringLiteral(": a carga foi desfeita e os títulos anteriores foram mantidos.");
}
} // namespace

class TstImportFaults : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    // The table used to be emptied by a statement committed on its own, before the rows.
    void killedImportKeepsThePreviousTitles_data()
    {
        QTest::addColumn<int>("fedTitles");
        QTest::newRow("killed right after the start") << 0;
        QTest::newRow("killed after a few titles") << 10;
        QTest::newRow("killed after many titles") << 20000;
    }
    void killedImportKeepsThePreviousTitles()
    {
        QFETCH(int, fedTitles);
        TempProgramDir dir;
        const QString before =
            writeFile(dir.file(QStringLiteral("antes.rem")), fileOf(titles(1000)));
        QCOMPARE(kvcobLote(dir.path(), {QStringLiteral("importar"), before}).exitCode, 0);

        {
            FedImport import(dir.path(), headerBlock() + bodyOf(titles(fedTitles, 500000)),
                             [&] { return importRunning(dir.path()); });
            import.killHard();
        }
        const Seen s = seen(dbOf(dir.path()));
        QCOMPARE(s.rows, 1000);
        QVERIFY(s.firstNosNum.startsWith(QStringLiteral("0000000001"))); // the file of before
        QVERIFY(!importRunning(dir.path()));

        // The database is whole, and the next import runs.
        QSqlQuery q(Database::connection());
        QVERIFY(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
        Database::closeAll();
        QCOMPARE(importTitles(dir.path(), dir.file(QStringLiteral("depois.rem")), 3), 0);
        QCOMPARE(seen(dbOf(dir.path())).rows, 3);
    }

    // Two imports at the same moment both reported success and could leave both files'
    // titles in the table.
    void secondImportIsRefusedAndChangesNothing()
    {
        TempProgramDir dir;
        QCOMPARE(importTitles(dir.path(), dir.file(QStringLiteral("antes.rem")), 1000), 0);
        const QString other =
            writeFile(dir.file(QStringLiteral("outro.rem")), fileOf(titles(5, 700000)));

        FedImport first(dir.path(), headerBlock() + bodyOf(titles(100, 500000)),
                        [&] { return importRunning(dir.path()); });
        QElapsedTimer clock;
        clock.start();
        const Run second = kvcobLote(dir.path(), {QStringLiteral("importar"), other});
        QVERIFY2(clock.elapsed() < 1500, "the second import waited instead of refusing at once");
        QCOMPARE(second.exitCode, 1);
        QCOMPARE(second.err, QStringLiteral("Outra carga em andamento; tente novamente quando ela "
                                            "terminar."));
        QVERIFY(!second.out.trimmed().contains(QStringLiteral("sucesso")));
        QCOMPARE(seen(dbOf(dir.path())).rows, 1000);

        QCOMPARE(first.finish(bodyOf(titles(100, 500100)) + trailerBlock()), 0);
        QVERIFY(first.output().endsWith(QStringLiteral("Carga finalizada com sucesso")));
        const Seen s = seen(dbOf(dir.path()));
        QCOMPARE(s.rows, 200); // the first file's titles, and only those
        QVERIFY(s.firstNosNum.startsWith(QStringLiteral("0000500000")));
        QVERIFY(s.lastNosNum.startsWith(QStringLiteral("0000500199")));
    }

    // Readers used to fail with "database is locked" while an import wrote.
    void readersSeeThePreviousTitlesWhileAnImportWrites()
    {
        TempProgramDir dir;
        QCOMPARE(importTitles(dir.path(), dir.file(QStringLiteral("antes.rem")), 300), 0);

        FedImport import(dir.path(), headerBlock() + bodyOf(titles(5000, 500000)),
                         [&] { return importRunning(dir.path()); });
        QCOMPARE(seen(dbOf(dir.path())).rows, 300);
        const QString forms = dir.file(QStringLiteral("formularios.txt"));
        const Run reader =
            kvcobLote(dir.path(), {QStringLiteral("continuo"), QStringLiteral("--modelo"),
                                   QStringLiteral("grande"), QStringLiteral("--contrato"),
                                   QStringLiteral("Todos"), forms});
        QCOMPARE(reader.err, QString());
        QCOMPARE(reader.exitCode, 0);
        QCOMPARE(reader.out.trimmed(), QStringLiteral("Bloquetos impressos: 300"));
        QCOMPARE(import.finish(trailerBlock()), 0);
        QCOMPARE(seen(dbOf(dir.path())).rows, 5000);
    }

    // An import started while another program reads never waits for it.
    void anImportDoesNotWaitForAReader()
    {
        TempProgramDir dir;
        QCOMPARE(importTitles(dir.path(), dir.file(QStringLiteral("antes.rem")), 50), 0);
        QSqlDatabase db = Database::connection();
        QSqlQuery reading(db);
        QVERIFY(reading.exec(QStringLiteral("BEGIN")));
        QVERIFY(reading.exec(QStringLiteral("SELECT BlqNosNum FROM Blq")) && reading.next());

        const QString after =
            writeFile(dir.file(QStringLiteral("depois.rem")), fileOf(titles(20, 9000)));
        QElapsedTimer clock;
        clock.start();
        const Run r = kvcobLote(dir.path(), {QStringLiteral("importar"), after});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(clock.elapsed() < 1800, "the import waited for the reader");
        // The reader still sees its own snapshot until it ends.
        QSqlQuery count(db);
        QVERIFY(count.exec(QStringLiteral("SELECT count(*) FROM Blq")) && count.next());
        QCOMPARE(count.value(0).toInt(), 50);
        count.finish();
        reading.finish();
        QVERIFY(reading.exec(QStringLiteral("COMMIT")));
        QCOMPARE(seen(dbOf(dir.path())).rows, 20);
    }

    // A full disk used to leave an empty table.
    void fullDiskUndoesTheImport()
    {
        SmallDisk disk(QStringLiteral("3m"));
        if (!disk.mounted())
            KV_SKIP_OR_FAIL(SmallDisk::notMounted());
        QTemporaryDir files;
        QCOMPARE(importTitles(disk.path(), files.filePath(QStringLiteral("pequeno.rem")), 1000), 0);
        const QString big =
            writeFile(files.filePath(QStringLiteral("grande.rem")), fileOf(titles(20000, 100000)));
        const Run r = kvcobLote(disk.path(), {QStringLiteral("importar"), big});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, undone(QStringLiteral("Disco cheio")));
        const Seen s = seen(dbOf(disk.path()));
        QCOMPARE(s.rows, 1000);
        QVERIFY(s.firstNosNum.startsWith(QStringLiteral("0000000001")));
    }

    // A continuous-form run over an existing file used to truncate it when it failed.
    void fullDiskKeepsTheFormerContinuousFormFile()
    {
        // Room for the database with every table of the store; filled before the run.
        SmallDisk disk(QStringLiteral("8m"));
        if (!disk.mounted())
            KV_SKIP_OR_FAIL(SmallDisk::notMounted());
        QTemporaryDir files;
        QCOMPARE(importTitles(disk.path(), files.filePath(QStringLiteral("b.rem")), 50), 0);
        const QString output = writeFile(disk.path() + QStringLiteral("/SAIDA.TXT"),
                                         QByteArray("formularios da impressao anterior"));
        const QStringList args = {QStringLiteral("continuo"), QStringLiteral("--modelo"),
                                  QStringLiteral("pequeno"), output};
        // Matricial.ini is written by the first run; the second one meets a full disk.
        QCOMPARE(kvcobLote(disk.path(), args).exitCode, 0);
        writeFile(output, QByteArray("formularios da impressao anterior"));
        disk.fill();
        const Run r = kvcobLote(disk.path(), args);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!r.err.isEmpty());
        QFile f(output);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("formularios da impressao anterior"));
        QCOMPARE(
            QDir(disk.path()).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral("SAIDA")),
            QStringList{QStringLiteral("SAIDA.TXT")}); // no temporary file left behind
    }
};

QTEST_GUILESS_MAIN(TstImportFaults)
#include "tst_importfaults.moc"
