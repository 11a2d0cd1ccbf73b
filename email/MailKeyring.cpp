#include "MailKeyring.h"

#include "KvError.h"

#include <QFileInfo>

#include <libsecret/secret.h>

namespace {
// The entries are found by these attributes; the schema's name tells other keyring tools
// whose they are.
const SecretSchema* schema()
{
    static const SecretSchema s = {"br.kvcob.Email",
                                   SECRET_SCHEMA_NONE,
                                   {{"servidor", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                    {"usuario", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                    {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                   0,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr};
    return &s;
}

QString textOf(GError* error)
{
    const QString text = QString::fromUtf8(error->message);
    g_error_free(error);
    return text;
}

// No service on the bus is no keyring: the password is then looked for elsewhere.
bool noService(const GError* error)
{
    return g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SPAWN_SERVICE_NOT_FOUND) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_FILE_NOT_FOUND);
}
} // namespace

bool MailKeyring::available()
{
    // Without a session bus GLib would try to start one through the X server; a batch run
    // at a console has neither, and must not wait for them.
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

std::optional<QString> MailKeyring::lookup(const QString& server, const QString& user)
{
    if (!available())
        return std::nullopt;
    GError* error = nullptr;
    const QByteArray s = server.toUtf8();
    const QByteArray u = user.toUtf8();
    gchar* secret = secret_password_lookup_sync(schema(), nullptr, &error, "servidor",
                                                s.constData(), "usuario", u.constData(), nullptr);
    if (error) {
        if (noService(error)) {
            g_error_free(error);
            return std::nullopt;
        }
        throw KvError(QStringLiteral("O chaveiro da sessão não entregou a senha do e-mail de %1 "
                                     "em %2: %3")
                          .arg(user, server, textOf(error)),
                      QStringLiteral("Destrave o chaveiro da sessão e tente de novo, ou grave a "
                                     "senha num arquivo só seu indicado por SenhaArquivo= na "
                                     "seção [Email]."));
    }
    if (!secret)
        return std::nullopt;
    const QString password = QString::fromUtf8(secret);
    secret_password_free(secret);
    return password;
}

void MailKeyring::store(const QString& server, const QString& user, const QString& password)
{
    if (!available())
        throw KvError(QStringLiteral("Esta sessão não tem chaveiro: a senha não foi guardada."),
                      QStringLiteral("Guarde a senha num arquivo só seu (chmod 600) e indique-o "
                                     "em SenhaArquivo= na seção [Email] de kvcob.conf."));
    GError* error = nullptr;
    const QByteArray s = server.toUtf8();
    const QByteArray u = user.toUtf8();
    const QByteArray p = password.toUtf8();
    const QByteArray label =
        QStringLiteral("Senha do e-mail de %1 em %2 (bloquetos)").arg(user, server).toUtf8();
    secret_password_store_sync(schema(), SECRET_COLLECTION_DEFAULT, label.constData(),
                               p.constData(), nullptr, &error, "servidor", s.constData(), "usuario",
                               u.constData(), nullptr);
    if (error) {
        const bool none = noService(error);
        const QString why = textOf(error);
        throw KvError(none
                          ? QStringLiteral("Esta sessão não tem chaveiro: a senha não foi "
                                           "guardada.")
                          : QStringLiteral("O chaveiro da sessão não guardou a senha: %1").arg(why),
                      QStringLiteral("Guarde a senha num arquivo só seu (chmod 600) e indique-o "
                                     "em SenhaArquivo= na seção [Email] de kvcob.conf."));
    }
}
