#include "BlqSearchIndex.h"

#include "BlqSearchText.h"
#include "Database.h"
#include "DbQuery.h"
#include "DbTable.h"
#include "TitulosStatements.h"

#include <QSqlError>

namespace {
void run(const DbStatement& statement)
{
    DbQuery q;
    q.setStatement(statement);
    q.execSql();
}
} // namespace

bool BlqSearchIndex::hasSearchText()
{
    DbTable table;
    table.open();
    return table.fieldNames().contains(QLatin1StringView(BlqSearchText::kColumn),
                                       Qt::CaseInsensitive);
}

bool BlqSearchIndex::upgradeIfNeeded()
{
    bool changed = false;
    if (!hasSearchText()) {
        run(TitulosStatements::addSearchText());
        changed = true;
    }
    for (const DbStatement& s : TitulosStatements::addIndexes())
        run(s);
    fillMissing();
    return changed;
}

int BlqSearchIndex::fillMissing()
{
    struct Missing {
        QString seq;
        QString text;
    };
    QList<Missing> rows;
    {
        DbQuery q;
        q.setStatement(TitulosStatements::missingSearchText());
        q.open();
        for (; !q.eof(); q.next()) {
            rows << Missing{q.asString(QStringLiteral("BlqSeq")),
                            BlqSearchText::of(q.asString(QStringLiteral("BlqSacNom")),
                                              q.asString(QStringLiteral("BlqCpfCgcSac")),
                                              q.asString(QStringLiteral("BlqNosNum")),
                                              q.asString(QStringLiteral("BlqSeuNum")),
                                              q.asString(QStringLiteral("BlqNomCed")))};
        }
    }
    if (rows.isEmpty())
        return 0;
    QSqlDatabase db = Database::connection();
    if (!db.transaction())
        Database::raise(db, db.lastError());
    try {
        DbQuery update;
        update.setStatement(TitulosStatements::setSearchText());
        for (const Missing& m : std::as_const(rows)) {
            update.setParam(QStringLiteral("ParmBusTxt"), m.text);
            update.setParam(QStringLiteral("ParmSeq"), m.seq);
            update.execSql();
        }
        if (!db.commit())
            Database::raise(db, db.lastError());
    } catch (...) {
        db.rollback();
        throw;
    }
    return int(rows.size());
}
