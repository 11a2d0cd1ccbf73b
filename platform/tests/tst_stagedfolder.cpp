// Temporary files a killed run left in a folder of per-title files, and only those, go
// when the next run starts writing there alone.

#include "StagedFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

namespace {
void plant(const QString& folder, const QString& name)
{
    QFile f(QDir(folder).filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("%PDF-1.4 half");
}
} // namespace

class TstStagedFolder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leftoverNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("leftover");
        QTest::newRow("a staged title file")
            << QStringLiteral(".NF0041-26000001.pdf.aZ09xy") << true;
        QTest::newRow("one letter name") << QStringLiteral(".a.pdf.AAAAAA") << true;
        QTest::newRow("blanks in the name") << QStringLiteral(".A B.pdf.q1w2e3") << true;
        QTest::newRow("the final file") << QStringLiteral("NF0041-26000001.pdf") << false;
        QTest::newRow("not hidden") << QStringLiteral("NF0041.pdf.aZ09xy") << false;
        QTest::newRow("five characters") << QStringLiteral(".NF0041.pdf.aZ09x") << false;
        QTest::newRow("seven characters") << QStringLiteral(".NF0041.pdf.aZ09xyz") << false;
        QTest::newRow("a sign in the suffix") << QStringLiteral(".NF0041.pdf.aZ0-xy") << false;
        QTest::newRow("another kind") << QStringLiteral(".NF0041.txt.aZ09xy") << false;
        QTest::newRow("the index's") << QStringLiteral(".indice.csv.aZ09xy") << false;
        QTest::newRow("no name") << QStringLiteral("..pdf.aZ09xy") << false;
        QTest::newRow("a backup") << QStringLiteral(".NF0041.pdf.aZ09xy~") << false;
        QTest::newRow("accented suffix") << QStringLiteral(".NF0041.pdf.aZ09xé") << false;
    }
    void leftoverNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, leftover);
        QCOMPARE(StagedFolder::isLeftover(name, QStringLiteral(".pdf")), leftover);
    }

    void removesOnlyLeftoversOfItsOwnKind()
    {
        QTemporaryDir dir;
        const QString folder = dir.path();
        const QStringList gone = {QStringLiteral(".A.pdf.aZ09xy"),
                                  QStringLiteral(".B C.pdf.000000")};
        const QStringList kept = {QStringLiteral("A.pdf"), QStringLiteral(".A.pdf.aZ09x"),
                                  QStringLiteral(".A.txt.aZ09xy"), QStringLiteral("indice.csv"),
                                  QStringLiteral(".A.pdf.aZ09xy~")};
        for (const QString& name : gone + kept)
            plant(folder, name);
        QVERIFY(QDir(folder).mkdir(QStringLiteral(".D.pdf.abcdef"))); // a folder is not ours
        QVERIFY(QFile::link(QDir(folder).filePath(QStringLiteral("A.pdf")),
                            QDir(folder).filePath(QStringLiteral(".L.pdf.abcdef"))));
        const StagedFolder held(folder, QStringLiteral(".pdf"));
        QCOMPARE(held.removed(), 2);
        QStringList expected = kept;
        expected << QStringLiteral(".D.pdf.abcdef") << QStringLiteral(".L.pdf.abcdef");
        expected.sort();
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot |
                                            QDir::System,
                                        QDir::Name),
                 expected);
    }

    // Another run writing there now owns its temporary files: they stay.
    void aRunWritingThereKeepsItsFiles()
    {
        QTemporaryDir dir;
        const StagedFolder first(dir.path(), QStringLiteral(".pdf"));
        plant(dir.path(), QStringLiteral(".A.pdf.aZ09xy"));
        {
            const StagedFolder second(dir.path(), QStringLiteral(".pdf"));
            QCOMPARE(second.removed(), 0);
        }
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral(".A.pdf.aZ09xy"))));
    }

    // A run killed with its lock held: the system drops the lock with the process.
    void aKilledRunsFilesGo()
    {
        QTemporaryDir dir;
        plant(dir.path(), QStringLiteral(".A.pdf.aZ09xy"));
        QProcess holder; // flock keeps the lock in the command it starts: killed as a group
        holder.setChildProcessModifier([] { ::setpgid(0, 0); });
        holder.start(QStringLiteral("flock"), {QStringLiteral("-s"), dir.path(),
                                               QStringLiteral("sleep"), QStringLiteral("60")});
        QVERIFY(holder.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(
            QProcess::execute(QStringLiteral("flock"),
                              {QStringLiteral("-n"), dir.path(), QStringLiteral("true")}),
            1, 5000);
        QCOMPARE(StagedFolder(dir.path(), QStringLiteral(".pdf")).removed(), 0);
        ::kill(-pid_t(holder.processId()), SIGKILL);
        QVERIFY(holder.waitForFinished());
        // The command flock started shares the lock and may outlive flock by a moment.
        QTRY_COMPARE_WITH_TIMEOUT(
            QProcess::execute(QStringLiteral("flock"),
                              {QStringLiteral("-n"), dir.path(), QStringLiteral("true")}),
            0, 5000);
        QCOMPARE(StagedFolder(dir.path(), QStringLiteral(".pdf")).removed(), 1);
    }
};

QTEST_GUILESS_MAIN(TstStagedFolder)
#include "tst_stagedfolder.moc"
