#pragma once

#include "EmailConfig.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// One conversation with the office's SMTP server through libcurl, which does the SMTP,
// the TLS and the MIME: the connection (and its login) is opened by the first message and
// kept for the ones after it. The server's certificate is checked against the system's
// authorities (or the file CAArquivo names).
//
// Each send() answers what became of the message:
//   Accepted   the server took it (2xx after the message's data);
//   Refused    the server refused it (a 5xx, often a mailbox that does not exist, or a
//              4xx delay): worth recording, and the run goes on;
//   Fatal      no message can go: server unreachable or gone, login refused, certificate
//              not trusted. `error` then says in Portuguese what happened and what to do.
class SmtpSession {
public:
    struct Mail {
        QString fromAddress;
        QByteArray fromHeader; // "Nome <endereco>" as the header carries it
        QString to;            // one address
        QByteArray replyTo;    // empty: none
        QString subject;
        QString body;         // plain text, CR LF line ends
        QByteArray messageId; // without the angle brackets
        QString attachmentName;
        QByteArray attachment; // a PDF; empty: none
    };

    struct Outcome {
        enum Kind { Accepted, Refused, Fatal };
        Kind kind = Fatal;
        int code = 0;   // the server's last reply code, 0 when none came
        QString answer; // the server's last reply, or what failed
        QString error;  // Fatal: message for the user
        QString advice; // Fatal: what to do
    };

    SmtpSession(const EmailConfig& config, const QString& password);
    ~SmtpSession();
    SmtpSession(const SmtpSession&) = delete;
    SmtpSession& operator=(const SmtpSession&) = delete;

    Outcome send(const Mail& mail);

    // The message's headers as sent (tests of the encoding; the body goes as MIME parts).
    static QList<QByteArray> headers(const Mail& mail);

private:
    struct Handle;
    std::unique_ptr<Handle> m_h;
    EmailConfig m_config;
};
