#include "BlqTitle.h"
#include "ContinuoFixtures.h"
#include "DotMatrixPage.h"
#include "DotMatrixText.h"
#include "Regional.h"

#include <QtTest>

using namespace ContinuoFixtures;

namespace {
QByteArray lineOf(const BlqTitle& row, FormModel model, int number)
{
    return DotMatrixPage::layoutLines(row, model).at(number - 1);
}

QByteArray blanks(int n)
{
    return QByteArray(n, ' ');
}
} // namespace

class TstDotMatrixPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void completaString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("fill");
        QTest::addColumn<QString>("side");
        QTest::addColumn<QString>("expected");
        const QString b = QStringLiteral(" ");
        QTest::newRow("R pads right") << "ABC" << 6 << b << "R"
                                      << "ABC   ";
        QTest::newRow("L pads left") << "ABC" << 6 << b << "L"
                                     << "   ABC";
        QTest::newRow("other side pads left") << "ABC" << 5 << b << "X"
                                              << "  ABC";
        QTest::newRow("exact width") << "ABCDEF" << 6 << b << "R"
                                     << "ABCDEF";
        QTest::newRow("L keeps the last") << "1234567" << 6 << b << "L"
                                          << "234567";
        QTest::newRow("R keeps the first") << "1234567" << 6 << b << "R"
                                           << "123456";
        QTest::newRow("lower-case l is not L") << "1234567" << 6 << b << "l"
                                               << "123456";
        QTest::newRow("empty text") << "" << 4 << b << "R"
                                    << "    ";
        QTest::newRow("zero width") << "AB" << 0 << b << "R"
                                    << "";
        QTest::newRow("negative width") << "AB" << -3 << b << "L"
                                        << "";
        QTest::newRow("two-character fill") << "A" << 3 << "xy"
                                            << "R"
                                            << "Axyxy";
    }
    void completaString()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, fill);
        QFETCH(QString, side);
        QFETCH(QString, expected);
        QCOMPARE(DotMatrixText::CompletaString(text, width, fill, side), expected);
    }

    void espacos()
    {
        QCOMPARE(DotMatrixText::Espacos(3), QStringLiteral("   "));
        QCOMPARE(DotMatrixText::Espacos(0), QString());
        QCOMPARE(DotMatrixText::Espacos(-2), QString());
    }

    void workedExample_data() { addWorkedExampleRows("expected"); }
    void workedExample()
    {
        QFETCH(FormModel, model);
        QFETCH(QByteArray, expected);
        const QList<QByteArray> lines = DotMatrixPage::layoutLines(exampleRow(), model);
        QCOMPARE(lines.size(), DotMatrixPage::kLayoutLines);
        QCOMPARE(DotMatrixPage::bytes(lines), expected);
    }

    void initialisationAndSeparator()
    {
        QCOMPARE(DotMatrixPage::bytes(DotMatrixPage::initLines(MatricialIni::defaults())),
                 QByteArray::fromHex("1b401b4f601b302e0d0a200d0a"));
        QCOMPARE(DotMatrixPage::bytes(DotMatrixPage::separatorLines()),
                 QByteArray::fromHex("200d0a200d0a200d0a"));
    }

    void chargeInstructions_data()
    {
        QTest::addColumn<qint64>("interest");
        QTest::addColumn<qint64>("discount");
        QTest::addColumn<QDate>("limit");
        QTest::addColumn<qint64>("rebate");
        QTest::addColumn<QByteArray>("line9");
        QTest::addColumn<QByteArray>("line10");
        QTest::addColumn<QByteArray>("line11");
        QTest::newRow("none") << qint64(0) << qint64(0) << QDate() << qint64(0) << QByteArray(" ")
                              << QByteArray() << QByteArray(" ");
        QTest::newRow("fifty centavos interest")
            << qint64(50) << qint64(0) << QDate() << qint64(0)
            << QByteArray("COBRAR JUROS MORA/DIA DE R$ 0,50") << QByteArray() << QByteArray(" ");
        QTest::newRow("discount without limit date")
            << qint64(0) << qint64(1000) << QDate() << qint64(0) << QByteArray(" ")
            << QByteArray("CONCEDER DESCONTO DE R$ 10,00 ATE " + blanks(10)) << QByteArray(" ");
        QTest::newRow("discount with limit, rebate with thousands")
            << qint64(0) << qint64(1000) << QDate(2003, 2, 28) << qint64(123456789)
            << QByteArray(" ") << QByteArray("CONCEDER DESCONTO DE R$ 10,00 ATE 28/02/2003")
            << QByteArray("ABATIMENTO DE R$ 1.234.567,89");
        // An amount wider than its 15 columns keeps its last 15 characters.
        QTest::newRow("interest beyond 15 characters")
            << qint64(1234567890123) << qint64(0) << QDate() << qint64(0)
            << QByteArray("COBRAR JUROS MORA/DIA DE R$ .345.678.901,23") << QByteArray()
            << QByteArray(" ");
        QTest::newRow("one centavo is not zero")
            << qint64(0) << qint64(0) << QDate() << qint64(1) << QByteArray(" ") << QByteArray()
            << QByteArray("ABATIMENTO DE R$ 0,01");
    }
    void chargeInstructions()
    {
        QFETCH(qint64, interest);
        QFETCH(qint64, discount);
        QFETCH(QDate, limit);
        QFETCH(qint64, rebate);
        BlqTitle row = exampleRow();
        row.jurDiaVal = Regional::fromCents(interest);
        row.dstVal = Regional::fromCents(discount);
        row.dstDatLim = limit;
        row.abtAtrVal = Regional::fromCents(rebate);
        for (FormModel model : {FormModel::Small, FormModel::Large}) {
            QTEST(lineOf(row, model, 9), "line9");
            QTEST(lineOf(row, model, 10), "line10");
            QTEST(lineOf(row, model, 11), "line11");
        }
    }

    void dueDateText_data()
    {
        QTest::addColumn<bool>("avi");
        QTest::addColumn<bool>("cap");
        QTest::addColumn<QDate>("due");
        QTest::addColumn<QString>("expected");
        QTest::newRow("date") << false << false << QDate(2003, 3, 5) << "05/03/2003";
        QTest::newRow("on sight wins over a date")
            << true << false << QDate(2003, 3, 5) << "A vista   ";
        QTest::newRow("on presentation") << false << true << QDate() << "C/Apres.  ";
        QTest::newRow("both flags: on sight") << true << true << QDate() << "A vista   ";
        QTest::newRow("no date") << false << false << QDate() << "          ";
    }
    void dueDateText()
    {
        QFETCH(bool, avi);
        QFETCH(bool, cap);
        QFETCH(QDate, due);
        QFETCH(QString, expected);
        BlqTitle row = exampleRow();
        row.idcAvi = avi;
        row.idcCAp = cap;
        row.datVen = due;
        QCOMPARE(DotMatrixPage::CalcDatVen(row), expected);
        QVERIFY(lineOf(row, FormModel::Small, 1).endsWith(expected.toLatin1()));
        QCOMPARE(lineOf(row, FormModel::Large, 1).size(), 79);
    }

    void bloquetoNumber_data()
    {
        QTest::addColumn<int>("seq");
        QTest::addColumn<QByteArray>("printed");
        QTest::newRow("one digit") << 7 << QByteArray("     7");
        QTest::newRow("six digits") << 123456 << QByteArray("123456");
        QTest::newRow("seven digits keep the last six") << 1234567 << QByteArray("234567");
        QTest::newRow("zero prints nothing") << 0 << QByteArray("      ");
    }
    void bloquetoNumber()
    {
        QFETCH(int, seq);
        QFETCH(QByteArray, printed);
        BlqTitle row = exampleRow();
        row.seq = seq;
        QCOMPARE(lineOf(row, FormModel::Small, 1).mid(43, 6), printed);
        QCOMPARE(lineOf(row, FormModel::Large, 1).mid(54, 6), printed);
    }

    void valueLineCeiling_data()
    {
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QByteArray>("small");
        QTest::addColumn<QByteArray>("large");
        const QByteArray smallLead = blanks(17) + "R$" + blanks(31);
        const QByteArray largeLead = blanks(29) + "R$" + blanks(33);
        QTest::newRow("zero") << qint64(0) << smallLead + blanks(11) + "0,00"
                              << largeLead + blanks(11) + "0,00";
        QTest::newRow("just below the ceiling")
            << qint64(999999999998) << smallLead + ".999.999.999,98"
            << largeLead + ".999.999.999,98";
        QTest::newRow("the ceiling")
            << qint64(999999999999) << smallLead + ".999.999.999,99" << QByteArray(" ");
        QTest::newRow("largest of the bank file")
            << qint64(9999999999999) << smallLead + ".999.999.999,99" << QByteArray(" ");
    }
    void valueLineCeiling()
    {
        QFETCH(qint64, cents);
        BlqTitle row = exampleRow();
        row.titVal = Regional::fromCents(cents);
        QTEST(lineOf(row, FormModel::Small, 7), "small");
        QTEST(lineOf(row, FormModel::Large, 7), "large");
        QCOMPARE(DotMatrixPage::layoutLines(row, FormModel::Large).size(), 29);
    }

    void instructionMemoOf100Characters()
    {
        QString memo;
        for (int i = 0; i < 100; ++i)
            memo += QChar(QLatin1Char('A' + i % 26));
        const QByteArray bytes = memo.toLatin1();
        BlqTitle row = exampleRow();
        row.ins = memo;

        const QList<QByteArray> small = DotMatrixPage::layoutLines(row, FormModel::Small);
        QCOMPARE(small.at(11), bytes.mid(0, 48));
        QCOMPARE(small.at(12), bytes.mid(48, 48));
        QCOMPARE(small.at(13), bytes.mid(96, 4) + blanks(44));
        QCOMPARE(small.at(14), blanks(48));
        QCOMPARE(small.at(15), blanks(48));

        const QList<QByteArray> large = DotMatrixPage::layoutLines(row, FormModel::Large);
        QCOMPARE(large.at(11), bytes.mid(0, 60));
        QCOMPARE(large.at(12), bytes.mid(60, 40) + blanks(20));
        for (int i = 13; i < 16; ++i)
            QCOMPARE(large.at(i), blanks(60));
    }

    void instructionMemoBeyondTheLastSlice()
    {
        BlqTitle row = exampleRow();
        row.ins = QString(240, QLatin1Char('x')) + QString(200, QLatin1Char('y'));
        const QList<QByteArray> small = DotMatrixPage::layoutLines(row, FormModel::Small);
        QCOMPARE(small.at(15), QByteArray(48, 'x')); // characters 193 to 240
        const QList<QByteArray> large = DotMatrixPage::layoutLines(row, FormModel::Large);
        QCOMPARE(large.at(15), QByteArray(60, 'y')); // characters 241 to 300
    }

    void payerLines()
    {
        BlqTitle row = exampleRow();
        row.sacNom = QStringLiteral("JOSÉ DA SILVA   ");
        row.cpfCgcSac = QStringLiteral("12345678901234");
        row.sacEnd = QStringLiteral("  RUA DAS FLORES, 10");
        row.sacBai = QStringLiteral("CENTRO");
        row.sacAvl = QString();
        row.sacCid = QStringLiteral("SÃO PAULO");
        row.sacCep = QStringLiteral("1234");
        const QList<QByteArray> lines = DotMatrixPage::layoutLines(row, FormModel::Small);
        QCOMPARE(lines.at(18), QByteArray("   JOS\xc9 DA SILVA - 12345678901234"));
        QCOMPARE(lines.at(19), QByteArray("RUA DAS FLORES, 10 - CENTRO"));
        QCOMPARE(lines.at(20), QByteArray(" - S\xc3O PAULO - CEP 1234    "));
    }

    void payerFieldsAreCutToTheirWidths()
    {
        BlqTitle row = exampleRow();
        row.sacNom = QString(45, QLatin1Char('N'));
        row.sacCid = QStringLiteral("CIDADE COM NOME LONGO");
        row.sacCep = QStringLiteral("0123456789");
        const QList<QByteArray> lines = DotMatrixPage::layoutLines(row, FormModel::Large);
        QCOMPARE(lines.at(18), "   " + QByteArray(40, 'N') + " - ");
        QCOMPARE(lines.at(20), QByteArray(" - CIDADE COM NOME - CEP 01234567"));
    }

    void controlCharactersNeverReachThePrinter()
    {
        BlqTitle row = exampleRow();
        row.seuNum = QStringLiteral("A\x0c"
                                    "B");
        row.ins = QStringLiteral("LINHA 1\r\nLINHA 2\x1b@");
        row.sacNom = QStringLiteral("NOME\tCOM\x0cCONTROLE");
        row.sacCep = QStringLiteral("12\n34");
        for (FormModel model : {FormModel::Small, FormModel::Large}) {
            const QList<QByteArray> lines = DotMatrixPage::layoutLines(row, model);
            QCOMPARE(lines.size(), 29);
            const QByteArray all = DotMatrixPage::bytes(lines);
            QCOMPARE(all.count('\n'), 29);
            QCOMPARE(all.count('\r'), 29);
            QVERIFY(!all.contains('\x0c'));
            QVERIFY(!all.contains('\x1b'));
            QVERIFY(!all.contains('\t'));
        }
        QCOMPARE(lineOf(row, FormModel::Small, 12).left(18), QByteArray("LINHA 1  LINHA 2 @"));
    }

    void textsGoOutInWindows1252()
    {
        BlqTitle row = exampleRow();
        row.sacEnd = QStringLiteral("AÇÃO € 漢");
        QCOMPARE(lineOf(row, FormModel::Small, 20), QByteArray("A\xc7\xc3O \x80 ? - "));
    }

    void emptyRowPrintsItsFixedTexts()
    {
        const BlqTitle empty;
        const QList<QByteArray> small = DotMatrixPage::layoutLines(empty, FormModel::Small);
        QCOMPARE(small.at(0), blanks(65));
        QCOMPARE(small.at(4), blanks(13 + 10 + 4) + "DM" + blanks(5) + "N");
        QCOMPARE(small.at(6), blanks(17) + "R$" + blanks(31) + blanks(11) + "0,00");
        QCOMPARE(small.at(8), QByteArray(" "));
        QCOMPARE(small.at(9), QByteArray());
        QCOMPARE(small.at(20), QByteArray(" -  - CEP " + blanks(8)));
        const QList<QByteArray> large = DotMatrixPage::layoutLines(empty, FormModel::Large);
        QCOMPARE(large.at(4), blanks(23 + 10 + 6) + "DM" + blanks(6) + "N");
    }
};

QTEST_GUILESS_MAIN(TstDotMatrixPage)
#include "tst_dotmatrixpage.moc"
