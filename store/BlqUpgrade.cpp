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

bool BlqUpgrade::isBloquetoTable()
{
    DbTable table;
    table.open();
    const QStringList names = table.fieldNames();
    table.close();
    for (int i = 0; i < BlqSchema::kBaseColumns; ++i) {
        if (!names.contains(QLatin1StringView(BlqSchema::columns().at(i).name),
                            Qt::CaseInsensitive))
            return false;
    }
    return true;
}

bool BlqUpgrade::upgradeIfNeeded()
{
    // A table named Blq without the bloqueto columns is somebody else's: not ours to change.
    if (!columnsMissing() || !isBloquetoTable())
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
