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
// How each kind of load takes its lock on the server, and how it gives it back.
struct LockStatements {
    DbStatement take, release;
};

LockStatements lockOf(ImportGuard::Load load)
{
    switch (load) {
    case ImportGuard::Load::ReturnFile:
        return {RetStatements::tryLock(), RetStatements::releaseLock()};
    case ImportGuard::Load::Mailing:
        return {EnvStatements::tryLock(), EnvStatements::releaseLock()};
    case ImportGuard::Load::BankFile:
        break;
    }
    return {StoreStatements::tryImportLock(), StoreStatements::releaseImportLock()};
}
} // namespace

PgImportLock::PgImportLock(const QSqlDatabase& db, ImportGuard::Load load) : m_db(db), m_load(load)
{
    QSqlQuery q(m_db);
    if (!q.exec(lockOf(load).take.joined(true)) || !q.next())
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
    q.exec(lockOf(m_load).release.joined(true));
}
