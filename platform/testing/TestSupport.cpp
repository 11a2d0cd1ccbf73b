#include "TestSupport.h"

#include "Database.h"
#include "KvError.h"
#include "ProgramDir.h"
#include "RecentFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

TempProgramDir::TempProgramDir()
{
    ProgramDir::set(m_dir.path());
    // The dialogs' folders are the user's settings: a test keeps its own.
    RecentFolders::setFile(m_dir.filePath(QStringLiteral("pastas.conf")));
}

TempProgramDir::~TempProgramDir()
{
    ProgramDir::set(QString());
    RecentFolders::setFile(QString());
}

QString TestSupport::sourceDir()
{
    return qEnvironmentVariable("KVCOB_SOURCE_DIR");
}

QString TestSupport::binaryDir()
{
    return qEnvironmentVariable("KVCOB_BINARY_DIR");
}

QByteArray TestSupport::readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TestSupport::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString TestSupport::writtenFile(const QString& path, const QByteArray& bytes)
{
    if (!writeFile(path, bytes))
        throw KvError(QStringLiteral("cannot write ") + path);
    return path;
}

QByteArray TestSupport::run(const QString& program, const QStringList& args, int* exitCode,
                            int timeoutMs)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted() || !p.waitForFinished(timeoutMs)) {
        if (exitCode)
            *exitCode = -1;
        p.kill();
        return {};
    }
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

bool TestSupport::haveProgram(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

QStringList TestSupport::ToolRun::lines() const
{
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString TestSupport::program(const QString& name)
{
    return binaryDir() + QStringLiteral("/bin/") + name;
}

TestSupport::ToolRun TestSupport::kvcobLoteOnTestDatabase(const QString& dir,
                                                          const QStringList& args, int timeoutMs)
{
    Database::closeAll();
    return kvcobLote(dir, args, timeoutMs);
}

TestSupport::ToolRun TestSupport::kvcobLote(const QString& dir, const QStringList& args,
                                            int timeoutMs)
{
    return kvcobLote(dir, args, QByteArray(), timeoutMs);
}

TestSupport::ToolRun TestSupport::kvcobLote(const QString& dir, const QStringList& args,
                                            const QByteArray& input, int timeoutMs)
{
    QProcess p;
    p.start(program(QStringLiteral("kvcob-lote")),
            QStringList{QStringLiteral("--dir"), dir} + args);
    p.write(input);
    p.closeWriteChannel();
    ToolRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    QStringList kept;
    for (const QString& line :
         QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'))) {
        if (!line.startsWith(QStringLiteral("QStandardPaths")))
            kept << line;
    }
    r.err = kept.join(QString());
    r.errText = kept.join(QLatin1Char('\n')).trimmed();
    return r;
}

bool TestSupport::generateBankFile(const QString& path, int titles)
{
    QProcess gen;
    gen.start(program(QStringLiteral("kvcob-gera-exemplo")),
              {QStringLiteral("--titulos"), QString::number(titles), path});
    return gen.waitForFinished(60000) && gen.exitStatus() == QProcess::NormalExit &&
           gen.exitCode() == 0;
}

QString TestSupport::errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const KvError& e) {
        return e.message();
    }
    return {};
}

bool TestSupport::requireAll()
{
    return qEnvironmentVariable("KVCOB_REQUIRE_ALL") == QStringLiteral("1");
}

void TestSupport::skipOrFail(const QString& reason, const char* file, int line)
{
    if (requireAll()) {
        const QByteArray message = (QStringLiteral("KVCOB_REQUIRE_ALL=1: this test may not be "
                                                   "skipped: ") +
                                    reason)
                                       .toLocal8Bit();
        QTest::qFail(message.constData(), file, line);
    } else {
        QTest::qSkip(reason.toLocal8Bit().constData(), file, line);
    }
}

bool TestSupport::rerunUnprivileged(QString* failure)
{
    if (::geteuid() != 0)
        return false;
    failure->clear();
    if (!haveProgram(QStringLiteral("setpriv"))) {
        *failure = QStringLiteral("setpriv (util-linux) is needed to run this case as an "
                                  "ordinary user");
        return true;
    }
    // The account must reach the executable: a copy in a folder of its own, open to it.
    const QString self = QCoreApplication::applicationFilePath();
    QTemporaryDir place(QStringLiteral("/tmp/kvcob-unprivileged-XXXXXX"));
    const QString copy = place.filePath(QFileInfo(self).fileName());
    const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                          QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther;
    if (!place.isValid() || !QFile::copy(self, copy) || !QFile::setPermissions(copy, open) ||
        !QFile::setPermissions(place.path(), open)) {
        *failure =
            QStringLiteral("cannot place a copy of %1 for the unprivileged account").arg(self);
        return true;
    }
    QString test = QString::fromLatin1(QTest::currentTestFunction());
    if (QTest::currentDataTag())
        test += QLatin1Char(':') + QString::fromLocal8Bit(QTest::currentDataTag());
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
    env.insert(QStringLiteral("HOME"), place.path());
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(place.path());
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                 QStringLiteral("--clear-groups"), QStringLiteral("--"), copy, test});
    const bool ended = child.waitForStarted() && child.waitForFinished(120000);
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (!ended) {
        child.kill();
        child.waitForFinished();
        *failure = QStringLiteral("the case as nobody did not end:\n") + output;
    } else if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        *failure = QStringLiteral("the case failed as nobody:\n") + output;
    } else if (!output.contains(QStringLiteral("PASS   : ")) ||
               output.contains(QStringLiteral("SKIP   : "))) {
        // Qt runs nothing for a name it does not know, and says so only in the output.
        *failure = QStringLiteral("the case did not run as nobody:\n") + output;
    } else {
        qDebug().noquote() << "ran as nobody:" << test;
    }
    return true;
}
