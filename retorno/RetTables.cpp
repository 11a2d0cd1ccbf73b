#include "RetTables.h"

#include "Database.h"
#include "RetStatements.h"

#include <QSqlError>
#include <QSqlQuery>

void RetTables::ensure(const QSqlDatabase& db)
{
    const bool server = db.driverName() == QStringLiteral("QPSQL");
    QStringList statements;
    statements << RetStatements::createRetArq().text(server).join(QLatin1Char('\n'))
               << RetStatements::createRet().text(server).join(QLatin1Char('\n'))
               << RetStatements::createIndexes().text(server);
    QSqlQuery q(db);
    // Asked first: the server would otherwise note every table it skips.
    if (!q.exec(RetStatements::tablesPresent().text(server).join(QLatin1Char('\n'))) || !q.next())
        Database::raise(db, q.lastError());
    if (q.value(0).toInt() == 2)
        return;
    q.finish();
    for (const QString& s : statements) {
        if (!q.exec(s))
            Database::raise(db, q.lastError());
    }
}
