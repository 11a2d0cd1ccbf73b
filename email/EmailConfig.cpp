#include "EmailConfig.h"

#include "KvError.h"
#include "MailAddress.h"
#include "MailKeyring.h"
#include "ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kSection = QStringLiteral("Email");

bool isLocalHost(const QString& host)
{
    const QString h = host.trimmed().toLower();
    return h == QStringLiteral("localhost") || h == QStringLiteral("127.0.0.1") ||
           h == QStringLiteral("::1") || h == QStringLiteral("[::1]");
}

// A path of the file is taken beside kvcob.conf when relative.
QString besideConf(const QString& confPath, const QString& path)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    return QFileInfo(confPath).absoluteDir().filePath(path);
}

// The keys of one section as written: QSettings would split a value at its commas and
// drop the blanks after them ("Silva, Ana"), and a subject or a name keeps both. Lines
// beginning with ';' or '#' are comments; a value in double quotes loses them.
struct Section {
    QString name; // as written; empty when the file has no such section
    QList<std::pair<QString, QString>> keys;

    QString value(const QString& key) const
    {
        for (const auto& [k, v] : keys) {
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                return v;
        }
        return {};
    }
};

Section readSection(const QString& path, const QString& wanted)
{
    Section s;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return s;
    bool inside = false;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            inside = name.compare(wanted, Qt::CaseInsensitive) == 0;
            if (inside)
                s.name = name;
            continue;
        }
        if (!inside)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
            value.endsWith(QLatin1Char('"')) &&
            !value.mid(1, value.size() - 2).contains(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        s.keys.append({line.left(eq).trimmed(), value});
    }
    return s;
}
} // namespace

EmailConfig EmailConfig::read()
{
    return read(ProgramDir::confFile());
}

EmailConfig EmailConfig::read(const QString& confPath)
{
    const QString advice =
        QStringLiteral("Descreva o servidor de e-mail do escritório na seção [Email] de %1 "
                       "(Servidor=, Porta=, Seguranca=, Usuario=, SenhaArquivo=, Remetente=).")
            .arg(QDir::toNativeSeparators(confPath));
    if (!QFileInfo::exists(confPath))
        throw KvError(QStringLiteral("O servidor de e-mail não está configurado."), advice);
    const Section conf = readSection(confPath, kSection);
    const QString& group = conf.name;
    if (group.isEmpty())
        throw KvError(QStringLiteral("O servidor de e-mail não está configurado."), advice);
    for (const auto& [key, value] : conf.keys) {
        if (key.compare(QStringLiteral("Senha"), Qt::CaseInsensitive) == 0 ||
            key.compare(QStringLiteral("Password"), Qt::CaseInsensitive) == 0)
            throw KvError(
                QStringLiteral("O arquivo %1 não pode guardar a senha do e-mail (chave %2 da "
                               "seção [%3]): retire essa linha.")
                    .arg(QDir::toNativeSeparators(confPath), key, group),
                QStringLiteral("A senha do servidor de e-mail fica num arquivo que só o seu "
                               "dono pode ler (chmod 600), indicado por SenhaArquivo= na seção "
                               "[%1], nunca em kvcob.conf, que todos os usuários leem.")
                    .arg(group));
    }
    EmailConfig c;
    c.confPath = confPath;
    c.server = conf.value(QStringLiteral("Servidor"));
    if (c.server.isEmpty())
        throw KvError(QStringLiteral("Falta o servidor de e-mail (Servidor=) na seção [%1] de %2.")
                          .arg(group, QDir::toNativeSeparators(confPath)),
                      advice);
    const QString port = conf.value(QStringLiteral("Porta"));
    if (!port.isEmpty()) {
        bool ok = false;
        c.port = port.toInt(&ok);
        if (!ok || c.port <= 0 || c.port > 65535)
            throw KvError(QStringLiteral("Porta de e-mail inválida em %1: \"%2\".")
                              .arg(QDir::toNativeSeparators(confPath), port),
                          QStringLiteral("Use o número da porta do servidor: 587 (starttls) "
                                         "ou 465 (tls)."));
    }
    const QString security = conf.value(QStringLiteral("Seguranca")).toLower();
    if (security.isEmpty() || security == QStringLiteral("starttls"))
        c.security = Security::StartTls;
    else if (security == QStringLiteral("tls"))
        c.security = Security::Tls;
    else if (security == QStringLiteral("nenhuma"))
        c.security = Security::None;
    else
        throw KvError(QStringLiteral("Seguranca=%1 desconhecida em %2.")
                          .arg(security, QDir::toNativeSeparators(confPath)),
                      QStringLiteral("Use starttls, tls ou nenhuma."));
    if (c.security == Security::None && !isLocalHost(c.server))
        throw KvError(QStringLiteral("Seguranca=nenhuma só vale para um servidor nesta máquina; %1 "
                                     "receberia a senha e os bloquetos sem criptografia.")
                          .arg(c.server),
                      QStringLiteral("Use Seguranca=starttls (porta 587) ou tls (porta 465)."));
    c.user = conf.value(QStringLiteral("Usuario"));
    c.passwordFile = besideConf(confPath, conf.value(QStringLiteral("SenhaArquivo")));
    c.caFile = besideConf(confPath, conf.value(QStringLiteral("CAArquivo")));
    const QString sender = conf.value(QStringLiteral("Remetente"));
    const MailAddress::Named from = MailAddress::parseNamed(sender);
    if (from.address.isEmpty())
        throw KvError(QStringLiteral("Remetente de e-mail inválido em %1: \"%2\".")
                          .arg(QDir::toNativeSeparators(confPath), sender),
                      QStringLiteral("Escreva Remetente=Nome <endereco@dominio>."));
    c.senderName = from.name;
    c.senderAddress = from.address;
    c.replyTo = conf.value(QStringLiteral("ResponderPara"));
    if (!c.replyTo.isEmpty() && MailAddress::parseNamed(c.replyTo).address.isEmpty())
        throw KvError(QStringLiteral("Endereço inválido em ResponderPara= de %1: \"%2\".")
                          .arg(QDir::toNativeSeparators(confPath), c.replyTo));
    c.subject = conf.value(QStringLiteral("Assunto"));
    const QString model = besideConf(confPath, conf.value(QStringLiteral("Modelo")));
    if (!model.isEmpty()) {
        QFile f(model);
        if (!f.open(QIODevice::ReadOnly))
            throw KvError(QStringLiteral("Não foi possível ler o modelo de e-mail %1: %2")
                              .arg(QDir::toNativeSeparators(model), f.errorString()),
                          QStringLiteral("Confira o caminho em Modelo= da seção [Email]."));
        c.body = QString::fromUtf8(f.readAll());
    }
    return c;
}

void EmailConfig::checkPrivate(const QString& path)
{
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) != 0)
        throw KvError(QStringLiteral("O arquivo da senha do e-mail %1 não existe.")
                          .arg(QDir::toNativeSeparators(path)),
                      QStringLiteral("Grave a senha nesse arquivo (uma linha) e deixe-o só "
                                     "para você: chmod 600 %1")
                          .arg(QDir::toNativeSeparators(path)));
    if (st.st_uid != ::getuid() || (st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        throw KvError(QStringLiteral("O arquivo da senha do e-mail %1 pode ser lido por outros "
                                     "usuários; a senha não foi usada.")
                          .arg(QDir::toNativeSeparators(path)),
                      QStringLiteral("Deixe o arquivo só para o seu dono: chmod 600 %1 (e troque "
                                     "a senha, se outros puderam lê-la).")
                          .arg(QDir::toNativeSeparators(path)));
}

QString EmailConfig::password() const
{
    if (user.isEmpty())
        return {};
    if (passwordFile.isEmpty()) {
        if (const std::optional<QString> kept = MailKeyring::lookup(server, user))
            return *kept;
        throw KvError(QStringLiteral("Falta a senha do usuário %1 do e-mail.").arg(user),
                      QStringLiteral("Grave a senha num arquivo só seu (chmod 600) e indique-o "
                                     "em SenhaArquivo= na seção [Email] de %1, ou guarde-a no "
                                     "chaveiro da sessão com: kvcob-lote senha-email")
                          .arg(QDir::toNativeSeparators(confPath)));
    }
    checkPrivate(passwordFile);
    QFile f(passwordFile);
    if (!f.open(QIODevice::ReadOnly))
        throw KvError(QStringLiteral("Não foi possível ler o arquivo da senha do e-mail %1: %2")
                          .arg(QDir::toNativeSeparators(passwordFile), f.errorString()));
    // The first line; an editor's final line break is not part of the password.
    QByteArray line = f.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

QString EmailConfig::url() const
{
    const QString scheme =
        security == Security::Tls ? QStringLiteral("smtps") : QStringLiteral("smtp");
    QString host = server;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    return QStringLiteral("%1://%2:%3").arg(scheme, host).arg(port);
}

QString EmailConfig::serverName() const
{
    return QStringLiteral("%1:%2").arg(server).arg(port);
}

QString EmailConfig::sender() const
{
    return MailAddress::Named{senderName, senderAddress}.toString();
}
