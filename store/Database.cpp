#include "Database.h"

#include "BlqSchema.h"
#include "DbError.h"
#include "KvError.h"
#include "ProgramDir.h"

#include <QFileInfo>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QStringList g_open;

QString connectionName(const QString& alias)
{
    return QStringLiteral("kv:") + alias.toLower();
}

QString openFailure(const QString& what, const QString& detail)
{
    return QStringLiteral("Não foi possível abrir o banco de dados %1: %2").arg(what, detail);
}

// Makes sure the default SQLite file holds the bloqueto table: a new or empty database gets
// it; one with other tables but no Blq is somebody else's file and is left alone.
void prepareDefault(QSqlDatabase& db, const QString& file)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        throw KvError(openFailure(file, q.lastError().text()));
    bool any = false;
    bool hasBlq = false;
    while (q.next()) {
        any = true;
        if (q.value(0).toString().compare(QStringLiteral("Blq"), Qt::CaseInsensitive) == 0)
            hasBlq = true;
    }
    q.finish();
    if (hasBlq || any)
        return;
    if (!q.exec(BlqSchema::createStatement()))
        throw KvError(openFailure(file, q.lastError().text()));
}
} // namespace

QSqlDatabase Database::connection(const QString& alias)
{
    const QString name = connectionName(alias);
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            return db;
        QSqlDatabase::removeDatabase(name);
    }

    const AliasConfig config = configuration(alias);
    const QString& driver = config.driver;
    const QString& dbName = config.database;
    const QString& host = config.host;
    const QString& user = config.user;
    const QString& password = config.password;
    const int port = config.port;
    const bool configured = config.configured;
    const bool sqlite = driver == QStringLiteral("QSQLITE");

    if (!QSqlDatabase::isDriverAvailable(driver))
        throw KvError(QStringLiteral("Driver de banco de dados indisponível: %1").arg(driver));

    QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
    db.setDatabaseName(dbName);
    if (!host.isEmpty())
        db.setHostName(host);
    if (port > 0)
        db.setPort(port);
    if (!user.isEmpty())
        db.setUserName(user);
    if (!password.isEmpty())
        db.setPassword(password);
    if (sqlite && QFileInfo(dbName).isDir())
        throw KvError(openFailure(dbName, QStringLiteral("é uma pasta")));
    if (!db.open()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw KvError(openFailure(dbName, text));
    }
    g_open << name;
    if (sqlite) {
        try {
            QSqlQuery pragma(db);
            // Write-ahead log: readers keep seeing the titles of before while an import
            // writes, and an import never waits for a reader. The mode stays with the file;
            // a file of the old journal mode is converted here, which needs a moment alone
            // with it: when another program has it open the conversion waits for a later
            // start (no busy wait yet, so it fails at once). A read-only folder keeps the
            // old mode.
            if (pragma.exec(QStringLiteral("PRAGMA journal_mode = WAL")))
                pragma.finish();
            // A large import leaves a large log: cut it back once it has been copied over.
            pragma.exec(QStringLiteral("PRAGMA journal_size_limit = 67108864"));
            pragma.exec(QStringLiteral("PRAGMA busy_timeout = 2000"));
            if (!configured)
                prepareDefault(db, dbName);
            else if (!pragma.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                throw KvError(openFailure(dbName, pragma.lastError().text()));
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            g_open.removeAll(name);
            throw;
        }
    }
    return db;
}

Database::AliasConfig Database::configuration(const QString& alias)
{
    AliasConfig c;
    c.driver = QStringLiteral("QSQLITE");
    const QString confPath = ProgramDir::confFile();
    if (QFileInfo::exists(confPath)) {
        QSettings conf(confPath, QSettings::IniFormat);
        for (const QString& group : conf.childGroups()) {
            if (group.compare(alias, Qt::CaseInsensitive) != 0)
                continue;
            conf.beginGroup(group);
            c.configured = true;
            c.driver = conf.value(QStringLiteral("Driver"), c.driver).toString();
            c.database = conf.value(QStringLiteral("Database")).toString();
            c.host = conf.value(QStringLiteral("Host")).toString();
            c.user = conf.value(QStringLiteral("User")).toString();
            c.password = conf.value(QStringLiteral("Password")).toString();
            c.port = conf.value(QStringLiteral("Port"), -1).toInt();
            conf.endGroup();
        }
        if (!c.configured &&
            alias.compare(QLatin1StringView(kDefaultAlias), Qt::CaseInsensitive) != 0)
            throw KvError(QStringLiteral("Alias de banco de dados desconhecido: %1").arg(alias));
    } else if (alias.compare(QLatin1StringView(kDefaultAlias), Qt::CaseInsensitive) != 0) {
        throw KvError(QStringLiteral("Alias de banco de dados desconhecido: %1").arg(alias));
    }
    const bool sqlite = c.driver == QStringLiteral("QSQLITE");
    if (sqlite && c.database.isEmpty())
        c.database = ProgramDir::file(QStringLiteral("cobrancaKV.db"));
    else if (sqlite && QFileInfo(c.database).isRelative())
        c.database = ProgramDir::file(c.database);
    return c;
}

void Database::closeAll()
{
    for (const QString& name : std::as_const(g_open)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    g_open.clear();
}

void Database::exec(const QString& alias, const QString& statement)
{
    QSqlDatabase db = connection(alias);
    QSqlQuery q(db);
    if (!q.exec(statement))
        raise(q.lastError(), statement);
}

DbError::Cause Database::causeOf(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    bool numeric = false;
    const int primary = code.toInt(&numeric) & 0xff; // SQLite's extended codes keep it low
    const QString text = error.databaseText();
    if ((numeric && primary == 13) || code == QStringLiteral("53100") ||
        text.contains(QStringLiteral("disk is full")) ||
        text.contains(QStringLiteral("No space left")))
        return DbError::Cause::Full;
    if ((numeric && (primary == 5 || primary == 6)) ||
        text.contains(QStringLiteral("database is locked")))
        return DbError::Cause::Busy;
    return DbError::Cause::Other;
}

void Database::raise(const QSqlError& error, const QString& context)
{
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (text.trimmed().isEmpty())
        text = QStringLiteral("Erro do banco de dados");
    Q_UNUSED(context);
    throw DbError::fromEngine(causeOf(error), text);
}

QString Database::tableName(const QString& name)
{
    if (name.endsWith(QStringLiteral(".DB"), Qt::CaseInsensitive))
        return name.left(name.size() - 3);
    return name;
}
