#include "BlqUpgrade.h"

#include "BlqStatements.h"
#include "DbQuery.h"
#include "DbTable.h"

bool BlqUpgrade::columnsMissing()
{
    bool missing = true;
    DbTable table;
    table.open();
    for (int i = 0; i < table.fieldCount(); ++i) {
        const QString name = table.fieldName(i).toUpper();
        if (name == QStringLiteral("BLQVALMUL"))
            missing = false;
        if (name == QStringLiteral("BLQDATMUL"))
            missing = false;
    }
    table.close();
    return missing;
}

bool BlqUpgrade::upgradeIfNeeded()
{
    if (!columnsMissing())
        return false;
    DbQuery q(QStringLiteral("COBRANCAKV"));
    q.close();
    q.clearSql();
    q.sql() << BlqStatements::addValMul();
    q.execSql();
    q.close();
    q.clearSql();
    q.sql() << BlqStatements::addDatMul();
    q.execSql();
    return true;
}
