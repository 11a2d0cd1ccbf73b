#include "TestSupport.h"

#include "ProgramDir.h"

#include <QProcess>
#include <QStandardPaths>

TempProgramDir::TempProgramDir()
{
    ProgramDir::set(m_dir.path());
}

TempProgramDir::~TempProgramDir()
{
    ProgramDir::set(QString());
}

QString TestSupport::sourceDir()
{
    return qEnvironmentVariable("KVCOB_SOURCE_DIR");
}

QString TestSupport::binaryDir()
{
    return qEnvironmentVariable("KVCOB_BINARY_DIR");
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
