#include "PgImportLock.h"

#include "Database.h"
#include "ImportGuard.h"
#include "KvError.h"
#include "PgConnection.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
// One number for the bloqueto import of a database, the same on every desk.
constexpr qint64 kImportLockKey = 0x6B76636F62426C71; // "kvcobBlq"
constexpr qint64 kReturnLockKey = 0x6B76636F62526574; // "kvcobRet"
} // namespace

PgImportLock::PgImportLock(const QSqlDatabase& db, bool returnFile)
    : m_db(db), m_key(returnFile ? kReturnLockKey : kImportLockKey)
{
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(m_key)) || !q.next())
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
    q.exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(m_key));
}
