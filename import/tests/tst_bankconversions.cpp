#include "BankConversions.h"
#include "KvError.h"
#include "Regional.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace BankConversions;

class TstBankConversions : public QObject {
    Q_OBJECT
    TestEnvironment m_env{TestEnvironment::BrazilianFormats};
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void calculaDigito_data()
    {
        QTest::addColumn<QByteArray>("digits");
        QTest::addColumn<char>("digit");
        QTest::newRow("0001: sum 2") << QByteArray("0001") << '9';
        QTest::newRow("0019: sum 21, remainder 10") << QByteArray("0019") << '1';
        QTest::newRow("0006: d = 10") << QByteArray("0006") << '0';
        QTest::newRow("0000: d = 11") << QByteArray("0000") << '0';
        QTest::newRow("weights start again after 9") << QByteArray("100000000") << '9';
        QTest::newRow("agência and nosso número of zeros") << QByteArray(14, '0') << '0';
        // 1234 + 5678901234: 4*2+3*3+2*4+1*5+0*6+9*7+8*8+7*9+6*2+5*3+4*4+3*5+2*6+1*7 = 297
        QTest::newRow("fourteen digits") << QByteArray("12345678901234") << '0';
        QTest::newRow("one digit") << QByteArray("5") << '1';
        QTest::newRow("agência and contract") << QByteArray("034100123456") << '7';
        QTest::newRow("empty text") << QByteArray() << '0';
    }
    void calculaDigito()
    {
        QFETCH(QByteArray, digits);
        QFETCH(char, digit);
        QCOMPARE(CalculaDigito(digits), digit);
    }

    void calculaDigitoRejectsNonDigits_data()
    {
        QTest::addColumn<QByteArray>("digits");
        QTest::newRow("blank") << QByteArray("0341 000000001");
        QTest::newRow("letter") << QByteArray("03410000A00001");
        QTest::newRow("sign") << QByteArray("-1");
        QTest::newRow("NUL byte") << QByteArray("12\0"
                                                "4",
                                                4);
    }
    void calculaDigitoRejectsNonDigits()
    {
        QFETCH(QByteArray, digits);
        try {
            CalculaDigito(digits);
            QFAIL("no error");
        } catch (const KvConversionError& e) {
            QVERIFY(e.message().contains(QStringLiteral("dígito verificador")));
            QVERIFY(!e.message().contains(QChar(0)));
        }
    }

    void numbers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("thirteen digits") << QByteArray("0000000012345") << 12345.0;
        QTest::newRow("thirteen nines") << QByteArray("9999999999999") << 9999999999999.0;
        QTest::newRow("blanks around") << QByteArray("   123   ") << 123.0;
        QTest::newRow("sign") << QByteArray("-00000000050") << -50.0;
        QTest::newRow("regional decimals") << QByteArray("0000000012,5") << 12.5;
        QTest::newRow("zeros") << QByteArray("0000000000000") << 0.0;
    }
    void numbers()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QCOMPARE(number(text), value);
    }

    void badNumbersNameTheText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("blank") << QByteArray("             ");
        QTest::newRow("letters") << QByteArray("00000001234AB");
        QTest::newRow("inner blank") << QByteArray("00000 0001234");
        QTest::newRow("dot is not the regional separator") << QByteArray("0000000012.50");
        QTest::newRow("two separators") << QByteArray("00,00000012,5");
        QTest::newRow("sign alone") << QByteArray("-");
    }
    void badNumbersNameTheText()
    {
        QFETCH(QByteArray, text);
        try {
            number(text);
            QFAIL("no error");
        } catch (const KvConversionError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("'%1' não é um número válido").arg(QString::fromLatin1(text)));
        }
    }

    void amountsHaveTwoImpliedDecimals()
    {
        QCOMPARE(amount("9999999999999"), 99999999999.99);
        QCOMPARE(amount("0000009999999"), 99999.99);
    }

    void dates_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("year 2000 plus YY") << QByteArray("040700") << QDate(2000, 7, 4);
        QTest::newRow("2026") << QByteArray("311226") << QDate(2026, 12, 31);
        QTest::newRow("leap day") << QByteArray("290228") << QDate(2028, 2, 29);
        QTest::newRow("99 is 2099") << QByteArray("010199") << QDate(2099, 1, 1);
    }
    void dates()
    {
        QFETCH(QByteArray, text);
        QFETCH(QDate, date);
        QCOMPARE(BankConversions::date(text), date);
    }

    void badDates_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("31 February")
            << QByteArray("310226") << QStringLiteral("'31/02/2026' não é uma data válida");
        QTest::newRow("not a leap year")
            << QByteArray("290226") << QStringLiteral("'29/02/2026' não é uma data válida");
        QTest::newRow("month 13") << QByteArray("011326")
                                  << QStringLiteral("'01/13/2026' não é uma data válida");
        QTest::newRow("blanks") << QByteArray("      ")
                                << QStringLiteral("'  /  /20  ' não é uma data válida");
        QTest::newRow("control bytes shown as ?")
            << QByteArray("01\x01\x02"
                          "26")
            << QStringLiteral("'01/\?\?/2026' não é uma data válida");
        QTest::newRow("day zero") << QByteArray("000126")
                                  << QStringLiteral("'00/01/2026' não é uma data válida");
    }
    void badDates()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        try {
            date(text);
            QFAIL("no error");
        } catch (const KvConversionError& e) {
            QCOMPARE(e.message(), message);
        }
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("carteira 05") << QByteArray("05") << true << 5;
        QTest::newRow("ten digits") << QByteArray("0000000123") << true << 123;
        QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647;
        QTest::newRow("smallest") << QByteArray("-2147483648") << true << int(-2147483648LL);
        QTest::newRow("blanks around") << QByteArray(" 7 ") << true << 7;
        QTest::newRow("too large") << QByteArray("2147483648") << false << 0;
        QTest::newRow("ten nines") << QByteArray("9999999999") << false << 0;
        QTest::newRow("empty carteira") << QByteArray() << false << 0;
        QTest::newRow("blank carteira") << QByteArray("  ") << false << 0;
        QTest::newRow("letters") << QByteArray("0A") << false << 0;
        QTest::newRow("decimals") << QByteArray("1,5") << false << 0;
    }
    void wholeNumbers()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        try {
            QCOMPARE(wholeNumber(text), value);
            QVERIFY(ok);
        } catch (const KvConversionError& e) {
            QVERIFY(!ok);
            QCOMPARE(e.message(), QStringLiteral("'%1' não é um valor inteiro válido")
                                      .arg(QString::fromLatin1(text)));
        }
    }
};

QTEST_GUILESS_MAIN(TstBankConversions)
#include "tst_bankconversions.moc"
