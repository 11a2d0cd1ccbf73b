#include "SmtpSession.h"

#include "MailAddress.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <curl/curl.h>

namespace {
// libcurl's global set-up, once per process, before any handle.
void initCurl()
{
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return true;
    }();
    (void)done;
}

struct SList {
    curl_slist* list = nullptr;
    ~SList() { curl_slist_free_all(list); }
    void add(const QByteArray& line) { list = curl_slist_append(list, line.constData()); }
};

} // namespace

struct SmtpSession::Handle {
    CURL* curl = nullptr;
    char errorText[CURL_ERROR_SIZE] = {};
    QByteArray lastReply; // the server's last reply line, from the debug stream
    QByteArray failure;   // its first refusal (4xx, 5xx): a QUIT's "221" may follow it

    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* self)
    {
        if (type == CURLINFO_HEADER_IN) {
            auto* h = static_cast<Handle*>(self);
            QByteArray line(data, qsizetype(size));
            h->lastReply = line.trimmed();
            if (h->failure.isEmpty() && (line.startsWith('4') || line.startsWith('5')))
                h->failure = h->lastReply;
        }
        return 0;
    }
};

SmtpSession::SmtpSession(const EmailConfig& config, const QString& password)
    : m_h(std::make_unique<Handle>()), m_config(config)
{
    initCurl();
    CURL* c = curl_easy_init();
    m_h->curl = c;
    curl_easy_setopt(c, CURLOPT_URL, config.url().toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_USE_SSL,
                     config.security == EmailConfig::Security::None ? long(CURLUSESSL_NONE)
                                                                    : long(CURLUSESSL_ALL));
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!config.caFile.isEmpty())
        curl_easy_setopt(c, CURLOPT_CAINFO, QFile::encodeName(config.caFile).constData());
    if (!config.user.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, config.user.toUtf8().constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.toUtf8().constData());
    }
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 20L);
    // A server that stops answering mid-message is given up after half a minute.
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, 30L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m_h->errorText);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, &Handle::debug);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, m_h.get());
}

SmtpSession::~SmtpSession()
{
    if (m_h->curl)
        curl_easy_cleanup(m_h->curl); // says QUIT on a kept connection
}

QList<QByteArray> SmtpSession::headers(const Mail& m)
{
    QList<QByteArray> h;
    h << "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1();
    h << "From: " + m.fromHeader;
    h << "To: " + m.to.toLatin1();
    if (!m.replyTo.isEmpty())
        h << "Reply-To: " + m.replyTo;
    h << "Subject: " + MailAddress::encodeWord(m.subject);
    h << "Message-ID: <" + m.messageId + '>';
    return h;
}

SmtpSession::Outcome SmtpSession::send(const Mail& m)
{
    CURL* c = m_h->curl;
    m_h->errorText[0] = 0;
    m_h->lastReply.clear();
    m_h->failure.clear();

    SList headerList;
    for (const QByteArray& line : headers(m))
        headerList.add(line);
    SList recipients;
    recipients.add('<' + m.to.toLatin1() + '>');
    const QByteArray from = '<' + m.fromAddress.toLatin1() + '>';

    curl_mime* mime = curl_mime_init(c);
    curl_mimepart* text = curl_mime_addpart(mime);
    const QByteArray body = m.body.toUtf8();
    curl_mime_data(text, body.constData(), size_t(body.size()));
    curl_mime_type(text, "text/plain; charset=UTF-8");
    curl_mime_encoder(text, "quoted-printable");
    if (!m.attachment.isEmpty()) {
        curl_mimepart* pdf = curl_mime_addpart(mime);
        curl_mime_data(pdf, m.attachment.constData(), size_t(m.attachment.size()));
        curl_mime_type(pdf, "application/pdf");
        curl_mime_filename(pdf, m.attachmentName.toUtf8().constData());
        curl_mime_encoder(pdf, "base64");
    }

    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.list);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headerList.list);
    curl_easy_setopt(c, CURLOPT_MIMEPOST, mime);
    const CURLcode rc = curl_easy_perform(c);
    long code = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code);
    curl_easy_setopt(c, CURLOPT_MIMEPOST, nullptr);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, nullptr);
    curl_mime_free(mime);

    Outcome o;
    o.code = int(code);
    o.answer = QString::fromUtf8(m_h->failure.isEmpty() ? m_h->lastReply : m_h->failure);
    const QString curlText =
        QString::fromUtf8(m_h->errorText[0] ? m_h->errorText : curl_easy_strerror(rc));
    const QString server = m_config.serverName();
    const QString conf = QDir::toNativeSeparators(m_config.confPath);
    if (rc == CURLE_OK) {
        o.kind = Outcome::Accepted;
        return o;
    }
    if (o.answer.isEmpty())
        o.answer = curlText;
    // What went wrong (%1 the server, %2 what it or the connection said) and what to check
    // in the configuration file (%1 its path).
    auto failed = [&](const QString& error, const QString& detail, const QString& advice) {
        o.error = error.arg(server, detail);
        o.advice = advice.arg(conf);
        return o;
    };
    switch (rc) {
    case CURLE_LOGIN_DENIED:
        return failed(QStringLiteral("O servidor de e-mail %1 recusou o usuário ou a senha (%2)."),
                      o.answer,
                      QStringLiteral("Confira Usuario= na seção [Email] de %1 e a senha no "
                                     "arquivo de SenhaArquivo=."));
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_ISSUER_ERROR:
        return failed(QStringLiteral("O certificado do servidor de e-mail %1 não foi aceito: %2. "
                                     "Nenhuma mensagem foi enviada."),
                      curlText,
                      QStringLiteral("Confira o nome do servidor em Servidor=; um servidor com "
                                     "autoridade própria do escritório precisa do certificado "
                                     "dela em CAArquivo= na seção [Email] de %1."));
    case CURLE_USE_SSL_FAILED:
        return failed(QStringLiteral("O servidor de e-mail %1 não oferece conexão segura (%2)."),
                      curlText,
                      QStringLiteral("Confira Porta= e Seguranca= na seção [Email] de %1 "
                                     "(587 com starttls, 465 com tls)."));
    default:
        break;
    }
    // A reply of the server to this message: a 5xx refusal (a mailbox that does not
    // exist, a message refused) or a 4xx delay is this message's alone, except 421, the
    // server closing.
    if (code >= 400 && code < 600 && code != 421) {
        o.kind = Outcome::Refused;
        return o;
    }
    return failed(QStringLiteral("Não foi possível falar com o servidor de e-mail %1: %2."),
                  curlText,
                  QStringLiteral("Confira a rede e o servidor (Servidor= e Porta= na seção "
                                 "[Email] de %1) e rode o envio de novo: as mensagens aceitas "
                                 "não serão repetidas."));
}
