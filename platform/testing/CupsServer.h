#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private CUPS scheduler for the tests that print: cupsd runs in the foreground with a
// configuration of its own in a temporary folder (spool, logs, cache and queues there),
// listening only on a Unix socket in that folder, with no remote access and no sharing.
// start() points CUPS_SERVER at it, so that lp, lpadmin, the toolkit's printer and the
// programs the test starts all print to it; the destructor stops it and restores the
// variable.
//
// Queues write their jobs to files in the folder: a raw queue appends every job's bytes
// unchanged, in order (a continuous-form run sends several jobs); a PDF queue runs the
// system's filters for a generic PDF printer and leaves the last job's PDF. The server
// refuses jobs of more than kMaxCopies copies, with its own reason.
class CupsServer {
public:
    CupsServer();
    ~CupsServer();
    CupsServer(const CupsServer&) = delete;
    CupsServer& operator=(const CupsServer&) = delete;

    // Empty when cupsd and its tools are installed; else why the tests must skip.
    static QString missing();
    static constexpr int kMaxCopies = 50;

    // Starts the scheduler (again, after stop(), with the queues it had) and waits, for a
    // bounded time, until it answers. False with *error set (the scheduler's log) on failure.
    bool start(QString* error);
    // Stops the scheduler; the variable keeps pointing at the dead socket, as a machine
    // whose print service went down.
    void stop();
    bool isRunning() const;

    enum class Kind { Raw, Pdf };
    bool addQueue(const QString& name, Kind kind, QString* error);

    struct Queue {
        QString name;
        Kind kind;
    };
    // For a test class's initTestCase: starts the scheduler with the queues given. When CUPS
    // or one of `programs` (pdftotext, ...) is not installed the test is skipped through
    // TestSupport::skipOrFail (a failure under KVCOB_REQUIRE_ALL=1); when it is installed and
    // does not start, the test fails. False in both cases: the caller returns at once.
    [[nodiscard]] bool startOrSkip(const QList<Queue>& queues, const QStringList& programs = {});
    QString outputPath(const QString& queue) const;
    QByteArray output(const QString& queue) const;
    void clearOutput(const QString& queue);

    // Waits, for at most timeoutMs, until the queue holds no pending or printing job.
    bool waitForJobs(const QString& queue, int timeoutMs = 60000) const;
    // Jobs the queue has taken since the server started, finished or not.
    int jobCount(const QString& queue) const;
    // Runs a CUPS client tool (lpstat, cupsdisable, ...) against this server; answers its
    // exit status and what it wrote on its standard output and error.
    int tool(const QString& program, const QStringList& args, QString* output = nullptr,
             QString* errors = nullptr) const;

    QString socketPath() const;
    QString log() const; // the end of the scheduler's log, for failure messages

private:
    bool writeConfiguration(QString* error);

    QTemporaryDir m_dir;
    mutable QProcess m_cupsd;
    QByteArray m_previousServer;
    bool m_hadServer = false;
    bool m_configured = false;
};
