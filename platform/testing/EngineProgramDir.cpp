#include "EngineProgramDir.h"

#include "PgTestServer.h"

#include <QAtomicInt>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

EngineProgramDir::EngineProgramDir(const QString& engine)
{
    if (engine == QStringLiteral("sqlite")) {
        m_ready = true;
        return;
    }
    m_server = true;
    m_why = PgTestServer::missing();
    if (!m_why.isEmpty())
        return;
    // Installed from here on: whatever stops the server is the test's failure.
    m_failed = true;
    if (!PgTestServer::instance()) {
        m_why = QStringLiteral("the test server is installed but did not start: ") +
                PgTestServer::skipReason();
        return;
    }
    QString error;
    // Every test starts from a server without the table, as a new office would.
    if (!serverExec(QStringLiteral("DROP TABLE IF EXISTS Blq, RetArq, Ret"), &error)) {
        m_why = QStringLiteral("o servidor de teste não aceitou a limpeza: ") + error;
        return;
    }
    writeConf();
    m_failed = false;
    m_ready = true;
}

void EngineProgramDir::writeConf(const QByteArray& more) const
{
    QFile conf(file(QStringLiteral("kvcob.conf")));
    if (!conf.open(QIODevice::WriteOnly))
        return;
    if (m_server && PgTestServer::instance())
        conf.write(PgTestServer::instance()->confSection());
    conf.write(more);
}

bool EngineProgramDir::serverExec(const QString& statement, QString* error) const
{
    PgTestServer* server = PgTestServer::instance();
    if (!server)
        return false;
    static QAtomicInt serial;
    const QString name = QStringLiteral("kvtest-admin-%1").arg(serial.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(server->socketDir());
        db.setPort(server->port());
        db.setDatabaseName(server->database());
        db.setUserName(server->user());
        if (db.open()) {
            QSqlQuery q(db);
            // A test that left a session holding the table must not hang the next one.
            q.exec(QStringLiteral("SET lock_timeout = '10s'"));
            q.exec(QStringLiteral("SET client_min_messages = warning"));
            ok = q.exec(statement);
            if (!ok && error)
                *error = q.lastError().text();
        } else if (error) {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}
