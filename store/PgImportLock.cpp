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
} // namespace

PgImportLock::PgImportLock(const QSqlDatabase& db) : m_db(db)
{
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(kImportLockKey)) || !q.next())
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
    q.exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kImportLockKey));
}
