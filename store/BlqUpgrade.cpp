#include "BlqUpgrade.h"

#include "BlqSearchIndex.h"
#include "BlqStatements.h"
#include "DbQuery.h"
#include "DbTable.h"

namespace {
QStringList fieldNames()
{
    DbTable table;
    table.open();
    const QStringList names = table.fieldNames();
    table.close();
    return names;
}

bool has(const QStringList& names, const char* column)
{
    return names.contains(QLatin1StringView(column), Qt::CaseInsensitive);
}

void run(const DbStatement& statement)
{
    DbQuery q(QStringLiteral("COBRANCAKV"));
    q.close();
    q.clearSql();
    q.setStatement(statement);
    q.execSql();
}
} // namespace

bool BlqUpgrade::columnsMissing()
{
    const QStringList names = fieldNames();
    return !has(names, "BlqValMul") && !has(names, "BlqDatMul");
}

bool BlqUpgrade::pixColumnMissing()
{
    // A table holding one late-fee column only is one the import refuses: it stays as it
    // is, as the late-fee step leaves it.
    const QStringList names = fieldNames();
    return has(names, "BlqValMul") && has(names, "BlqDatMul") && !has(names, "BlqPixEmv");
}

bool BlqUpgrade::isBloquetoTable()
{
    const QStringList names = fieldNames();
    for (int i = 0; i < BlqSchema::kBaseColumns; ++i) {
        if (!has(names, BlqSchema::columns().at(i).name))
            return false;
    }
    return true;
}

bool BlqUpgrade::upgradeIfNeeded()
{
    // A table named Blq without the bloqueto columns is somebody else's: not ours to change.
    if (!isBloquetoTable())
        return false;
    bool changed = false;
    if (columnsMissing()) {
        run(BlqStatements::addValMul());
        run(BlqStatements::addDatMul());
        changed = true;
    }
    if (pixColumnMissing()) {
        run(BlqStatements::addPixEmv());
        changed = true;
    }
    // The search's column and indexes only on a table the import takes: every late-fee and
    // PIX column there.
    const QStringList names = fieldNames();
    if (has(names, "BlqValMul") && has(names, "BlqDatMul") && has(names, "BlqPixEmv") &&
        BlqSearchIndex::upgradeIfNeeded())
        changed = true;
    return changed;
}
