#pragma once

#include <QString>

// What a database alias names, read from its section in kvcob.conf in the program
// directory: Driver (QSQLITE, the default, or QPSQL), Database, and for a server Host,
// Port, User and Options (libpq connection settings separated by blanks, such as
// "sslmode=require connect_timeout=5"). Without a
// section the default alias is the SQLite file cobrancaKV.db in the program directory.
//
// A password is never read from the file, which every desk's clerk can open: the server's
// own mechanisms supply it (~/.pgpass, PGPASSFILE, a service file, peer or certificates).
class DbAlias {
public:
    // Raises for an unknown alias, a Password key, or a driver name that is neither engine.
    static DbAlias read(const QString& alias);

    bool isServer() const { return m_driver == QLatin1StringView("QPSQL"); }
    bool isConfigured() const { return m_configured; }
    const QString& driver() const { return m_driver; }
    const QString& database() const { return m_database; }
    const QString& host() const { return m_host; }
    int port() const { return m_port; }
    const QString& user() const { return m_user; }
    const QString& options() const { return m_options; }
    // How messages name the server: "HOST:PORTA, banco BANCO".
    QString serverName() const;

private:
    QString m_driver = QStringLiteral("QSQLITE");
    QString m_database;
    QString m_host;
    QString m_user;
    QString m_options;
    int m_port = -1;
    bool m_configured = false;
};
