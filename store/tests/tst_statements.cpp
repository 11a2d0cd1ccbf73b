// Every statement of the catalogue prepared and run on both engines: a text that one engine
// refuses (a server text edited out of step with the file's, a pragma sent to the server)
// fails here rather than at a desk.
#include "Database.h"
#include "DbTable.h"
#include "EngineProgramDir.h"
#include "KvError.h"
#include "PgCopyInsert.h"
#include "StoreCatalog.h"
#include "StoreStatements.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {
// Runs one statement of the catalogue; empty when it ran, else the engine's complaint.
QString run(QSqlDatabase& db, bool server, const StoreCatalog::Entry& entry)
{
    const QString text = entry.statement.joined(server);
    if (text.trimmed().isEmpty())
        return QStringLiteral("no text");
    QSqlQuery q(db);
    if (!entry.creates.isEmpty() &&
        !q.exec(QStringLiteral("DROP TABLE IF EXISTS ") + entry.creates))
        return q.lastError().text();
    if (entry.copy) {
        const auto copy = PgCopyInsert::prepare(db, entry.statement);
        if (!copy)
            return QStringLiteral("no COPY on this connection");
        QList<int> columns;
        for (int i = 0; i < entry.values.size(); ++i)
            columns << i;
        try {
            copy->exec(entry.values, columns);
            copy->finish();
        } catch (const KvError& e) {
            return e.message();
        }
        return {};
    }
    static const QRegularExpression parameter(QStringLiteral("\\?|:[A-Za-z]"));
    bool ran = false;
    if (!text.contains(parameter)) {
        // As DbQuery::execSql runs it: the server prepares no schema change.
        ran = q.exec(text);
    } else {
        ran = q.prepare(text);
        for (const QVariant& v : entry.values)
            q.addBindValue(v);
        ran = ran && q.exec();
    }
    return ran ? QString() : q.lastError().text();
}
} // namespace

class TstStatements : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { Database::closeAll(); }

    // One after the other on one connection, in the catalogue's order, as a desk would.
    void everyStatementRuns()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        QSqlDatabase db = Database::connection();
        const bool server = dir.isServer();
        QStringList failed;
        for (const StoreCatalog::Entry& entry : StoreCatalog::statements()) {
            if (!entry.statement.runsOn(server)) {
                QVERIFY2(entry.statement.runsOn(!server), qPrintable(entry.name));
                continue;
            }
            const QString error = run(db, server, entry);
            if (!error.isEmpty())
                failed << entry.name + QStringLiteral(": ") + error;
        }
        QVERIFY2(failed.isEmpty(), qPrintable(failed.join(QLatin1Char('\n'))));
    }

    // A statement added to a home of statements without its line in the catalogue is one
    // the trial above never runs.
    void everyStatementIsInTheCatalogue()
    {
        const QDir store(qEnvironmentVariable("KVCOB_SOURCE_DIR") + QStringLiteral("/store"));
        QSet<QString> listed;
        for (const StoreCatalog::Entry& e : StoreCatalog::statements())
            listed << e.name.section(QLatin1Char(' '), 0, 0);
        static const QRegularExpression declared(QStringLiteral("DbStatement (\\w+)\\("));
        int homes = 0;
        for (const QString& name :
             store.entryList({QStringLiteral("*Statements.h")}, QDir::Files)) {
            QFile f(store.filePath(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString home = name.chopped(2);
            ++homes;
            for (const auto& m : declared.globalMatch(QString::fromUtf8(f.readAll()))) {
                const QString function = home + QStringLiteral("::") + m.captured(1);
                QVERIFY2(listed.contains(function), qPrintable(function));
            }
        }
        QVERIFY(homes >= 2);
    }

    void everyTableIsCreatedOnEachEngine()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        for (const StoreCatalog::Table& table : StoreCatalog::tables()) {
            DbTable t(table.name);
            t.open();
            QVERIFY(int(t.fieldNames().size()) > 0);
            QCOMPARE(t.rowCount(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TstStatements)
#include "tst_statements.moc"
