#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A throwaway PostgreSQL server for the tests of one executable: initdb into a temporary
// folder, started on a free port with its socket in that folder and no network listener,
// stopped and removed when the executable ends. Under root the server runs as an
// unprivileged user (the server refuses to run as root). Started on first use, once.
//
// Tests skip (TestSupport::skipOrFail) only when missing() names something not installed;
// a server that is installed and does not start fails the test with skipReason().
class PgTestServer {
public:
    // Empty when the server's programs and Qt's driver are installed; else what is missing.
    static QString missing();
    // The running server, or null when none could be started (see skipReason()).
    static PgTestServer* instance();
    // Why there is no server: what is missing, or what failed in starting it.
    static QString skipReason();
    // Stops the server now (normally done as the application ends).
    static void shutdown();
    // Before the first instance(): keep the server's ordinary durability (fsync and
    // synchronous commits), for measuring; tests run without it.
    static void setDurable(bool durable);

    QString socketDir() const { return m_dir->filePath(QStringLiteral("sock")); }
    int port() const { return m_port; }
    QString user() const { return QStringLiteral("kvcobtest"); }
    QString database() const { return QStringLiteral("kvcob"); }
    QString dataDir() const { return m_dir->filePath(QStringLiteral("data")); }
    // The [cobrancaKV] section of kvcob.conf that reaches this server.
    QByteArray confSection(const QByteArray& section = "cobrancaKV") const;

    // Stops and starts the server again with its data kept (tests of a server that goes away).
    bool stop();
    bool start();

    ~PgTestServer();

private:
    PgTestServer() = default;
    bool create(QString* why);
    void removeOrphans();
    bool runAsOwner(const QString& program, const QStringList& args, QString* output,
                    int timeoutMs = 60000);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_bin;
    QString m_owner; // system user running the server; empty when it is ourselves
    int m_port = 0;
    bool m_running = false;
};
