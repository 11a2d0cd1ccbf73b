// The batch tool's program folder as users meet it: a copy of the tool outside its build
// folder behaves as the installed program, keeping its files in the user's data folder.
#include "TestSupport.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString builtTool()
{
    return TestSupport::program(QStringLiteral("kvcob-lote"));
}

QString sampleFile()
{
    return TestSupport::sourceDir() + QStringLiteral("/exemplos/cobranca-exemplo.rem");
}

struct Run {
    int exit = -2;
    QString out;
    QString err;
};

// The environment of a fresh login: a home of its own and none of the caller's folders.
QProcessEnvironment loginEnvironment(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"KVCOB_DIR", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        env.remove(QLatin1StringView(name));
    env.insert(QStringLiteral("HOME"), home);
    return env;
}

Run run(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForStarted() || !p.waitForFinished(120000)) {
        p.kill();
        return r;
    }
    r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QStringList filesUnder(const QString& root)
{
    QStringList found;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(root).relativeFilePath(it.next());
    found.sort();
    return found;
}
} // namespace

class TstProgramFolder : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;
    QString m_tool; // the copy, as the package installs it: no build marker beside it

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QDir().mkpath(m_root.filePath(QStringLiteral("usr/bin")));
        m_tool = m_root.filePath(QStringLiteral("usr/bin/kvcob-lote"));
        QVERIFY(QFile::copy(builtTool(), m_tool));
    }

    void helpNamesTheFolderInUse_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("dirOption");
        QTest::addColumn<QString>("kvcobDir");
        QTest::addColumn<QString>("expected");
        QTest::newRow("from the build") << false << ""
                                        << ""
                                        << "%BUILD% (pasta dos executáveis)";
        QTest::newRow("installed") << true << ""
                                   << ""
                                   << "%HOME%/.local/share/kvcob (pasta de dados do usuário)";
        QTest::newRow("KVCOB_DIR") << true << ""
                                   << "/srv/cobranca"
                                   << "/srv/cobranca (indicada pela variável KVCOB_DIR)";
        QTest::newRow("--dir") << true << "/srv/outra"
                               << "/srv/cobranca"
                               << "/srv/outra (indicada com --dir)";
    }
    void helpNamesTheFolderInUse()
    {
        QFETCH(bool, installed);
        QFETCH(QString, dirOption);
        QFETCH(QString, kvcobDir);
        QFETCH(QString, expected);
        const QString home = m_root.filePath(QStringLiteral("ajuda"));
        QProcessEnvironment env = loginEnvironment(home);
        if (!kvcobDir.isEmpty())
            env.insert(QStringLiteral("KVCOB_DIR"), kvcobDir);
        QStringList args;
        if (!dirOption.isEmpty())
            args << QStringLiteral("--dir") << dirOption;
        args << QStringLiteral("--help");
        const Run r = run(installed ? m_tool : builtTool(), args, env);
        QCOMPARE(r.exit, 0);
        expected.replace(QStringLiteral("%BUILD%"),
                         TestSupport::binaryDir() + QStringLiteral("/bin"));
        expected.replace(QStringLiteral("%HOME%"), home);
        QVERIFY2(r.out.contains(QStringLiteral("Pasta do programa: ") + expected),
                 qPrintable(r.out));
        QVERIFY(!QFileInfo::exists(home)); // asking for help creates nothing
    }

    void anInstalledCopyWorksAtOnceInTheUsersDataFolder()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdfinfo")))
            QSKIP("pdfinfo is not installed");
        const QString home = m_root.filePath(QStringLiteral("ana"));
        QDir().mkpath(home);
        const QProcessEnvironment env = loginEnvironment(home);
        const Run imported = run(m_tool, {QStringLiteral("importar"), sampleFile()}, env);
        QVERIFY2(imported.exit == 0, qPrintable(imported.err));
        const QString pdf = home + QStringLiteral("/bloquetos.pdf");
        const Run printed = run(m_tool, {QStringLiteral("folha-solta"), pdf}, env);
        QVERIFY2(printed.exit == 0, qPrintable(printed.err));
        int rc = -1;
        const QByteArray info = TestSupport::run(QStringLiteral("pdfinfo"), {pdf}, &rc);
        QCOMPARE(rc, 0);
        QVERIFY(info.contains("Pages:"));
        QVERIFY(filesUnder(home).contains(QStringLiteral(".local/share/kvcob/cobrancaKV.db")));
        QCOMPARE(filesUnder(m_root.filePath(QStringLiteral("usr"))),
                 QStringList{QStringLiteral("bin/kvcob-lote")}); // nothing beside the program
    }

    void aFolderThatCannotServeStopsTheToolWithItsName_data()
    {
        QTest::addColumn<QString>("kvcobDir");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("named");
        QTest::newRow("KVCOB_DIR missing") << "%ROOT%/nada/kv"
                                           << "%ROOT%/bia"
                                           << "%ROOT%/nada/kv";
        QTest::newRow("KVCOB_DIR is a file") << "%ROOT%/usr/bin/kvcob-lote"
                                             << "%ROOT%/bia"
                                             << "%ROOT%/usr/bin/kvcob-lote";
        QTest::newRow("home where no folder can be made")
            << ""
            << "%ROOT%/usr/bin/kvcob-lote"
            << "%ROOT%/usr/bin/kvcob-lote/.local/share/kvcob";
    }
    void aFolderThatCannotServeStopsTheToolWithItsName()
    {
        QFETCH(QString, kvcobDir);
        QFETCH(QString, home);
        QFETCH(QString, named);
        for (QString* s : {&kvcobDir, &home, &named})
            s->replace(QStringLiteral("%ROOT%"), m_root.path());
        const QStringList before = filesUnder(m_root.path());
        QProcessEnvironment env = loginEnvironment(home);
        if (!kvcobDir.isEmpty())
            env.insert(QStringLiteral("KVCOB_DIR"), kvcobDir);
        const Run r = run(m_tool, {QStringLiteral("importar"), sampleFile()}, env);
        QCOMPARE(r.exit, 2);
        QVERIFY2(r.err.contains(named), qPrintable(r.err));
        QCOMPARE(filesUnder(m_root.path()), before); // no database anywhere
    }
};

QTEST_GUILESS_MAIN(TstProgramFolder)
#include "tst_programfolder.moc"
