// A title as a row of Blq: every member lands in its own column and comes back, absent
// members stay null, and the schema's column table agrees with the record.

#include "BlqSchema.h"
#include "BlqTitleRow.h"
#include "BlqTitles.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbQuery.h"
#include "DbTable.h"
#include "KvError.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QtTest>

namespace {
DbQuery& selectAll(DbQuery& q, const QString& columns = QStringLiteral("*"))
{
    q.sql() = {QStringLiteral("select %1 from Blq order by BlqSeq").arg(columns)};
    q.open();
    return q;
}

void storeIntoNewTable(const QList<BlqTitle>& titles)
{
    BlqUpgrade::upgradeIfNeeded();
    BlqTitles::store(titles);
}

// A title with every member given and none at its default.
BlqTitle everyMember()
{
    BlqTitle t = BlqTitles::numbered(5);
    t.dstDatLim = QDate(2026, 3, 1);
    t.qtdMoe = 12;
    t.abtAtrVal = 1.25;
    t.dstVal = 2.5;
    t.sacAvl = QStringLiteral("AVALISTA");
    t.msgErr = QString(QStringLiteral("")); // empty, not null
    t.idcAvi = true;
    t.valMul = 2.469; // a percentage late fee stays unrounded
    t.pixEmv = QStringLiteral("000201") + QString(400, QLatin1Char('x')); // any length
    return t;
}
} // namespace

class TstBlqTitleRow : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void everyColumnHasAMemberOfItsKind()
    {
        QList<BlqSchema::Member> seen;
        for (const BlqSchema::Column& c : BlqSchema::columns()) {
            const QString name = QString::fromLatin1(c.name);
            QVERIFY2(!seen.contains(c.member),
                     qPrintable(name + QStringLiteral(" shares a member")));
            seen << c.member;
            using K = BlqSchema::Kind;
            bool agrees = false;
            switch (c.kind) {
            case K::AutoInc:
                agrees = std::holds_alternative<qint32 BlqTitle::*>(c.member);
                break;
            case K::Text:
            case K::Memo:
                agrees = std::holds_alternative<QString BlqTitle::*>(c.member);
                break;
            case K::Date:
                agrees = std::holds_alternative<QDate BlqTitle::*>(c.member);
                break;
            case K::Money:
                agrees = std::holds_alternative<std::optional<double> BlqTitle::*>(c.member);
                break;
            case K::Integer:
                agrees = std::holds_alternative<std::optional<qint32> BlqTitle::*>(c.member);
                break;
            case K::Logical:
                agrees = std::holds_alternative<std::optional<bool> BlqTitle::*>(c.member);
                break;
            }
            QVERIFY2(agrees, qPrintable(name + QStringLiteral(": member of another kind")));
        }
        QCOMPARE(BlqSchema::names().size(), BlqSchema::columns().size());
    }

    void everyMemberComesBackFromItsColumn()
    {
        TempProgramDir dir;
        const BlqTitle t = everyMember();
        storeIntoNewTable({t});
        DbQuery q;
        const BlqTitle back = BlqTitleRow::read(selectAll(q));
        QCOMPARE(back.seq, 1);
        for (const BlqSchema::Column& c : BlqSchema::columns()) {
            const QString name = QString::fromLatin1(c.name);
            if (c.kind == BlqSchema::Kind::AutoInc)
                continue;
            std::visit(
                [&](auto member) {
                    QVERIFY2(t.*member == back.*member, qPrintable(name));
                    QVERIFY2(!q.isNull(name), qPrintable(name + QStringLiteral(" stored null")));
                },
                c.member);
        }
        QVERIFY(!back.msgErr.isNull());
    }

    void absentMembersStayNull()
    {
        TempProgramDir dir;
        BlqTitle t;
        t.ageCod = QStringLiteral("0123");
        storeIntoNewTable({t});
        DbQuery q;
        selectAll(q);
        for (const QString& name : BlqSchema::names()) {
            if (name != QStringLiteral("BlqSeq") && name != QStringLiteral("BlqAgeCod"))
                QVERIFY2(q.isNull(name), qPrintable(name));
        }
        const BlqTitle back = BlqTitleRow::read(q);
        QVERIFY(back.nomCed.isNull());
        QVERIFY(!back.datVen.isValid());
        QVERIFY(!back.titVal.has_value());
        QVERIFY(!back.qtdMoe.has_value());
        QVERIFY(!back.regVal.has_value());
        QCOMPARE(BlqTitle::cents(back.titVal), qint64(0));
        QVERIFY(!BlqTitle::isSet(back.idcAvi));
    }

    void columnsTheStatementLeftOutStayAbsent()
    {
        TempProgramDir dir;
        storeIntoNewTable({everyMember()});
        DbQuery q;
        const BlqTitle back =
            BlqTitleRow::read(selectAll(q, QStringLiteral("BlqAgeCod, BlqTitVal")));
        QCOMPARE(back.ageCod, QStringLiteral("0123"));
        QVERIFY(back.titVal.has_value());
        QVERIFY(back.ctrCod.isNull());
        QVERIFY(!back.regVal.has_value());
        QCOMPARE(back.seq, 0);
    }

    void textsAreCutToTheirColumns()
    {
        TempProgramDir dir;
        BlqTitle t;
        t.ageCod = QStringLiteral("012345");
        t.msg = QString(500, QLatin1Char('m')); // a memo keeps everything
        storeIntoNewTable({t});
        DbQuery q;
        const BlqTitle back = BlqTitleRow::read(selectAll(q));
        QCOMPARE(back.ageCod, QStringLiteral("0123"));
        QCOMPARE(back.msg.size(), 500);
    }

    void aLateFeeNeedsTheLateFeeColumns()
    {
        TempProgramDir dir; // the table as first installed: no late-fee columns
        DbTable table;
        table.open();
        BlqTitleRow row(table);
        BlqTitle t;
        t.ageCod = QStringLiteral("0123");
        table.append();
        row.write(t);
        table.post();
        t.valMul = 1.0;
        table.append();
        try {
            row.write(t);
            QFAIL("no error");
        } catch (const KvError& e) {
            QCOMPARE(e.message(), QStringLiteral("Campo 'BlqValMul' não encontrado"));
        }
    }

    void storedAmountsThatAreNotMoneyAreRefused_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        for (const char* c :
             {"BlqTitVal", "BlqAbtAtrVal", "BlqDstVal", "BlqJurDiaVal", "BlqValMul"}) {
            const QString column = QString::fromLatin1(c);
            QTest::addRow("%s infinite", c)
                << column << QStringLiteral("9e999")
                << QStringLiteral("'inf' não é um valor monetário válido (%1)").arg(column);
            QTest::addRow("%s far too large", c)
                << column << QStringLiteral("1e300")
                << QStringLiteral("'1e+300' não é um valor monetário válido (%1)").arg(column);
            QTest::addRow("%s text", c) << column << QStringLiteral("'abc'")
                                        << QStringLiteral("'abc' não é um valor numérico válido");
        }
    }
    void storedAmountsThatAreNotMoneyAreRefused()
    {
        QFETCH(QString, column);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        TempProgramDir dir;
        BlqUpgrade::upgradeIfNeeded();
        {
            DbQuery statement;
            statement.sql()
                << QStringLiteral("INSERT INTO Blq (%1) VALUES (%2)").arg(column, stored);
            statement.execSql();
        }
        DbQuery q;
        selectAll(q);
        try {
            BlqTitleRow::read(q);
            QFAIL("no error");
        } catch (const KvConversionError& e) {
            QCOMPARE(e.message(), message);
        }
    }

    void aClosedQueryIsAnError()
    {
        TempProgramDir dir;
        DbQuery q;
        QVERIFY_THROWS_EXCEPTION(KvError, BlqTitleRow::read(q));
    }
};

QTEST_GUILESS_MAIN(TstBlqTitleRow)
#include "tst_blqtitlerow.moc"
