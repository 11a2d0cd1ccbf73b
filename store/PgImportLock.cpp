#include "PgImportLock.h"

#include "Database.h"
#include "ImportGuard.h"
#include "KvError.h"
#include "PgConnection.h"
#include "RetStatements.h"
#include "StoreStatements.h"

#include <QSqlError>
#include <QSqlQuery>

PgImportLock::PgImportLock(const QSqlDatabase& db, bool returnFile)
    : m_db(db), m_returnFile(returnFile)
{
    QSqlQuery q(m_db);
    const DbStatement lock =
        returnFile ? RetStatements::tryLock() : StoreStatements::tryImportLock();
    if (!q.exec(lock.joined(true)) || !q.next())
        Database::raise(m_db, q.lastError());
    if (!q.value(0).toBool())
        throw KvError(returnFile ? ImportGuard::returnBusyMessage() : ImportGuard::busyMessage());
}

PgImportLock::~PgImportLock()
{
    // A lost connection has already released the lock with its session.
    if (!m_db.isOpen() || PgConnection::isBroken(m_db))
        return;
    QSqlQuery q(m_db);
    q.exec((m_returnFile ? RetStatements::releaseLock() : StoreStatements::releaseImportLock())
               .joined(true));
}
