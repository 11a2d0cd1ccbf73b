#include "FedImport.h"

#include "TestSupport.h"

#include <QtTest>

#include <csignal>
#include <sys/stat.h>

FedImport::FedImport(const QString& dir, const QByteArray& start,
                     const std::function<bool()>& running)
    : m_fifo(dir + QStringLiteral("/fifo.rem"))
{
    QVERIFY(::mkfifo(QFile::encodeName(m_fifo).constData(), 0600) == 0);
    m_process.start(TestSupport::program(QStringLiteral("kvcob-lote")),
                    {QStringLiteral("--dir"), dir, QStringLiteral("importar"), m_fifo});
    QVERIFY(m_process.waitForStarted());
    m_feed.setFileName(m_fifo);
    QVERIFY(m_feed.open(QIODevice::WriteOnly | QIODevice::Unbuffered)); // waits for the reader
    QCOMPARE(m_feed.write(start), start.size());
    QTRY_VERIFY_WITH_TIMEOUT(running(), 20000);
    // The blocks fed so far are read and stored; the import then waits for more.
    QTest::qWait(300);
}

FedImport::~FedImport()
{
    m_feed.close();
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

int FedImport::finish(const QByteArray& rest)
{
    m_feed.write(rest);
    m_feed.close();
    if (!m_process.waitForFinished(60000))
        return -1;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

void FedImport::killHard()
{
    ::kill(pid_t(m_process.processId()), SIGKILL);
    m_process.waitForFinished();
    m_feed.close();
}

QString FedImport::output()
{
    return QString::fromUtf8(m_process.readAllStandardOutput()).trimmed();
}
