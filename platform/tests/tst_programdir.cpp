#include "KvError.h"
#include "PortChannel.h"
#include "PrivateFiles.h"
#include "ProgramDir.h"
#include "TestSupport.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <unistd.h>

using ProgramDir::Source;

namespace {
// An installed program in /usr/bin whose user's home is `home`.
ProgramDir::Inputs installedFor(const QTemporaryDir& home)
{
    ProgramDir::Inputs in;
    in.installed = true;
    in.userData = home.filePath(QStringLiteral(".local/share/kvcob"));
    in.executableDir = QStringLiteral("/usr/bin");
    return in;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Every database file below a folder: a refused start must not have left one anywhere.
QStringList databasesUnder(const QString& root)
{
    QStringList found;
    QDirIterator it(root, {QStringLiteral("*.db")}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

QString initError(const ProgramDir::Inputs& in)
{
    return TestSupport::errorOf([&] { ProgramDir::init(in); });
}
} // namespace

class TstProgramDir : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        ProgramDir::set(QString());
        ProgramDir::setSystemConfFile(QString());
    }

    void choosesInOrder_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("source");
        const int opt = int(Source::Option), env = int(Source::Environment),
                  user = int(Source::UserData), build = int(Source::BuildFolder);
        QTest::newRow("--dir before everything") << "/srv/a"
                                                 << "/srv/b" << true << "/srv/a" << opt;
        QTest::newRow("KVCOB_DIR before the user's folder") << ""
                                                            << "/srv/b" << true << "/srv/b" << env;
        QTest::newRow("KVCOB_DIR before the build folder") << ""
                                                           << "/srv/b" << false << "/srv/b" << env;
        QTest::newRow("installed: the user's data folder")
            << ""
            << "" << true << "/home/ana/.local/share/kvcob" << user;
        QTest::newRow("from the build: the executables' folder")
            << ""
            << "" << false << "/src/kvcob/build/bin" << build;
        QTest::newRow("relative --dir against the working folder")
            << "pasta"
            << "" << true << QDir::current().absoluteFilePath(QStringLiteral("pasta")) << opt;
        QTest::newRow("trailing separator and dots tidied")
            << ""
            << "/srv/b/../c/" << false << "/srv/c" << env;
    }
    void choosesInOrder()
    {
        QFETCH(QString, option);
        QFETCH(QString, environment);
        QFETCH(bool, installed);
        QFETCH(QString, expected);
        QFETCH(int, source);
        ProgramDir::Inputs in;
        in.option = option;
        in.environment = environment;
        in.installed = installed;
        in.userData = QStringLiteral("/home/ana/.local/share/kvcob");
        in.executableDir = QStringLiteral("/src/kvcob/build/bin");
        const ProgramDir::Choice c = ProgramDir::choose(in);
        QCOMPARE(c.path, expected);
        QCOMPARE(int(c.source), source);
    }

    void aTestRunsFromItsBuildFolder()
    {
        // The build writes its marker beside every executable, tests included; without it
        // a developer's test run would keep its files in the developer's data folder.
        QVERIFY(!ProgramDir::isInstalled());
        QVERIFY(QFileInfo::exists(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                  QLatin1StringView(ProgramDir::kBuildMarker)));
    }

    void firstStartCreatesTheUsersDataFolder()
    {
        QTemporaryDir home;
        const ProgramDir::Inputs in = installedFor(home);
        ProgramDir::init(in);
        QVERIFY(QFileInfo(in.userData).isDir());
        QCOMPARE(ProgramDir::path(), in.userData);
        QCOMPARE(ProgramDir::file(QStringLiteral("cobrancaKV.db")),
                 in.userData + QStringLiteral("/cobrancaKV.db"));
        QCOMPARE(
            ProgramDir::describeCurrent(),
            QStringLiteral("Pasta do programa: %1 (pasta de dados do usuário)").arg(in.userData));
        ProgramDir::init(in); // the second start finds it
        QCOMPARE(ProgramDir::path(), in.userData);
    }

    // The data folder holds payers' data: made private, and made private again when an
    // older version left it open; a folder the user names keeps its permissions, and what
    // the program creates from then on is private, or stricter when the user's umask is.
    void theUsersDataFolderIsPrivate()
    {
        const mode_t saved = ::umask(022);
        QTemporaryDir home;
        ProgramDir::Inputs in = installedFor(home);
        ProgramDir::init(in);
        const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
        QCOMPARE(QFileInfo(in.userData).permissions(), owner);
        QCOMPARE(PrivateFiles::umaskBits(), 077u);

        ::umask(022);
        const QFile::Permissions open =
            owner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(in.userData, open));
        ProgramDir::init(in);
        QCOMPARE(QFileInfo(in.userData).permissions(), owner);

        ::umask(0277);
        const QString chosen = home.filePath(QStringLiteral("escolhida"));
        QVERIFY(QDir().mkpath(chosen));
        QVERIFY(QFile::setPermissions(chosen, open));
        in.option = chosen;
        ProgramDir::init(in);
        QCOMPARE(QFileInfo(chosen).permissions(), open);
        QCOMPARE(PrivateFiles::umaskBits(), 0277u);
        ::umask(saved);
    }

    void aFolderThatCannotServeIsNamedAndNothingIsCreated_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("named"); // the path the message must name, under the root
        QTest::addColumn<QString>("words");
        QTest::newRow("KVCOB_DIR missing") << "env-missing"
                                           << "nada/kv"
                                           << "não encontrada";
        QTest::newRow("--dir missing") << "opt-missing"
                                       << "nada/kv"
                                       << "não encontrada";
        QTest::newRow("KVCOB_DIR is a file") << "env-file"
                                             << "arquivo"
                                             << "não é uma pasta";
        QTest::newRow("home where no folder can be made") << "home-file"
                                                          << "casa/.local/share/kvcob"
                                                          << "Não foi possível criar";
        QTest::newRow("KVCOB_DIR read-only") << "env-readonly"
                                             << "somente-leitura"
                                             << "não permite gravação";
        QTest::newRow("home read-only") << "home-readonly"
                                        << "casa/.local/share/kvcob"
                                        << "Não foi possível criar";
    }
    void aFolderThatCannotServeIsNamedAndNothingIsCreated()
    {
        QFETCH(QString, what);
        QFETCH(QString, named);
        QFETCH(QString, words);
        if (what.endsWith(QStringLiteral("readonly")))
            KV_RUN_UNPRIVILEGED(); // the superuser writes into read-only folders
        QTemporaryDir root;
        const QString before = root.filePath(QStringLiteral("antes"));
        QDir().mkpath(before);
        ProgramDir::set(before);

        ProgramDir::Inputs in;
        in.installed = true;
        in.userData = root.filePath(QStringLiteral("casa/.local/share/kvcob"));
        in.executableDir = root.filePath(QStringLiteral("bin"));
        const QString target = root.filePath(named);
        if (what == QStringLiteral("env-missing")) {
            in.environment = target;
        } else if (what == QStringLiteral("opt-missing")) {
            in.option = target;
        } else if (what == QStringLiteral("env-file")) {
            writeFile(target, "x");
            in.environment = target;
        } else if (what == QStringLiteral("home-file")) {
            writeFile(root.filePath(QStringLiteral("casa")), "não é uma pasta");
        } else if (what == QStringLiteral("env-readonly")) {
            QDir().mkpath(target);
            QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            in.environment = target;
        } else if (what == QStringLiteral("home-readonly")) {
            QDir().mkpath(root.filePath(QStringLiteral("casa")));
            QFile::setPermissions(root.filePath(QStringLiteral("casa")),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }

        const QString message = initError(in);
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        QFile::setPermissions(root.filePath(QStringLiteral("casa")), QFileDevice::ReadOwner |
                                                                         QFileDevice::WriteOwner |
                                                                         QFileDevice::ExeOwner);
        QVERIFY2(message.contains(target), qPrintable(message));
        QVERIFY2(message.contains(words), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("KVCOB_DIR")), qPrintable(message)); // what to do
        QCOMPARE(ProgramDir::path(), before); // the earlier folder stays in use
        QVERIFY(databasesUnder(root.path()).isEmpty());
        QVERIFY(!QFileInfo::exists(in.executableDir));
    }

    void anInstalledProgramWithoutAHomeSaysSo()
    {
        ProgramDir::Inputs in;
        in.installed = true;
        in.executableDir = QStringLiteral("/usr/bin");
        const QString message = initError(in);
        QVERIFY2(message.contains(QStringLiteral("pasta pessoal")), qPrintable(message));
    }

    void systemConfServesOnlyAnInstalledProgramWithoutItsOwn_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("own");
        QTest::addColumn<bool>("system");
        QTest::addColumn<bool>("expectSystem");
        QTest::newRow("installed, none of its own") << true << false << true << true;
        QTest::newRow("installed, its own wins") << true << true << true << false;
        QTest::newRow("installed, no system file") << true << false << false << false;
        QTest::newRow("from the build, never") << false << false << true << false;
    }
    void systemConfServesOnlyAnInstalledProgramWithoutItsOwn()
    {
        QFETCH(bool, installed);
        QFETCH(bool, own);
        QFETCH(bool, system);
        QFETCH(bool, expectSystem);
        QTemporaryDir root;
        const QString dir = root.filePath(QStringLiteral("pasta"));
        QDir().mkpath(dir);
        const QString systemConf = root.filePath(QStringLiteral("etc/kvcob/kvcob.conf"));
        ProgramDir::setSystemConfFile(systemConf);
        if (system)
            writeFile(systemConf, "[Portas]\nLPT1=/dev/usb/lp7\n");
        if (own)
            writeFile(dir + QStringLiteral("/kvcob.conf"), "[Portas]\nLPT1=/dev/usb/lp3\n");
        ProgramDir::Inputs in;
        in.environment = dir;
        in.installed = installed;
        in.executableDir = root.filePath(QStringLiteral("bin"));
        ProgramDir::init(in);
        QCOMPARE(ProgramDir::confFile(),
                 expectSystem ? systemConf : dir + QStringLiteral("/kvcob.conf"));
        // The printer port follows the file in use.
        const PortChannel::Target port = PortChannel::resolve(QStringLiteral("LPT1"));
        QCOMPARE(port.path, expectSystem ? QStringLiteral("/dev/usb/lp7")
                            : own        ? QStringLiteral("/dev/usb/lp3")
                                         : QStringLiteral("/dev/lp0"));
    }

    void aDamagedSystemConfStopsTheStart_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty: a folder in the file's place
        QTest::addColumn<QString>("why");
        QTest::newRow("section never closed")
            << QByteArray("[cobrancaKV\nDriver=QPSQL\n") << "formato inválido";
        QTest::newRow("binary garbage")
            << QByteArray("\x00\x01\x02\xff\xfe[x]\n", 9) << "formato inválido";
        QTest::newRow("a line without a key")
            << QByteArray("[Portas]\nLPT1 /dev/usb/lp0\n") << "formato inválido";
        QTest::newRow("a folder") << QByteArray() << "não é um arquivo";
    }
    void aDamagedSystemConfStopsTheStart()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QTemporaryDir root;
        const QString home = root.filePath(QStringLiteral("casa/kvcob"));
        const QString systemConf = root.filePath(QStringLiteral("etc/kvcob/kvcob.conf"));
        ProgramDir::setSystemConfFile(systemConf);
        if (bytes.isEmpty())
            QDir().mkpath(systemConf);
        else
            writeFile(systemConf, bytes);
        ProgramDir::Inputs in;
        in.installed = true;
        in.userData = home;
        in.executableDir = QStringLiteral("/usr/bin");
        const QString message = initError(in);
        QVERIFY2(message.contains(systemConf), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("danificado")), qPrintable(message));
        QVERIFY2(message.contains(why), qPrintable(message));
        QVERIFY2(message.contains(home), qPrintable(message)); // where an own file would go
        QVERIFY(databasesUnder(root.path()).isEmpty());

        // A desk with its own kvcob.conf does not depend on the administrator's file.
        writeFile(home + QStringLiteral("/kvcob.conf"), "[Portas]\nLPT1=/dev/usb/lp3\n");
        QCOMPARE(initError(in), QString());
        QCOMPARE(ProgramDir::confFile(), home + QStringLiteral("/kvcob.conf"));
    }

    void anUnreadableSystemConfStopsTheStart()
    {
        KV_RUN_UNPRIVILEGED(); // the superuser reads every file
        QTemporaryDir root;
        const QString systemConf = root.filePath(QStringLiteral("kvcob.conf"));
        writeFile(systemConf, "[Portas]\nLPT1=/dev/usb/lp0\n");
        QFile::setPermissions(systemConf, QFileDevice::WriteOwner);
        ProgramDir::setSystemConfFile(systemConf);
        ProgramDir::Inputs in;
        in.installed = true;
        in.userData = root.filePath(QStringLiteral("kvcob"));
        const QString message = initError(in);
        QVERIFY2(message.contains(QStringLiteral("não pode ser lido")), qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(TstProgramDir)
#include "tst_programdir.moc"
