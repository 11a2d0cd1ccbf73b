#include "AddressBook.h"
#include "AddressImport.h"
#include "BloquetoMailing.h"
#include "BlqTitle.h"
#include "Database.h"
#include "DbQuery.h"
#include "EmailConfig.h"
#include "KvError.h"
#include "MailKeyring.h"
#include "RetStatements.h"
#include "RetTables.h"
#include "Verb.h"

#include <QDir>
#include <QSet>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

// Mailing the bloquetos: the payers' address book ("enderecos") and the sending ("enviar").
namespace {
const QString kTitulo = QStringLiteral("titulo");
const QString kPendentes = QStringLiteral("pendentes");
const QString kReenviar = QStringLiteral("reenviar");
const QString kIntervalo = QStringLiteral("intervalo");

QString titleKey(const QString& ageCod, const QString& ctrCod, const QString& nosNum)
{
    return ageCod + QLatin1Char('/') + ctrCod + QLatin1Char('/') + nosNum;
}

QString titleKey(const BlqTitle& t)
{
    return titleKey(t.ageCod, t.ctrCod, t.nosNum);
}

// The titles the bank's return files say were settled or written off, read once: the
// sending looks each title up as it goes.
QSet<QString> closedTitles()
{
    RetTables::ensure(Database::connection());
    DbQuery q;
    q.setStatement(RetStatements::titulosEncerrados());
    QSet<QString> keys;
    for (q.open(); !q.eof(); q.next()) {
        keys.insert(titleKey(q.asString(QStringLiteral("RetAgeCod")),
                             q.asString(QStringLiteral("RetCtrCod")),
                             q.asString(QStringLiteral("RetNosNum"))));
    }
    return keys;
}

int enderecos(const Verb& verb, const QCommandLineParser& args)
{
    const QStringList pos = args.positionalArguments();
    const QString what = pos.value(0);
    if (what == QStringLiteral("importar")) {
        if (pos.size() != 2)
            verb.badUsage(QStringLiteral("Informe o arquivo CSV de endereços."));
        AddressBook book;
        const AddressImport::Result r =
            AddressImport::loadFile(book, pos.at(1), QStringLiteral("cobrancaKV"));
        for (const AddressImport::Refused& f : r.refused)
            printOut(QStringLiteral("linha %1 recusada: %2").arg(f.line).arg(f.why));
        printOut(QStringLiteral("%1 endereço(s) incluído(s), %2 alterado(s), %3 sem mudança, %4 "
                                "linha(s) recusada(s)")
                     .arg(r.added)
                     .arg(r.changed)
                     .arg(r.same)
                     .arg(r.refused.size()));
        return r.refused.isEmpty() ? 0 : 3;
    }
    if (what == QStringLiteral("listar")) {
        if (pos.size() != 1)
            verb.badUsage();
        AddressBook book;
        for (const AddressBook::Entry& e : book.all())
            printOut(e.document + QLatin1Char(';') + e.addresses.join(QLatin1Char(',')));
        return 0;
    }
    verb.badUsage(what.isEmpty() ? QString() : QStringLiteral("Ação desconhecida: %1").arg(what));
}

int enviar(const Verb& verb, const QCommandLineParser& args)
{
    if (!args.positionalArguments().isEmpty())
        verb.badUsage();
    BloquetoMailing::Options o;
    for (const QString& v : args.values(kTitulo))
        o.nossosNumeros << v.split(QLatin1Char(','), Qt::SkipEmptyParts);
    o.resend = args.isSet(kReenviar);
    if (args.isSet(kIntervalo)) {
        bool ok = false;
        o.intervalMs = args.value(kIntervalo).toInt(&ok);
        if (!ok || o.intervalMs < 0 || o.intervalMs > 600000)
            verb.badUsage(QStringLiteral("--intervalo leva milissegundos, de 0 a 600000."));
    }
    if (args.isSet(kPendentes)) {
        const QSet<QString> closed = closedTitles();
        o.pendingOnly = [closed](const BlqTitle& t) { return !closed.contains(titleKey(t)); };
    }
    BloquetoMailing mailing;
    const BloquetoMailing::Outcome out = mailing.run(o);
    if (out.plan.titles == 0 && !o.nossosNumeros.isEmpty())
        throw KvError(QStringLiteral("Nenhum título válido com o nosso número %1.")
                          .arg(o.nossosNumeros.join(QStringLiteral(", "))));
    for (const QString& line : BloquetoMailing::summary(out))
        printOut(line);
    if (!out.error.isEmpty())
        throw KvError(out.error, out.advice);
    return out.refused.isEmpty() ? 0 : 3;
}
// One line of standard input, not echoed when a person types it.
QString readSecretLine(const QString& prompt)
{
    const bool typed = ::isatty(STDIN_FILENO);
    termios before{};
    if (typed) {
        printErr(prompt);
        ::tcgetattr(STDIN_FILENO, &before);
        termios quiet = before;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    QByteArray line;
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar())
        line += char(c);
    if (typed) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
        printErr(QString());
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

int senhaEmail(const Verb& verb, const QCommandLineParser& args)
{
    if (!args.positionalArguments().isEmpty())
        verb.badUsage();
    const EmailConfig config = EmailConfig::read();
    if (config.user.isEmpty())
        throw KvError(QStringLiteral("A seção [Email] de %1 não tem Usuario=: o servidor não "
                                     "pede senha.")
                          .arg(QDir::toNativeSeparators(config.confPath)));
    const QString password =
        readSecretLine(QStringLiteral("Senha de %1 em %2: ").arg(config.user, config.server));
    if (password.isEmpty())
        throw KvError(QStringLiteral("Nenhuma senha foi informada; nada foi guardado."));
    MailKeyring::store(config.server, config.user, password);
    printOut(QStringLiteral("Senha de %1 em %2 guardada no chaveiro da sessão.")
                 .arg(config.user, config.server));
    if (!config.passwordFile.isEmpty())
        printOut(QStringLiteral("Enquanto SenhaArquivo= estiver na seção [Email], a senha "
                                "desse arquivo é a usada."));
    return 0;
}
} // namespace

Verb senhaEmailVerb()
{
    return {QStringLiteral("senha-email"), QString(),
            QStringLiteral("guarda no chaveiro da sessão a senha do usuário da seção [Email] "
                           "(lida da entrada, sem eco)"),
            &senhaEmail, Verb::Pages::None};
}

Verb enderecosVerb()
{
    return {QStringLiteral("enderecos"), QStringLiteral("importar ARQUIVO.csv | listar"),
            QStringLiteral("carrega (CSV cpf_cnpj;email, UTF-8 ou Windows-1252) ou lista os "
                           "endereços de e-mail dos sacados"),
            &enderecos, Verb::Pages::None};
}

Verb enviarVerb()
{
    Verb v(QStringLiteral("enviar"), QString(),
           QStringLiteral("envia a cada sacado com endereço o seu bloqueto em PDF por e-mail, "
                          "pelo servidor da seção [Email] de kvcob.conf"));
    v.options = {
        {kTitulo, QStringLiteral("só o título deste nosso número (repetível)"),
         QStringLiteral("NOSSO")},
        {kPendentes, QStringLiteral("só os títulos ainda não liquidados")},
        {kReenviar, QStringLiteral("envia de novo os já enviados")},
        {kIntervalo, QStringLiteral("pausa entre mensagens, em milissegundos"),
         QStringLiteral("MS")},
    };
    v.run = &enviar;
    return v;
}
