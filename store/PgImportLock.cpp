#include "PgImportLock.h"

#include "Database.h"
#include "EnvStatements.h"
#include "ImportGuard.h"
#include "KvError.h"
#include "PgConnection.h"
#include "RetStatements.h"
#include "StoreStatements.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
DbStatement lockOf(ImportGuard::Load load)
{
    switch (load) {
    case ImportGuard::Load::ReturnFile:
        return RetStatements::tryLock();
    case ImportGuard::Load::Mailing:
        return EnvStatements::tryLock();
    case ImportGuard::Load::BankFile:
        break;
    }
    return StoreStatements::tryImportLock();
}

DbStatement unlockOf(ImportGuard::Load load)
{
    switch (load) {
    case ImportGuard::Load::ReturnFile:
        return RetStatements::releaseLock();
    case ImportGuard::Load::Mailing:
        return EnvStatements::releaseLock();
    case ImportGuard::Load::BankFile:
        break;
    }
    return StoreStatements::releaseImportLock();
}
} // namespace

PgImportLock::PgImportLock(const QSqlDatabase& db, ImportGuard::Load load) : m_db(db), m_load(load)
{
    QSqlQuery q(m_db);
    if (!q.exec(lockOf(load).joined(true)) || !q.next())
        Database::raise(m_db, q.lastError());
    if (!q.value(0).toBool())
        throw KvError(ImportGuard::busyMessage(load));
}

PgImportLock::~PgImportLock()
{
    // A lost connection has already released the lock with its session.
    if (!m_db.isOpen() || PgConnection::isBroken(m_db))
        return;
    QSqlQuery q(m_db);
    q.exec(unlockOf(m_load).joined(true));
}
