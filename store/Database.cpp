#include "Database.h"

#include "DbAlias.h"
#include "DbError.h"
#include "KvError.h"
#include "PgConnection.h"
#include "PrivateFiles.h"
#include "ProgramDir.h"
#include "StoreCatalog.h"
#include "StoreStatements.h"

#include <QFileInfo>
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

// How long a statement waits for a lock held by another program before it fails.
constexpr int kBusyTimeoutMs = 2000;

// Makes sure the default SQLite file holds the program's tables (StoreCatalog::tables): a
// new or empty database gets them, and so does one that holds the bloqueto table (a table
// added by a later release); one with other tables but no Blq is somebody else's file and
// is left alone.
void prepareDefault(QSqlDatabase& db, const QString& file)
{
    QSqlQuery q(db);
    if (!q.exec(StoreStatements::tables().joined(false)))
        throw KvError(openFailure(file, q.lastError().text()));
    QStringList present;
    while (q.next())
        present << q.value(0).toString().toLower();
    q.finish();
    if (!present.isEmpty() && !present.contains(QStringLiteral("blq")))
        return;
    for (const StoreCatalog::Table& table : StoreCatalog::tables()) {
        if (present.contains(table.name.toLower()))
            continue;
        if (!q.exec(table.create().joined(false)))
            throw KvError(openFailure(file, q.lastError().text()));
    }
}

// A configured server gets each of the program's tables when it has none. The statements
// only create a missing table, so two desks starting at once both succeed.
void prepareServer(QSqlDatabase& db)
{
    for (const StoreCatalog::Table& table : StoreCatalog::tables()) {
        QSqlQuery q(db);
        if (!q.exec(StoreStatements::tableMissing(table.name).joined(true)) || !q.next())
            throw KvError(PgConnection::failure(db, q.lastError()));
        const bool missing = q.value(0).toBool();
        q.finish();
        if (missing && !q.exec(table.create().joined(true)))
            throw KvError(PgConnection::failure(db, q.lastError()));
    }
}
} // namespace

QSqlDatabase Database::connection(const QString& alias)
{
    const QString name = connectionName(alias);
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        // A server connection that was lost is opened afresh: the command after a failure
        // works again once the server is back.
        if (db.isOpen() && !PgConnection::isBroken(db))
            return db;
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        g_open.removeAll(name);
    }

    const DbAlias conf = DbAlias::read(alias);
    const QString driver = conf.driver();
    const bool sqlite = !conf.isServer();
    const QString dbName = configuration(alias).database;

    if (!QSqlDatabase::isDriverAvailable(driver)) {
        if (conf.isServer())
            throw KvError(QStringLiteral("O driver QPSQL, que liga o programa ao servidor "
                                         "PostgreSQL, não está instalado (pacote "
                                         "libqt6sql6-psql)."));
        throw KvError(QStringLiteral("Driver de banco de dados indisponível: %1").arg(driver));
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
    db.setDatabaseName(dbName);
    if (!conf.host().isEmpty())
        db.setHostName(conf.host());
    if (conf.port() > 0)
        db.setPort(conf.port());
    if (!conf.user().isEmpty())
        db.setUserName(conf.user());
    if (conf.isServer()) {
        // A server that does not answer must not hang the desk; the server's notices
        // ("already exists, skipping") are for its administrator and would otherwise reach
        // the clerk's terminal. The office's own options come last, so that they win.
        QString options = QStringLiteral("connect_timeout=10;application_name=kvcob;"
                                         "options='-c client_min_messages=warning'");
        if (!conf.options().trimmed().isEmpty())
            options += QLatin1Char(';') + conf.options().trimmed();
        db.setConnectOptions(options);
        // Exact amounts come back as doubles, as the file engine's REAL columns do.
        db.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    }
    if (sqlite && QFileInfo(dbName).isDir())
        throw KvError(openFailure(dbName, QStringLiteral("é uma pasta")));
    // SQLite gives its journals the database file's permissions: a file made open to
    // other accounts by an older version is made private before they are.
    if (sqlite) {
        for (const char* side : {"", "-wal", "-shm", "-journal"})
            PrivateFiles::tighten(dbName + QLatin1StringView(side));
    }
    if (!db.open()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        if (conf.isServer())
            throw KvError(PgConnection::openFailure(conf, text));
        throw KvError(openFailure(dbName, text));
    }
    g_open << name;
    try {
        if (conf.isServer()) {
            prepareServer(db);
        } else {
            QSqlQuery pragma(db);
            // Write-ahead log: readers keep seeing the titles of before while an import
            // writes, and an import never waits for a reader. The mode stays with the file;
            // a file of the old journal mode is converted here, which needs a moment alone
            // with it: when another program has it open the conversion waits for a later
            // start (no busy wait yet, so it fails at once). A read-only folder keeps the
            // old mode.
            // Only a file still empty takes it; an older one keeps its pages until an
            // import can enlarge them (enlargePages).
            pragma.exec(StoreStatements::setPageSize(kPageSize).joined(false));
            if (pragma.exec(StoreStatements::setJournalMode(QStringLiteral("WAL")).joined(false)))
                pragma.finish();
            // A large import leaves a large log: cut it back once it has been copied over.
            pragma.exec(StoreStatements::journalSizeLimit(67108864).joined(false));
            pragma.exec(StoreStatements::busyTimeout(kBusyTimeoutMs).joined(false));
            if (!conf.isConfigured())
                prepareDefault(db, dbName);
            else if (!pragma.exec(StoreStatements::tableCount().joined(false)))
                throw KvError(openFailure(dbName, pragma.lastError().text()));
        }
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        g_open.removeAll(name);
        throw;
    }
    return db;
}

bool Database::enlargePages(const QString& alias)
{
    QSqlDatabase db = connection(alias);
    if (db.driverName() != QStringLiteral("QSQLITE"))
        return false;
    QSqlQuery q(db);
    auto run = [&q](const DbStatement& statement) { return q.exec(statement.joined(false)); };
    auto number = [&q, &run](const DbStatement& pragma) {
        if (!run(pragma) || !q.next())
            return qint64(-1);
        const qint64 n = q.value(0).toLongLong();
        q.finish();
        return n;
    };
    auto text = [&q, &run](const DbStatement& pragma) {
        QString t;
        if (run(pragma) && q.next())
            t = q.value(0).toString().toLower();
        q.finish();
        return t;
    };
    const qint64 size = number(StoreStatements::pageSize());
    if (size < 0)
        return false;
    if (size >= kPageSize)
        return true;
    // A write-ahead log fixes the page size: the file leaves it for the moment of the
    // compaction. Leaving it needs the file alone, and asks once instead of waiting.
    run(StoreStatements::busyTimeout(0));
    const QString mode = text(StoreStatements::journalMode());
    bool done = false;
    if (mode != QStringLiteral("wal") ||
        text(StoreStatements::setJournalMode(QStringLiteral("DELETE"))) ==
            QStringLiteral("delete")) {
        run(StoreStatements::setPageSize(kPageSize));
        run(StoreStatements::vacuum()); // in one step: a failure leaves the file whole
        done = number(StoreStatements::pageSize()) >= kPageSize;
        if (mode == QStringLiteral("wal"))
            text(StoreStatements::setJournalMode(QStringLiteral("WAL")));
    }
    run(StoreStatements::busyTimeout(kBusyTimeoutMs));
    return done;
}

Database::AliasConfig Database::configuration(const QString& alias)
{
    const DbAlias a = DbAlias::read(alias);
    AliasConfig c;
    c.driver = a.driver();
    c.database = a.database();
    c.host = a.host();
    c.user = a.user();
    c.options = a.options();
    c.port = a.port();
    c.configured = a.isConfigured();
    if (!a.isServer() && c.database.isEmpty())
        c.database = ProgramDir::file(QStringLiteral("cobrancaKV.db"));
    else if (!a.isServer() && QFileInfo(c.database).isRelative())
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

void Database::raise(const QSqlDatabase& db, const QSqlError& error)
{
    if (db.driverName() == QStringLiteral("QPSQL"))
        throw DbError(causeOf(error), PgConnection::failure(db, error));
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (text.trimmed().isEmpty())
        text = QStringLiteral("Erro do banco de dados");
    // The advice names the file of the connection that failed, whichever alias it serves.
    throw DbError::fromEngine(causeOf(error), text,
                              advice(error.nativeErrorCode(), text, db.databaseName()));
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
    // 55P03: the server's lock_not_available.
    if ((numeric && (primary == 5 || primary == 6)) || code == QStringLiteral("55P03") ||
        text.contains(QStringLiteral("database is locked")))
        return DbError::Cause::Busy;
    return DbError::Cause::Other;
}

QString Database::advice(const QString& nativeCode, const QString& engineText, const QString& file)
{
    // SQLite's primary codes (the low byte of an extended one): 8 read-only, 13 full.
    bool numeric = false;
    const int code = nativeCode.toInt(&numeric) & 0xff;
    const QString where = file.isEmpty() ? QStringLiteral("cobrancaKV") : file;
    if ((numeric && code == 8) || engineText.contains(QStringLiteral("readonly")) ||
        engineText.contains(QStringLiteral("read-only")))
        return QStringLiteral("Não foi possível gravar no banco de dados %1: o arquivo ou a "
                              "sua pasta não aceita gravação; peça permissão de escrita para "
                              "os dois.")
            .arg(where);
    if ((numeric && code == 13) || engineText.contains(QStringLiteral("disk is full")))
        return QStringLiteral("Não foi possível gravar no banco de dados %1: o disco está "
                              "cheio; libere espaço e repita a operação.")
            .arg(where);
    return {};
}

QString Database::tableName(const QString& name)
{
    if (name.endsWith(QStringLiteral(".DB"), Qt::CaseInsensitive))
        return name.left(name.size() - 3);
    return name;
}
