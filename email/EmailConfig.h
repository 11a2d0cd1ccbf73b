#pragma once

#include <QString>

// The office's mail server, read from the [Email] section of kvcob.conf:
//
//   [Email]
//   Servidor=smtp.escritorio.com.br
//   Porta=587                      ; default 587 (465 is usual with tls)
//   Seguranca=starttls             ; starttls (default), tls, or nenhuma (this machine only)
//   Usuario=cobranca@escritorio.com.br
//   SenhaArquivo=/home/ana/.kvcob-smtp   ; a file only its owner may read
//   Remetente=Cobrança Escritório <cobranca@escritorio.com.br>
//   ResponderPara=financeiro@escritorio.com.br
//   Assunto=Bloqueto {nosso_numero} - vencimento {vencimento} - {beneficiario}
//   Modelo=/home/ana/modelo-email.txt    ; the body, UTF-8
//   CAArquivo=/etc/kvcob/ca-do-escritorio.pem  ; an office's own authority; tests use it
//
// kvcob.conf is read by every desk's clerk, so a password there is refused: it lives in
// the file SenhaArquivo names, which is refused when anyone but its owner may read it (as
// ssh and libpq refuse their key and password files), or, without SenhaArquivo, in the
// session's keyring under the server and user (MailKeyring; `kvcob-lote senha-email`).
class EmailConfig {
public:
    enum class Security { StartTls, Tls, None };

    // Raises KvError when the section is missing or holds something unsafe or malformed.
    static EmailConfig read();
    // The same over a given file (tests).
    static EmailConfig read(const QString& confPath);

    // The password from SenhaArquivo, else from the session's keyring (empty without
    // Usuario). Raises when the file is missing, unreadable or readable by others than its
    // owner, and when neither holds one.
    QString password() const;
    // Checks a password file's owner and mode; raises KvError saying what to do.
    static void checkPrivate(const QString& path);

    QString server;
    int port = 587;
    Security security = Security::StartTls;
    QString user;
    QString passwordFile;
    QString senderName;
    QString senderAddress;
    QString replyTo;
    QString subject; // template; empty: the default
    QString body;    // template text read from Modelo; empty: the default
    QString caFile;  // empty: the system's authorities
    QString confPath;

    // "smtp://host:port" or "smtps://host:port".
    QString url() const;
    // How messages name the server: "smtp.escritorio.com.br:587".
    QString serverName() const;
    // "Nome <endereco>" as configured.
    QString sender() const;
};
