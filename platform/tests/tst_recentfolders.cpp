// Each kind of file dialog starts where that kind was last chosen.

#include "RecentFolders.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TstRecentFolders : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { RecentFolders::setFile(QString()); }

    void eachKindKeepsItsOwnFolder()
    {
        QTemporaryDir dir;
        RecentFolders::setFile(dir.filePath(QStringLiteral("pastas.conf")));
        QCOMPARE(RecentFolders::start(RecentFolders::kPdf), QDir::homePath());
        const QString pdfs = dir.filePath(QStringLiteral("pdfs"));
        const QString bank = dir.filePath(QStringLiteral("banco"));
        QVERIFY(QDir().mkpath(pdfs));
        QVERIFY(QDir().mkpath(bank));
        RecentFolders::remember(RecentFolders::kPdf, pdfs + QStringLiteral("/novo.pdf"));
        RecentFolders::remember(RecentFolders::kBankFile, bank + QStringLiteral("/CB.rem"));
        RecentFolders::rememberFolder(RecentFolders::kPerTitleFolder, bank);
        RecentFolders::remember(RecentFolders::kPdf, QString()); // cancelled
        QCOMPARE(RecentFolders::start(RecentFolders::kPdf), pdfs);
        QCOMPARE(RecentFolders::start(RecentFolders::kBankFile), bank);
        QCOMPARE(RecentFolders::start(RecentFolders::kPerTitleFolder), bank);
        QCOMPARE(RecentFolders::start(RecentFolders::kReport), QDir::homePath());
        // A folder chosen to be made: the folder itself, not its parent.
        const QString made = dir.filePath(QStringLiteral("nova"));
        RecentFolders::rememberFolder(RecentFolders::kPerTitleFolder, made);
        QVERIFY(QDir().mkpath(made));
        QCOMPARE(RecentFolders::start(RecentFolders::kPerTitleFolder), made);

        // A folder gone since: the home folder again.
        QVERIFY(QDir(pdfs).removeRecursively());
        QCOMPARE(RecentFolders::start(RecentFolders::kPdf), QDir::homePath());
    }
};

QTEST_GUILESS_MAIN(TstRecentFolders)
#include "tst_recentfolders.moc"
