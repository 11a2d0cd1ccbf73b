// Widths from the tables of advances and pairs must be the toolkit's own measure of the
// same text to the last bit: every position of every page, and so the bytes of every PDF,
// rest on them.

#include "ReportFonts.h"
#include "RpTextWidths.h"
#include "RpTypes.h"

#include <QRandomGenerator>
#include <QtTest>

class tst_RpTextWidths : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ReportFonts::ensureRegistered(); }
    void sameAsTheToolkit_data();
    void sameAsTheToolkit();
    void randomTextsOfTheCodePage();
    void oneTablePerFontForTheProcess();
};

namespace {
QList<RpFont> faces()
{
    return {RpFont{QStringLiteral("Arial"), 10},           RpFont{QStringLiteral("Arial"), 8, true},
            RpFont{QStringLiteral("Arial Black"), 12},     RpFont{QStringLiteral("MS Serif"), 9},
            RpFont{QStringLiteral("MS Serif"), 11, true},  RpFont{QStringLiteral("Small Fonts"), 6},
            RpFont{QStringLiteral("Small Fonts"), 7, true}};
}
} // namespace

void tst_RpTextWidths::sameAsTheToolkit_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one character") << QStringLiteral("A");
    QTest::newRow("kerned pairs") << QStringLiteral("AVATAR WAVY To Ty 1111 LT");
    QTest::newRow("accents") << QStringLiteral("JOSÉ DA CONCEIÇÃO, RIBEIRÃO PRETO, ÍRIS MAGALHÃES");
    QTest::newRow("label with fi ligature") << QStringLiteral("Beneficiário fiel ffi ffl");
    QTest::newRow("amount") << QStringLiteral("R$ 1.234.567,89");
    QTest::newRow("typeable line")
        << QStringLiteral("34191.09008 63571.277308 71444.640008 5 91230000012345");
    QTest::newRow("punctuation") << QStringLiteral("(Sr. Caixa): \"não\" - 10% [a/b] ¿¡ «»");
    QTest::newRow("outside the code page") << QStringLiteral("Ωmega → ✓ €");
    QTest::newRow("quotes of the code page") << QStringLiteral("‘aspas’ “duplas” – —");
    QTest::newRow("tab and controls") << QStringLiteral("a\tb\x01"
                                                        "c");
}

void tst_RpTextWidths::sameAsTheToolkit()
{
    QFETCH(QString, text);
    for (const RpFont& f : faces()) {
        const QFont font = ReportFonts::layoutFont(f);
        QCOMPARE(RpTextWidths::of(font).width(text), QFontMetricsF(font).horizontalAdvance(text));
    }
}

void tst_RpTextWidths::randomTextsOfTheCodePage()
{
    // Texts of a page mix every character of the code page in any order.
    QString alphabet;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        alphabet += QChar(c);
    for (char16_t c = 0xa0; c < 0x100; ++c)
        alphabet += QChar(c);
    QRandomGenerator random(18);
    for (const RpFont& f : faces()) {
        const QFont font = ReportFonts::layoutFont(f);
        const QFontMetricsF qt(font);
        RpTextWidths& widths = RpTextWidths::of(font);
        for (int n = 0; n < 60; ++n) {
            QString text;
            const int length = 1 + random.bounded(40);
            for (int i = 0; i < length; ++i)
                text += alphabet.at(random.bounded(int(alphabet.size())));
            QCOMPARE(widths.width(text), qt.horizontalAdvance(text));
        }
    }
}

void tst_RpTextWidths::oneTablePerFontForTheProcess()
{
    const QFont font = ReportFonts::layoutFont(RpFont{QStringLiteral("Arial"), 10});
    QCOMPARE(&RpTextWidths::of(font), &RpTextWidths::of(QFont(font)));
    QVERIFY(&RpTextWidths::of(font) !=
            &RpTextWidths::of(ReportFonts::layoutFont(RpFont{QStringLiteral("Arial"), 11})));
}

QTEST_MAIN(tst_RpTextWidths)
#include "tst_rptextwidths.moc"
