#include "Clock.h"
#include "Cp1252.h"
#include "Dialogs.h"
#include "KvError.h"
#include "Regional.h"
#include "ScriptedDialogs.h"

#include <QtTest>

class TstPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cp1252RoundTripsEveryByte()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = static_cast<char>(i);
        const QString text = Cp1252::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(Cp1252::encode(text), all);
        QCOMPARE(text.at(0x80), QChar(0x20AC)); // euro sign
        QCOMPARE(text.at(0xC9), QChar(0xC9));   // É
    }

    void cp1252ReplacesForeignCharacters()
    {
        QCOMPARE(Cp1252::encode(u"JOSÉ \u4E2D"), QByteArray("JOS\xC9 ?"));
    }

    void formatCents_data()
    {
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<bool>("thousands");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << true << QStringLiteral("0,00");
        QTest::newRow("one centavo") << qint64(1) << true << QStringLiteral("0,01");
        QTest::newRow("thousand") << qint64(123456) << true << QStringLiteral("1.234,56");
        QTest::newRow("no grouping") << qint64(123456) << false << QStringLiteral("1234,56");
        QTest::newRow("ceiling") << qint64(9999999999) << true << QStringLiteral("99.999.999,99");
        QTest::newRow("negative") << qint64(-100050) << true << QStringLiteral("-1.000,50");
    }
    void formatCents()
    {
        QFETCH(qint64, cents);
        QFETCH(bool, thousands);
        QFETCH(QString, text);
        Regional::setSeparators(QLatin1Char(','), QLatin1Char('.'));
        QCOMPARE(Regional::formatCents(cents, thousands), text);
    }

    void toCentsRoundsBinaryFractions()
    {
        QCOMPARE(Regional::toCents(0.29), qint64(29));
        QCOMPARE(Regional::toCents(99999999.99), qint64(9999999999));
        QCOMPARE(Regional::toCents(1.005 * 100), qint64(10050));
    }

    void dateTimeTextDropsMidnight()
    {
        QCOMPARE(Regional::dateTimeText(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 0))),
                 QStringLiteral("08/12/2026"));
        QCOMPARE(Regional::dateTimeText(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 1))),
                 QStringLiteral("08/12/2026 00:00:01"));
        QCOMPARE(Regional::shortDate(QDate()), QString());
        QCOMPARE(Regional::parseShortDate(QStringLiteral("04/07/2000")), QDate(2000, 7, 4));
    }

    void clockCanBeFixed()
    {
        const QDateTime when(QDate(2000, 7, 3), QTime(23, 59, 59));
        Clock::setFixed(when);
        QCOMPARE(Clock::now(), when);
        Clock::setFixed(QDateTime());
        QVERIFY(Clock::today() != when.date());
    }

    void guardedCommandShowsTheErrorText()
    {
        ScriptedDialogs dlg;
        QVERIFY(!runGuarded([] { throw KvError(QStringLiteral("Não há Dados na Base")); }));
        QVERIFY(runGuarded([] {}));
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("Não há Dados na Base")});
    }
};

QTEST_GUILESS_MAIN(TstPlatform)
#include "tst_platform.moc"
