#include "RetTables.h"

#include "BlqUpgrade.h"
#include "Database.h"
#include "RetStatements.h"
#include "StoreStatements.h"

#include <QSqlError>
#include <QSqlQuery>

void RetTables::ensure(const QSqlDatabase& db)
{
    // Database makes the tables of every default file and server (StoreCatalog); a file
    // named in kvcob.conf gets them here, with the indexes that every engine needs.
    const bool server = db.driverName() == QStringLiteral("QPSQL");
    // The reports read the late fee of the titles, a column of the upgraded table.
    BlqUpgrade::upgradeIfNeeded();
    QSqlQuery q(db);
    if (!q.exec(RetStatements::indexPresent().joined(server)) || !q.next())
        Database::raise(db, q.lastError());
    if (q.value(0).toInt() == 1)
        return;
    q.finish();
    QStringList present;
    if (server) {
        for (const QString& name : {QStringLiteral("retarq"), QStringLiteral("ret")}) {
            if (!q.exec(StoreStatements::tableMissing(name).joined(true)) || !q.next())
                Database::raise(db, q.lastError());
            if (!q.value(0).toBool())
                present << name;
            q.finish();
        }
    } else {
        if (!q.exec(StoreStatements::tables().joined(false)))
            Database::raise(db, q.lastError());
        while (q.next())
            present << q.value(0).toString().toLower();
        q.finish();
    }
    const QList<std::pair<QString, DbStatement>> tables = {
        {QStringLiteral("retarq"), RetStatements::createRetArq()},
        {QStringLiteral("ret"), RetStatements::createRet()}};
    for (const auto& [name, create] : tables) {
        if (!present.contains(name) && !q.exec(create.joined(server)))
            Database::raise(db, q.lastError());
    }
    for (const DbStatement& index : RetStatements::createIndexes()) {
        if (!q.exec(index.joined(server)))
            Database::raise(db, q.lastError());
    }
}
