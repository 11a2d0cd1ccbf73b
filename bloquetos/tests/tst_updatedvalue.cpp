// The updated value of an overdue title, in centavos, on and around its due date, its fine
// date and its discount deadline, and the sentence the window and the slip show.

#include "Regional.h"
#include "UpdatedValue.h"

#include <QtTest>

namespace {
// Due 10/03/2026, R$ 1.000,00; R$ 0,50 a day; fine R$ 20,00 from 15/03; R$ 30,00 off up to
// 20/03; R$ 5,00 rebate.
BlqTitle title()
{
    BlqTitle t;
    t.datVen = QDate(2026, 3, 10);
    t.titVal = 1000.0;
    t.jurDiaVal = 0.5;
    t.valMul = 20.0;
    t.datMul = QDate(2026, 3, 15);
    t.dstVal = 30.0;
    t.dstDatLim = QDate(2026, 3, 20);
    t.abtAtrVal = 5.0;
    return t;
}
} // namespace

class TstUpdatedValue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Regional::setSeparators(QLatin1Char(','), QLatin1Char('.')); }

    void chargesOnAndAroundTheirDates_data()
    {
        QTest::addColumn<QDate>("on");
        QTest::addColumn<bool>("overdue");
        QTest::addColumn<qint64>("multa");
        QTest::addColumn<qint64>("juros");
        QTest::addColumn<qint64>("total");
        // Not yet late: nothing is added, whatever the discount.
        QTest::newRow("day before due") << QDate(2026, 3, 9) << false << 0LL << 0LL << 100000LL;
        QTest::newRow("due date") << QDate(2026, 3, 10) << false << 0LL << 0LL << 100000LL;
        // Late, discount still on: 1000 + 0,50 - 5 - 30.
        QTest::newRow("day after due") << QDate(2026, 3, 11) << true << 0LL << 50LL << 96550LL;
        QTest::newRow("day before fine") << QDate(2026, 3, 14) << true << 0LL << 200LL << 96700LL;
        // The slip says "a partir de": the fine is charged on its own date.
        QTest::newRow("fine date") << QDate(2026, 3, 15) << true << 2000LL << 250LL << 98750LL;
        QTest::newRow("discount deadline")
            << QDate(2026, 3, 20) << true << 2000LL << 500LL << 99000LL;
        QTest::newRow("day after deadline")
            << QDate(2026, 3, 21) << true << 2000LL << 550LL << 102050LL;
        // Interest counts calendar days, across a month's end and a whole year.
        QTest::newRow("next month") << QDate(2026, 4, 10) << true << 2000LL << 1550LL << 103050LL;
        QTest::newRow("a year on") << QDate(2027, 3, 10) << true << 2000LL << 18250LL << 119750LL;
    }
    void chargesOnAndAroundTheirDates()
    {
        QFETCH(QDate, on);
        QFETCH(bool, overdue);
        QFETCH(qint64, multa);
        QFETCH(qint64, juros);
        QFETCH(qint64, total);
        const UpdatedValue::Result r = UpdatedValue::compute(title(), on);
        QCOMPARE(r.overdue, overdue);
        QCOMPARE(r.multa, multa);
        QCOMPARE(r.juros, juros);
        QCOMPARE(r.total, total);
        QCOMPARE(r.value, 100000LL);
    }

    void titlesWithoutADueDateAreNeverLate_data()
    {
        QTest::addColumn<bool>("aVista");
        QTest::addColumn<bool>("contraApresentacao");
        QTest::addColumn<bool>("withDate");
        QTest::newRow("à vista") << true << false << false;
        QTest::newRow("contra apresentação") << false << true << false;
        QTest::newRow("no date") << false << false << false;
    }
    void titlesWithoutADueDateAreNeverLate()
    {
        QFETCH(bool, aVista);
        QFETCH(bool, contraApresentacao);
        QFETCH(bool, withDate);
        BlqTitle t = title();
        t.idcAvi = aVista;
        t.idcCAp = contraApresentacao;
        if (!withDate)
            t.datVen = QDate();
        const UpdatedValue::Result r = UpdatedValue::compute(t, QDate(2027, 1, 1));
        QVERIFY(!r.overdue);
        QCOMPARE(r.total, 100000LL);
        QVERIFY(UpdatedValue::sentence(r).isEmpty());
    }

    void aFineWithoutItsDateStartsTheDayAfterTheDueDate()
    {
        BlqTitle t = title();
        t.datMul = QDate();
        QCOMPARE(UpdatedValue::compute(t, QDate(2026, 3, 11)).multa, 2000LL);
    }

    void amountsRoundToCentavosOnceAndNeverGoBelowZero()
    {
        BlqTitle t;
        t.datVen = QDate(2026, 3, 10);
        t.titVal = 10.0;
        t.jurDiaVal = 0.333; // stored unrounded: 0,33 a day
        t.abtAtrVal = 50.0;  // more than the title
        UpdatedValue::Result r = UpdatedValue::compute(t, QDate(2026, 3, 13));
        QCOMPARE(r.juros, 99LL);
        QCOMPARE(r.total, 0LL);
        t.abtAtrVal.reset();
        r = UpdatedValue::compute(t, QDate(2026, 3, 13));
        QCOMPARE(r.total, 1099LL);
    }

    void theSentenceNamesTheDayTheTotalAndTheCharges()
    {
        const UpdatedValue::Result r = UpdatedValue::compute(title(), QDate(2026, 4, 10));
        QCOMPARE(UpdatedValue::sentence(r),
                 QStringLiteral("Valor atualizado até 10/04/2026: R$ 1.030,50 (multa R$ 20,00, "
                                "juros R$ 15,50)"));
    }
};

QTEST_GUILESS_MAIN(TstUpdatedValue)
#include "tst_updatedvalue.moc"
