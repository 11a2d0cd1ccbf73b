#include "PgImportLock.h"

#include "Database.h"
#include "ImportGuard.h"
#include "KvError.h"
#include "PgConnection.h"
#include "StoreStatements.h"

#include <QSqlError>
#include <QSqlQuery>

PgImportLock::PgImportLock(const QSqlDatabase& db) : m_db(db)
{
    QSqlQuery q(m_db);
    if (!q.exec(StoreStatements::tryImportLock().joined(true)) || !q.next())
        Database::raise(m_db, q.lastError());
    if (!q.value(0).toBool())
        throw KvError(ImportGuard::busyMessage());
}

PgImportLock::~PgImportLock()
{
    // A lost connection has already released the lock with its session.
    if (!m_db.isOpen() || PgConnection::isBroken(m_db))
        return;
    QSqlQuery q(m_db);
    q.exec(StoreStatements::releaseImportLock().joined(true));
}
