#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "TestSupport.h"

// First line of a test that needs the mail server: without its programs the case is
// skipped, saying why, or fails under KVCOB_REQUIRE_ALL=1 (TestSupport::skipOrFail).
#define KV_NEED_SMTP()                                                                             \
    do {                                                                                           \
        if (const QString why = SmtpTestServer::missing(); !why.isEmpty())                         \
            KV_SKIP_OR_FAIL(why);                                                                  \
    } while (false)

// Declares `server`, a mail server started with the options given (an
// SmtpTestServer::Options in braces), or fails the running test with the reason it did not
// start.
#define KV_SMTP_SERVER(server, ...)                                                                \
    SmtpTestServer server;                                                                         \
    if (QString kvWhy_; !(server).start(SmtpTestServer::Options __VA_ARGS__, &kvWhy_))             \
        QFAIL(qPrintable(kvWhy_));                                                                 \
    static_assert(true)

// A real mail server for one test (Debian's python3-aiosmtpd) in a temporary folder, on a
// free local port: STARTTLS over a throwaway certificate made with the openssl program,
// AUTH with user "cobranca" and password "s3nha", each message it accepts kept as a file
// the test reads back. Stopped when the object goes.
class SmtpTestServer {
public:
    struct Options {
        QStringList refuse; // addresses answered 550
        int stopAfter = -1; // the server goes away when a message after this many begins
    };

    SmtpTestServer();
    ~SmtpTestServer();

    // Why the server cannot run here (python3 or aiosmtpd or openssl missing); empty when
    // it can.
    static QString missing();

    bool start();
    bool start(const Options& options);
    bool start(const Options& options, QString* why);
    // Stops the process (it may have ended by itself with stopAfter).
    void stop();
    bool running() const;

    int port() const { return m_port; }
    QString user() const { return QStringLiteral("cobranca"); }
    QString password() const { return QStringLiteral("s3nha"); }
    QString caFile() const { return m_dir.filePath(QStringLiteral("cert.pem")); }
    QString folder() const { return m_dir.path(); }

    struct Received {
        QStringList recipients; // of the envelope
        QByteArray raw;         // the message as it came
    };
    // Every message accepted so far, in the order they came (this and earlier runs).
    QList<Received> received() const;

    // The [Email] section of kvcob.conf that reaches this server; `passwordFile` gets the
    // password (mode 0600) unless empty.
    QByteArray confSection(const QString& passwordFile, const QByteArray& more = {}) const;

private:
    bool makeCertificate(QString* why);

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
};
