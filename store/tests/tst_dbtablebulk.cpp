// DbTable on the import's path: fields set by position, rows bound straight on SQLite's
// handle, a large table emptied.
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbError.h"
#include "DbQuery.h"
#include "DbTable.h"
#include "KvError.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {
QVariant stored(const QString& column)
{
    QSqlQuery q(Database::connection());
    if (!q.exec(QStringLiteral("SELECT %1 FROM Blq ORDER BY BlqSeq DESC LIMIT 1").arg(column)) ||
        !q.next())
        return QStringLiteral("<no row>");
    return q.value(0);
}

QString typeOf(const QString& column)
{
    return stored(QStringLiteral("typeof(%1)").arg(column)).toString();
}

// Opens the table and stores one row; from then on the database refuses the rows that
// `when` picks (every row for none) with "linha recusada".
void storeOneRowThenRefuse(DbTable& t, const QString& when = QString())
{
    t.open();
    t.append();
    t.post();
    {
        DbQuery statement;
        statement.sql() << QStringLiteral("CREATE TRIGGER recusa BEFORE INSERT ON Blq %1 "
                                          "BEGIN SELECT RAISE(ABORT, 'linha recusada'); END")
                               .arg(when.isEmpty() ? QString() : QStringLiteral("WHEN ") + when);
        statement.execSql();
    }
}
} // namespace

class TstDbTableBulk : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_dir.reset(new TempProgramDir);
        BlqUpgrade::upgradeIfNeeded();
    }
    void cleanup()
    {
        Database::closeAll();
        m_dir.reset();
    }

    void settersTakeTheFieldsPosition()
    {
        DbTable t;
        t.open();
        const int age = t.fieldIndex(QStringLiteral("BLQAGECOD"));
        QCOMPARE(t.fieldNames().at(age), QStringLiteral("BlqAgeCod"));
        QVERIFY_THROWS_EXCEPTION(KvError, t.fieldIndex(QStringLiteral("BlqNada")));
        QVERIFY_THROWS_EXCEPTION(KvError, t.setText(age, QStringLiteral("1"))); // nothing pending
        t.append();
        t.setText(age, QStringLiteral("012345")); // cut to the width, 4
        t.setDate(t.fieldIndex(QStringLiteral("BlqDatVen")), QDate(2027, 1, 9));
        t.setDate(t.fieldIndex(QStringLiteral("BlqDatEmi")), QDate());
        t.setFloat(t.fieldIndex(QStringLiteral("BlqTitVal")), 12.5);
        t.setBool(t.fieldIndex(QStringLiteral("BlqIdcAvi")), false);
        t.setInteger(t.fieldIndex(QStringLiteral("BlqQtdMoe")), -7);
        t.setMemo(t.fieldIndex(QStringLiteral("BlqIns")), QString(500, QLatin1Char('i')));
        QVERIFY_THROWS_EXCEPTION(
            KvError, t.setText(t.fieldIndex(QStringLiteral("BlqSeq")), QStringLiteral("9")));
        QVERIFY_THROWS_EXCEPTION(KvError, t.setText(-1, QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(KvError,
                                 t.setText(int(t.fieldNames().size()), QStringLiteral("x")));
        t.post();
        QCOMPARE(stored(QStringLiteral("BlqAgeCod")).toString(), QStringLiteral("0123"));
        QCOMPARE(stored(QStringLiteral("BlqDatVen")).toString(), QStringLiteral("2027-01-09"));
        QCOMPARE(typeOf(QStringLiteral("BlqDatEmi")), QStringLiteral("null"));
        QCOMPARE(typeOf(QStringLiteral("BlqTitVal")), QStringLiteral("real"));
        QCOMPARE(typeOf(QStringLiteral("BlqIdcAvi")), QStringLiteral("integer"));
        QCOMPARE(stored(QStringLiteral("BlqQtdMoe")).toInt(), -7);
        QCOMPARE(stored(QStringLiteral("length(BlqIns)")).toInt(), 500);
    }

    void textKeepsEveryCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("back");
        QTest::addColumn<QString>("type");
        const QString s = QString::fromUtf8("JOSÉ € ÇÃO ÿ ~ \x7f fim");
        QTest::newRow("Windows-1252 letters") << s << s << "text";
        const QString wide = QString::fromUtf8("日本 \xF0\x9F\x98\x80 x"); // BMP and a pair
        QTest::newRow("beyond Latin") << wide << wide << "text";
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + QLatin1Char('a')
                                        << QString(QChar(0xFFFD)) + QLatin1Char('a') << "text";
        QTest::newRow("empty text is not null") << QStringLiteral("") << QString() << "text";
        QTest::newRow("null text is null") << QString() << QString() << "null";
        QTest::newRow("three characters")
            << QStringLiteral("abc") << QStringLiteral("abc") << "text";
        QTest::newRow("five, accent last")
            << QStringLiteral("abcdé") << QStringLiteral("abcdé") << "text";
    }
    void textKeepsEveryCharacter()
    {
        QFETCH(QString, text);
        QFETCH(QString, back);
        QFETCH(QString, type);
        DbTable t;
        t.open();
        t.append();
        t.setMemo(t.fieldIndex(QStringLiteral("BlqMsg")), text);
        t.post();
        QCOMPARE(typeOf(QStringLiteral("BlqMsg")), type);
        QCOMPARE(stored(QStringLiteral("BlqMsg")).toString(), back);
    }

    void longerBuffersDoNotLeakIntoShorterTexts()
    {
        DbTable t;
        t.open();
        t.append();
        t.setMemo(t.fieldIndex(QStringLiteral("BlqMsg")), QString(300, QLatin1Char('L')));
        t.append(); // stores the long one
        t.setMemo(t.fieldIndex(QStringLiteral("BlqMsg")), QStringLiteral("curto"));
        t.post();
        QCOMPARE(stored(QStringLiteral("BlqMsg")).toString(), QStringLiteral("curto"));
    }

    void aRefusedRowIsAnErrorAndIsNotTriedAgain()
    {
        DbTable t;
        storeOneRowThenRefuse(t);
        t.append();
        try {
            t.post();
            QFAIL("no error");
        } catch (const KvError& e) {
            QVERIFY(e.message().contains(QStringLiteral("linha recusada")));
        }
        QVERIFY(!t.hasPending());
        t.close();
        QCOMPARE(stored(QStringLiteral("count(*)")).toInt(), 1);
    }

    // Inside a batch the rows are stored behind the caller's back, many at a time: they
    // must all arrive, in order and whole, before anything else reads the table.
    void batchedRowsArriveInOrderBeforeAnyOtherStatement()
    {
        DbTable t;
        t.open();
        const int msg = t.fieldIndex(QStringLiteral("BlqMsg"));
        const int value = t.fieldIndex(QStringLiteral("BlqTitVal"));
        const int due = t.fieldIndex(QStringLiteral("BlqDatVen"));
        const int quantity = t.fieldIndex(QStringLiteral("BlqQtdMoe"));
        t.beginBatch();
        const int rows = 5000; // many bundles, the last one partly filled
        for (int i = 0; i < rows; ++i) {
            t.append();
            // Texts of every length up to far beyond a bundle, accents and a pair included.
            t.setMemo(msg, i % 997 == 0 ? QString(70000 + i, QChar(0x00E9))
                                        : QStringLiteral("linha %1 ç \U0001F600").arg(i));
            t.setFloat(value, i + 0.25);
            if (i % 2)
                t.setDate(due, QDate(2027, 1, 1).addDays(i));
            t.setInteger(quantity, -i);
        }
        t.post();
        QCOMPARE(t.rowCount(), rows); // inside the batch still
        t.commitBatch();
        QSqlQuery q(Database::connection());
        QVERIFY(q.exec(QStringLiteral(
            "SELECT BlqMsg, BlqTitVal, BlqDatVen, BlqQtdMoe FROM Blq ORDER BY BlqSeq")));
        int i = 0;
        for (; q.next(); ++i) {
            const QString text = i % 997 == 0 ? QString(70000 + i, QChar(0x00E9))
                                              : QStringLiteral("linha %1 ç \U0001F600").arg(i);
            if (q.value(0).toString() != text || q.value(1).toDouble() != i + 0.25 ||
                q.value(2).isNull() != (i % 2 == 0) || q.value(3).toInt() != -i)
                QFAIL(qPrintable(QStringLiteral("row %1 differs").arg(i)));
        }
        QCOMPARE(i, rows);
    }

    // A row refused in a batch is reported late, by a later post or by the commit; the
    // rollback that follows leaves the table as before the batch, and the table works on.
    void aRowRefusedInABatchUndoesTheBatch_data()
    {
        QTest::addColumn<int>("refused");
        QTest::newRow("early, a later post reports it") << 3;
        QTest::newRow("last, the commit reports it") << 1999;
    }
    void aRowRefusedInABatchUndoesTheBatch()
    {
        QFETCH(int, refused);
        DbTable t;
        storeOneRowThenRefuse(t, QStringLiteral("NEW.BlqMsg = 'recusar'"));
        t.beginBatch();
        QString error;
        try {
            for (int i = 0; i < 2000; ++i) {
                t.append();
                t.setMemo(t.fieldIndex(QStringLiteral("BlqMsg")),
                          i == refused ? QStringLiteral("recusar") : QString(200, QChar(u'x')));
            }
            t.post();
            t.commitBatch();
        } catch (const KvError& e) {
            error = e.message();
        }
        QVERIFY(error.contains(QStringLiteral("linha recusada")));
        t.cancel();
        t.rollbackBatch();
        QCOMPARE(t.rowCount(), 1);
        t.beginBatch();
        t.append();
        t.post();
        t.commitBatch();
        QCOMPARE(t.rowCount(), 2);
    }

    void emptyingALargeTableCompactsTheFile()
    {
        DbTable t;
        t.open();
        t.beginBatch();
        for (int i = 0; i < 3000; ++i) {
            t.append();
            t.setMemo(t.fieldIndex(QStringLiteral("BlqMsg")), QString(390, QLatin1Char('m')));
        }
        t.post();
        t.commitBatch();
        const QString file = m_dir->file(QStringLiteral("cobrancaKV.db"));
        QSqlQuery q(Database::connection());
        // In write-ahead-log mode the file holds the rows once the log is copied into it.
        auto checkpointed = [&] {
            q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            q.finish();
            return QFileInfo(file).size();
        };
        QVERIFY(checkpointed() > 1000000);
        QVERIFY(q.exec(QStringLiteral("PRAGMA secure_delete")) && q.next());
        const int secureDelete = q.value(0).toInt();
        q.finish();

        QVERIFY(q.exec(QStringLiteral("select count(*) from sqlite_master")) && q.next());
        const qint64 objects = q.value(0).toLongLong(); // tables and indexes, a page each
        q.finish();

        t.emptyTable();
        QCOMPARE(t.rowCount(), 0);
        // What stays is the schema and the empty tables and indexes: a few pages.
        QVERIFY(checkpointed() <= (objects + 5) * Database::kPageSize);
        QVERIFY(q.exec(QStringLiteral("PRAGMA secure_delete")) && q.next());
        QCOMPARE(q.value(0).toInt(), secureDelete);
        QCOMPARE(int(t.fieldNames().size()), 36); // columns kept
        // Rows stored afterwards still number after the old ones.
        t.append();
        t.post();
        QCOMPARE(stored(QStringLiteral("BlqSeq")).toInt(), 3001);
    }

    // A COMMIT the engine refuses (here another program reading the file in the old
    // journal mode, which holds the write back) used to leave the transaction open: the
    // connection, which lives as long as the window, kept the write lock.
    void aRefusedCommitUndoesTheBatchAndFreesTheFile()
    {
        Database::closeAll();
        const QString file = m_dir->file(QStringLiteral("cobrancaKV.db"));
        const QString reader = QStringLiteral("leitor"), writer = QStringLiteral("outro");
        {
            QSqlDatabase r = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), reader);
            r.setDatabaseName(file);
            QVERIFY(r.open());
            QSqlQuery q(r);
            QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode = DELETE")) && q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("delete"));
            q.finish();
            QVERIFY(q.exec(QStringLiteral("INSERT INTO Blq (BlqSeuNum) VALUES ('antes')")));
            // A read transaction: its shared lock stays until it ends.
            QVERIFY(r.transaction());
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM Blq")) && q.next());
        }
        DbTable t;
        t.open();
        t.beginBatch();
        t.append();
        t.setText(t.fieldIndex(QStringLiteral("BlqSeuNum")), QStringLiteral("novo"));
        t.post();
        try {
            t.commitBatch();
            QFAIL("the batch was committed under another program's read");
        } catch (const DbError& e) {
            QCOMPARE(e.cause(), DbError::Cause::Busy);
        }
        QSqlDatabase::database(reader).rollback();
        {
            QSqlDatabase w = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), writer);
            w.setDatabaseName(file);
            w.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
            QVERIFY(w.open());
            QSqlQuery q(w);
            QVERIFY2(q.exec(QStringLiteral("BEGIN IMMEDIATE")), qPrintable(q.lastError().text()));
            QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
        }
        QSqlDatabase::removeDatabase(writer);
        QSqlDatabase::removeDatabase(reader);
        QCOMPARE(t.rowCount(), 1);
        QCOMPARE(stored(QStringLiteral("BlqSeuNum")).toString(), QStringLiteral("antes"));
    }

private:
    std::unique_ptr<TempProgramDir> m_dir;
};

QTEST_GUILESS_MAIN(TstDbTableBulk)
#include "tst_dbtablebulk.moc"
