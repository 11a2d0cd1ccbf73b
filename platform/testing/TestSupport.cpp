#include "TestSupport.h"

#include "ProgramDir.h"
#include "RecentFolders.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

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

TestSupport::ToolRun TestSupport::kvcobLote(const QString& dir, const QStringList& args,
                                            int timeoutMs)
{
    QProcess p;
    p.start(program(QStringLiteral("kvcob-lote")),
            QStringList{QStringLiteral("--dir"), dir} + args);
    ToolRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString& line :
         QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QStringLiteral("QStandardPaths")))
            r.err += line;
    }
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
