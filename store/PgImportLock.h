#pragma once

#include "ImportGuard.h"

#include <QSqlDatabase>
#include <QString>

// The server's side of "one import at a time": an advisory lock of the database, taken at
// once or refused at once (never waited for), held by the import's session. A desk that
// dies in the middle of an import (power cut, kill -9) loses its session, and the server
// releases the lock with it.
class PgImportLock {
public:
    // Takes the lock on the server connection `db`; raises with ImportGuard's message when
    // another session holds it. The same session may take it again (nested guards).
    // Each kind of load has a lock of its own (see ImportGuard::Load).
    explicit PgImportLock(const QSqlDatabase& db,
                          ImportGuard::Load load = ImportGuard::Load::BankFile);
    ~PgImportLock();
    PgImportLock(const PgImportLock&) = delete;
    PgImportLock& operator=(const PgImportLock&) = delete;

private:
    QSqlDatabase m_db;
    ImportGuard::Load m_load;
};
