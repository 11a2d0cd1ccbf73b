#include "PgConnection.h"

#include "DbAlias.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>
#include <libpq-fe.h>

namespace {
bool has(const QString& text, const char* what)
{
    return text.contains(QLatin1StringView(what), Qt::CaseInsensitive);
}

// The server's own words are kept after ours: they are what an administrator looks for.
QString withServerText(const QString& ours, const QString& serverText)
{
    const QString detail = serverText.simplified();
    if (detail.isEmpty())
        return ours;
    return ours + QStringLiteral(" (resposta do servidor: %1)").arg(detail);
}

bool lostConnection(const QString& text)
{
    return has(text, "server closed the connection") || has(text, "terminating connection") ||
           has(text, "no connection to the server") || has(text, "connection to server") ||
           has(text, "could not receive data") || has(text, "could not send data") ||
           has(text, "SSL SYSCALL error");
}
} // namespace

pg_conn* PgConnection::handleOf(const QSqlDatabase& db)
{
    if (db.driverName() != QStringLiteral("QPSQL") || !db.driver())
        return nullptr;
    const QVariant h = db.driver()->handle();
    // The plugin and this program load the same libpq (one soname in one process), so the
    // handle is ours to use once its type is the one we expect.
    if (!h.isValid())
        return nullptr;
    if (qstrcmp(h.typeName(), "PGconn*") != 0 && qstrcmp(h.typeName(), "pg_conn*") != 0)
        return nullptr;
    return *static_cast<PGconn* const*>(h.constData());
}

bool PgConnection::isBroken(const QSqlDatabase& db)
{
    PGconn* conn = handleOf(db);
    return conn && PQstatus(conn) != CONNECTION_OK;
}

QString PgConnection::serverName(const QSqlDatabase& db)
{
    QString where = db.hostName().isEmpty() ? QStringLiteral("localhost") : db.hostName();
    if (db.port() > 0)
        where += QLatin1Char(':') + QString::number(db.port());
    return QStringLiteral("%1, banco %2").arg(where, db.databaseName());
}

QString PgConnection::openFailure(const DbAlias& alias, const QString& serverText)
{
    const QString server = alias.serverName();
    QString what;
    if (has(serverText, "does not exist") && has(serverText, "database"))
        what = QStringLiteral("o banco de dados %1 não existe nesse servidor; confira "
                              "Database= em kvcob.conf")
                   .arg(alias.database());
    else if (has(serverText, "password authentication failed") ||
             has(serverText, "no password supplied") || has(serverText, "authentication") ||
             has(serverText, "pg_hba.conf") ||
             (has(serverText, "role") && has(serverText, "does not exist")))
        what = QStringLiteral("o servidor recusou o acesso do usuário %1; confira User= em "
                              "kvcob.conf e a senha em ~/.pgpass (ou PGPASSFILE)")
                   .arg(alias.user().isEmpty() ? qEnvironmentVariable("USER") : alias.user());
    else if (has(serverText, "timeout") || has(serverText, "timed out"))
        what = QStringLiteral("o servidor não respondeu a tempo");
    else if (has(serverText, "Connection refused") || has(serverText, "No such file") ||
             has(serverText, "could not connect") || has(serverText, "could not translate host") ||
             has(serverText, "starting up") || has(serverText, "shutting down"))
        what = QStringLiteral("o servidor não está respondendo; confira se ele está ligado e se "
                              "Host= e Port= em kvcob.conf estão certos");
    else
        what = QStringLiteral("a conexão foi recusada");
    return withServerText(
        QStringLiteral("Não foi possível conectar ao servidor PostgreSQL %1: %2. Nada foi "
                       "alterado; tente de novo quando o problema estiver resolvido.")
            .arg(server, what),
        serverText);
}

QString PgConnection::failure(const QSqlDatabase& db, const QString& serverText,
                              bool connectionLost)
{
    const QString server = serverName(db);
    if (connectionLost || lostConnection(serverText) || isBroken(db)) {
        return withServerText(
            QStringLiteral("A conexão com o servidor PostgreSQL %1 foi perdida. Os dados do "
                           "servidor continuam como estavam antes deste comando; repita-o "
                           "quando o servidor voltar.")
                .arg(server),
            serverText);
    }
    return withServerText(
        QStringLiteral("O servidor PostgreSQL %1 recusou o comando; os dados do servidor não "
                       "foram alterados por ele.")
            .arg(server),
        serverText);
}

QString PgConnection::failure(const QSqlDatabase& db, const QSqlError& error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    // Class 08 of the server's error codes: connection exceptions; 57P0x: the server is
    // shutting down or was restarted under the session.
    const QString code = error.nativeErrorCode();
    const bool lost =
        code.startsWith(QStringLiteral("08")) || code.startsWith(QStringLiteral("57P0"));
    return failure(db, text, lost);
}
