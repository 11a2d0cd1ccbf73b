#include "BloquetoCode.h"
#include "Clock.h"
#include "KvError.h"
#include "TestEnvironment.h"

#include <QtTest>

namespace {
QDate d(int day, int month, int year)
{
    return QDate(year, month, day);
}

BloquetoCode::Input example(qint64 cents = 15075, QDate datVen = QDate(2026, 3, 10))
{
    return {QStringLiteral("0123"), QStringLiteral("45678901234"), QStringLiteral("567890123"),
            cents, datVen};
}

const QDate kAfterSwitch(2026, 1, 15);
} // namespace

class TstBloquetoCode : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void workedExample()
    {
        const BloquetoCode c = BloquetoCode::compose(example(), kAfterSwitch);
        QCOMPARE(c.valueBlock(), QStringLiteral("13810000015075"));
        QCOMPARE(c.barcode(), QStringLiteral("84294138100000150750123456789012345678901232"));
        QCOMPARE(c.barcode().at(4), QLatin1Char('4'));
        QCOMPARE(c.typeableLine(),
                 QStringLiteral("84290.12340 56789.012343 56789.012327 4 13810000015075"));
        QCOMPARE(c.typeableLine().size(), 54);

        const QList<int> codes = {204, 89,  101, 98,  70, 60, 60,  75,  67,  110, 72,
                                  94,  116, 198, 210, 72, 94, 116, 198, 210, 72,  92};
        QString expected(QLatin1Char('('));
        for (int code : codes)
            expected += QChar(code);
        expected += QLatin1Char(')');
        QCOMPARE(CodificaBarras(c.barcode()), expected);
        QCOMPARE(CodificaBarras(c.barcode()).size(), 24);
    }

    void usesTheClock()
    {
        Clock::setFixed(QDateTime(kAfterSwitch, QTime(10, 0)));
        QCOMPARE(BloquetoCode::compose(example()).barcode(),
                 BloquetoCode::compose(example(), kAfterSwitch).barcode());
    }

    void factorNeverReachesFiveDigits_data()
    {
        QTest::addColumn<QDate>("datVen");
        QTest::addColumn<int>("factor");
        QTest::newRow("03/07/2000") << d(3, 7, 2000) << 1000;
        QTest::newRow("21/02/2025") << d(21, 2, 2025) << 9999;
        QTest::newRow("22/02/2025 rolls over") << d(22, 2, 2025) << 1000;
        QTest::newRow("10/03/2026") << d(10, 3, 2026) << 1381;
        QTest::newRow("13/10/2049") << d(13, 10, 2049) << 9999;
        // raw 19000: one subtraction would leave five digits and push a value digit out
        QTest::newRow("14/10/2049 raw 19000 takes 9000 twice") << d(14, 10, 2049) << 1000;
        QTest::newRow("raw 28000 takes 9000 three times")
            << QDate(1997, 10, 7).addDays(28000) << 1000;
    }
    void factorNeverReachesFiveDigits()
    {
        QFETCH(QDate, datVen);
        QFETCH(int, factor);
        QCOMPARE(BloquetoCode::dueDateFactor(datVen, kAfterSwitch), factor);
    }

    void lateDueDateKeepsEveryValueDigit()
    {
        const BloquetoCode c =
            BloquetoCode::compose(example(9876543210LL, d(14, 10, 2049)), kAfterSwitch);
        QCOMPARE(c.valueBlock(), QStringLiteral("10009876543210"));
        QCOMPARE(c.barcode().size(), 44);
        QCOMPARE(c.barcode().mid(5, 14), c.valueBlock());
    }

    void noDueDateCountsTodayPlus15()
    {
        const QDate today = d(1, 2, 2025);
        QCOMPARE(BloquetoCode::dueDateFactor(QDate(), today),
                 BloquetoCode::dueDateFactor(today.addDays(15), today));
        // the 15 days cross the roll-over
        QCOMPARE(BloquetoCode::dueDateFactor(QDate(), d(20, 2, 2025)), 1013);
        const BloquetoCode one = BloquetoCode::compose(example(15075, QDate()), d(1, 2, 2025));
        const BloquetoCode two = BloquetoCode::compose(example(15075, QDate()), d(2, 2, 2025));
        QVERIFY(one.barcode() != two.barcode());
    }

    void valueBlock_data()
    {
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("typeableTail");
        QTest::newRow("zero") << qint64(0) << QStringLiteral("13810000000000")
                              << QStringLiteral("13810000000000");
        QTest::newRow("ceiling") << qint64(9999999999LL) << QStringLiteral("13819999999999")
                                 << QStringLiteral("13819999999999");
        QTest::newRow("above ceiling") << qint64(10000000000LL) << QStringLiteral("00000000000000")
                                       << QStringLiteral("00000000000000");
    }
    void valueBlock()
    {
        QFETCH(qint64, cents);
        QFETCH(QString, block);
        QFETCH(QString, typeableTail);
        const BloquetoCode c = BloquetoCode::compose(example(cents), kAfterSwitch);
        QCOMPARE(c.valueBlock(), block);
        QCOMPARE(c.barcode().mid(5, 14), block);
        QVERIFY(c.typeableLine().endsWith(QLatin1Char(' ') + typeableTail));
        QCOMPARE(c.barcode().size(), 44);
        QCOMPARE(c.typeableLine().size(), 54);
    }

    void beforeTheSwitchDateTheValueStandsAlone()
    {
        const BloquetoCode c = BloquetoCode::compose(example(), d(3, 7, 2000));
        QCOMPARE(c.valueBlock(), QStringLiteral("         15075"));
        QCOMPARE(c.barcode().mid(5, 14), QStringLiteral("00000000015075"));
        QVERIFY(c.typeableLine().endsWith(QStringLiteral("          15075")));
        QCOMPARE(c.typeableLine().size(), 54);
        QCOMPARE(c.barcode().size(), 44);
        // the check digit is taken over the zeros, not the blanks
        QCOMPARE(c.barcode().at(4), DigitoModulo11(c.barcode().left(4) + c.barcode().mid(5)));
    }

    void modulo10_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("result");
        QTest::newRow("total 0") << QStringLiteral("0000") << QStringLiteral("00000");
        QTest::newRow("total 30") << QStringLiteral("3999") << QStringLiteral("39990");
        QTest::newRow("total 31") << QStringLiteral("4999") << QStringLiteral("49999");
        QTest::newRow("product 12 adds 1+2") << QStringLiteral("6") << QStringLiteral("67");
        QTest::newRow("26 digits") << QStringLiteral("12345678901234567890123456")
                                   << QStringLiteral("123456789012345678901234562");
    }
    void modulo10()
    {
        QFETCH(QString, digits);
        QFETCH(QString, result);
        QCOMPARE(AnexaDigitoModulo10(digits), result);
    }

    void modulo11_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QChar>("check");
        QTest::newRow("remainder 0") << QStringLiteral("14") << QChar(u'1');
        QTest::newRow("remainder 1") << QStringLiteral("6") << QChar(u'1');
        QTest::newRow("remainder 2") << QStringLiteral("1") << QChar(u'9');
        QTest::newRow("weights wrap after 9") << QStringLiteral("100000000") << QChar(u'9');
    }
    void modulo11()
    {
        QFETCH(QString, digits);
        QFETCH(QChar, check);
        QCOMPARE(DigitoModulo11(digits), check);
    }

    void barcodeTextPairs()
    {
        QCOMPARE(CodificaBarras(QStringLiteral("5960")),
                 QString(QLatin1Char('(')) + QChar(119) + QChar(180) + QLatin1Char(')'));
        QCOMPARE(CodificaBarras(QStringLiteral("00999")),
                 QString(QLatin1Char('(')) + QChar(60) + QChar(219) + QLatin1Char(')'));
        for (int n = 0; n < 100; ++n) {
            const ushort code =
                CodificaBarras(QString::number(n).rightJustified(2, u'0')).at(1).unicode();
            QVERIFY(code < 120 || code >= 180);
        }
    }

    void nonDigitIsAConversionError_data()
    {
        QTest::addColumn<QString>("ageCod");
        QTest::addColumn<QString>("nosNum");
        QTest::addColumn<QString>("ctrCod");
        QTest::addColumn<QString>("message");
        QTest::newRow("blank in agency")
            << QStringLiteral("01 3") << QStringLiteral("45678901234")
            << QStringLiteral("567890123") << QStringLiteral("' ' is not a valid integer value");
        QTest::newRow("letter in nosso número")
            << QStringLiteral("0123") << QStringLiteral("4567890X234")
            << QStringLiteral("567890123") << QStringLiteral("'X' is not a valid integer value");
        QTest::newRow("sign in contract")
            << QStringLiteral("0123") << QStringLiteral("45678901234")
            << QStringLiteral("-67890123") << QStringLiteral("'-' is not a valid integer value");
    }
    void nonDigitIsAConversionError()
    {
        QFETCH(QString, ageCod);
        QFETCH(QString, nosNum);
        QFETCH(QString, ctrCod);
        QFETCH(QString, message);
        try {
            BloquetoCode::compose({ageCod, nosNum, ctrCod, 100, d(10, 3, 2026)}, kAfterSwitch);
            QFAIL("no error");
        } catch (const KvConversionError& e) {
            QCOMPARE(e.message(), message);
        }
    }

    void negativeValueIsRefused()
    {
        QVERIFY_THROWS_EXCEPTION(KvConversionError,
                                 BloquetoCode::compose(example(-1), kAfterSwitch));
    }
};

QTEST_GUILESS_MAIN(TstBloquetoCode)
#include "tst_bloquetocode.moc"
