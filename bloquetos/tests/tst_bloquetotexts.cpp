#include "BloquetoTexts.h"
#include "Regional.h"
#include "TestEnvironment.h"

#include <QtTest>

using BloquetoTexts::Charges;
Q_DECLARE_METATYPE(BloquetoTexts::Charges)

class TstBloquetoTexts : public QObject {
    Q_OBJECT
    TestEnvironment m_env{TestEnvironment::BrazilianFormats};
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void dueDateCaption_data()
    {
        QTest::addColumn<bool>("aVista");
        QTest::addColumn<bool>("cap");
        QTest::addColumn<QDate>("datVen");
        QTest::addColumn<QString>("caption");
        const QDate due(2026, 3, 10);
        QTest::newRow("date") << false << false << due << QStringLiteral("10/03/2026");
        QTest::newRow("à vista") << true << false << due << QStringLiteral("À Vista");
        QTest::newRow("contra apresentação")
            << false << true << QDate() << QStringLiteral("C/Apres.");
        QTest::newRow("both flags") << true << true << due << QStringLiteral("À Vista");
        QTest::newRow("nothing at all") << false << false << QDate() << QString();
    }
    void dueDateCaption()
    {
        QFETCH(bool, aVista);
        QFETCH(bool, cap);
        QFETCH(QDate, datVen);
        QFETCH(QString, caption);
        QCOMPARE(BloquetoTexts::dueDateCaption(aVista, cap, datVen), caption);
    }

    void slices_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        const QString a65(65, QLatin1Char('a'));
        QTest::newRow("empty") << QString() << QStringList(6, QString());
        QTest::newRow("70 characters") << a65 + QStringLiteral("bbbbb")
                                       << QStringList{a65, QStringLiteral("bbbbb"), {}, {}, {}, {}};
        QTest::newRow("blanks dropped at both ends of each slice")
            << QStringLiteral("  um") + QString(61, QLatin1Char(' ')) +
                   QStringLiteral("  dois  \r\n")
            << QStringList{QStringLiteral("um"), QStringLiteral("dois"), {}, {}, {}, {}};
        QString long400;
        for (int i = 0; i < 400; ++i)
            long400 += QChar(u'A' + i / 65);
        QTest::newRow("after 390 nothing")
            << long400 << QStringList{QString(65, u'A'), QString(65, u'B'), QString(65, u'C'),
                                      QString(65, u'D'), QString(65, u'E'), QString(65, u'F')};
    }
    void slices()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(BloquetoTexts::slices(text), lines);
    }

    void charges_data()
    {
        QTest::addColumn<Charges>("charges");
        QTest::addColumn<QStringList>("lines");
        const QString b = QStringLiteral(" ");
        QTest::newRow("all zero") << Charges{} << QStringList{b, b, b, b};
        Charges only;
        only.desconto = 1050;
        only.descontoLimite = QDateTime(QDate(2026, 3, 1), QTime(0, 0));
        QTest::newRow("only a discount")
            << only
            << QStringList{b, b, QStringLiteral("* CONCEDER DESCONTO DE R$ 10,50 ATÉ 01/03/2026"),
                           b};
        Charges all;
        all.jurosDia = 123456;
        all.multa = 99999999999LL;
        all.datMulta = QDate(2026, 3, 11);
        all.desconto = 1;
        all.descontoLimite = QDateTime(QDate(2026, 3, 1), QTime(14, 30, 5));
        all.abatimento = 700;
        QTest::newRow("all four")
            << all
            << QStringList{
                   QStringLiteral("* COBRAR JUROS MORA/DIA DE R$ 1.234,56"),
                   QStringLiteral("* COBRAR MULTA DE R$ 999.999.999,99 A PARTIR DE 11/03/2026"),
                   QStringLiteral("* CONCEDER DESCONTO DE R$ 0,01 ATÉ 01/03/2026 14:30:05"),
                   QStringLiteral("* CONCEDER ABATIMENTO DE R$ 7,00")};
    }
    void charges()
    {
        QFETCH(Charges, charges);
        QFETCH(QStringList, lines);
        QCOMPARE(BloquetoTexts::chargeInstructions(charges), lines);
    }
};

QTEST_GUILESS_MAIN(TstBloquetoTexts)
#include "tst_bloquetotexts.moc"
