#include "BloquetoPix.h"
#include "KvError.h"
#include "PixPayload.h"
#include "Report.h"
#include "RpTextWidths.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QtTest>

namespace {
const QString kManual = QStringLiteral(
    "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-4266554400005204000053039865802BR"
    "5913Fulano de Tal6008BRASILIA62070503***63041D3D");
const QString kKey = QStringLiteral("123e4567-e12b-12d1-a456-426655440000");

BloquetoPix::Title title()
{
    BloquetoPix::Title t;
    t.codMoe = QStringLiteral("REAL");
    t.cents = 15075;
    t.nomCed = QStringLiteral("CONFECCOES ARAPUAN LTDA");
    t.nosNum = QStringLiteral("45678901234");
    return t;
}

QFontMetricsF sixPoints()
{
    RpFont f;
    f.size = 6;
    return QFontMetricsF(ReportFonts::layoutFont(f));
}
} // namespace

class TstBloquetoPix : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void whichPayloadATitleCarries_data()
    {
        QTest::addColumn<QString>("imported");
        QTest::addColumn<QString>("codMoe");
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("nomCed");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("city");
        QTest::addColumn<bool>("staticOne");
        QTest::addColumn<QString>("payload");
        const QString name = title().nomCed;
        const QString city = QStringLiteral("Campinas");
        QTest::newRow("the bank's own wins over the key")
            << kManual << QStringLiteral("REAL") << qint64(15075) << name << kKey << city << false
            << kManual;
        QTest::newRow("the bank's own in another currency")
            << kManual << QStringLiteral("US$") << qint64(15075) << name << QString() << QString()
            << false << kManual;
        QTest::newRow("from the key") << QString() << QStringLiteral("REAL") << qint64(15075)
                                      << name << kKey << city << true << QString();
        QTest::newRow("no key") << QString() << QStringLiteral("REAL") << qint64(15075) << name
                                << QString() << city << false << QString();
        QTest::newRow("no city") << QString() << QStringLiteral("REAL") << qint64(15075) << name
                                 << kKey << QStringLiteral("  ") << false << QString();
        QTest::newRow("not in reais") << QString() << QStringLiteral("UFIR") << qint64(15075)
                                      << name << kKey << city << false << QString();
        QTest::newRow("no currency") << QString() << QString() << qint64(15075) << name << kKey
                                     << city << false << QString();
        QTest::newRow("zero value") << QString() << QStringLiteral("REAL") << qint64(0) << name
                                    << kKey << city << false << QString();
        QTest::newRow("a name with no letter to print")
            << QString() << QStringLiteral("REAL") << qint64(15075) << QStringLiteral("  ") << kKey
            << city << false << QString();
    }
    void whichPayloadATitleCarries()
    {
        QFETCH(QString, imported);
        QFETCH(QString, codMoe);
        QFETCH(qint64, cents);
        QFETCH(QString, nomCed);
        QFETCH(QString, key);
        QFETCH(QString, city);
        QFETCH(bool, staticOne);
        QFETCH(QString, payload);
        BloquetoPix::Title t = title();
        t.imported = imported;
        t.codMoe = codMoe;
        t.cents = cents;
        t.nomCed = nomCed;
        const QString built = BloquetoPix::payload(t, key, city);
        if (staticOne)
            QCOMPARE(built, PixPayload::build({key, cents, nomCed, city, t.nosNum}));
        else
            QCOMPARE(built, payload);
    }

    void aStoredPayloadThatFailsStopsThePrinting()
    {
        BloquetoPix::Title t = title();
        t.imported = kManual.chopped(1) + QLatin1Char('E');
        try {
            BloquetoPix::payload(t, QString(), QString());
            QFAIL("no error");
        } catch (const KvError& e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("QR CODE PIX INVÁLIDO")),
                     qPrintable(e.message()));
        }
    }

    void keysAreCheckedWhereTheyAreRead_data()
    {
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("refused");
        QTest::newRow("none") << QString() << QString() << false;
        QTest::newRow("blanks") << QStringLiteral("   ") << QString() << false;
        QTest::newRow("CPF typed by hand")
            << QStringLiteral("529.982.247-25") << QStringLiteral("52998224725") << false;
        QTest::newRow("e-mail in capitals") << QStringLiteral("PIX@ARAPUAN.COM.BR")
                                            << QStringLiteral("pix@arapuan.com.br") << false;
        QTest::newRow("CPF with a wrong digit")
            << QStringLiteral("529.982.247-26") << QString() << true;
        QTest::newRow("telephone without +55")
            << QStringLiteral("11987654321") << QString() << true;
    }
    void keysAreCheckedWhereTheyAreRead()
    {
        QFETCH(QString, chave);
        QFETCH(QString, key);
        QFETCH(bool, refused);
        const QString name = QStringLiteral("CONFECCOES ARAPUAN LTDA");
        try {
            QCOMPARE(BloquetoPix::checkedKey(name, {chave, QStringLiteral("Campinas")}), key);
            QVERIFY(!refused);
        } catch (const KvError& e) {
            QVERIFY(refused);
            QCOMPARE(
                e.message(),
                QStringLiteral("Chave PIX inválida para o beneficiário CONFECCOES ARAPUAN LTDA"));
        }
    }

    void linesKeepEveryCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width"); // micrometres
        QTest::newRow("the manual's payload")
            << QStringLiteral("PIX copia e cola: ") + kManual << 40000;
        QTest::newRow("blanks near every break")
            << QStringLiteral("AB CD EF GH IJ KL MN OP QR ST UV WX YZ 01 23 45 67 89 AB CD")
            << 9000;
        QTest::newRow("two blanks in a row")
            << QStringLiteral("5913FULANO  DE  TAL6008BRASILIA  XY  YZ  ZW  WQ  QR  RS") << 12000;
        QTest::newRow("one long word") << QString(300, QLatin1Char('9')) << 50000;
    }
    void linesKeepEveryCharacter()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        const QFontMetricsF fm = sixPoints();
        const QStringList lines = BloquetoPix::lines(text, fm, QList<double>(50, width));
        QVERIFY(lines.size() > 1);
        QCOMPARE(lines.join(QString()), text);
        for (const QString& line : lines) {
            QVERIFY2(fm.horizontalAdvance(line) <= width, qPrintable(line));
            QVERIFY2(!line.startsWith(QLatin1Char(' ')) && !line.endsWith(QLatin1Char(' ')),
                     qPrintable(QLatin1Char('"') + line + QLatin1Char('"')));
        }
        // lines are filled: away from blanks, no line could have taken the next character
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const QString around = lines.at(i).right(2) + lines.at(i + 1).left(2);
            if (!around.contains(QLatin1Char(' ')))
                QVERIFY2(fm.horizontalAdvance(lines.at(i) + lines.at(i + 1).front()) > width,
                         qPrintable(lines.at(i)));
        }
    }

    // The page breaks the payload with its own tables, a character at a time: the lines
    // must be those of breaking by the same measure of whole lines.
    void linesByTheTablesAreLinesByTheMeasure_data()
    {
        linesKeepEveryCharacter_data();
        QTest::newRow("an accent and a character beyond the tables")
            << QStringLiteral("PIX copia e cola: JOSÉ \u4E2D FULANO DE TAL 6008BRASILIA ") + kManual
            << 30000;
        QTest::newRow("more than the lines hold") << QString(900, QLatin1Char('7')) << 40000;
    }
    void linesByTheTablesAreLinesByTheMeasure()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        RpFont f;
        f.size = 6;
        RpTextWidths& widths = RpTextWidths::of(ReportFonts::layoutFont(f));
        const QList<double> room(8, width);
        const auto measured = [&](const QString& t) {
            return BloquetoPix::lines(
                t, [&](QStringView part) { return widths.width(part); }, room);
        };
        QCOMPARE(BloquetoPix::lines(text, widths, room), measured(text));
        // The next payload of a beneficiary begins as the last one did: the widths of the
        // common beginning are taken from it, and must still give the same lines.
        for (const qsizetype at : {qsizetype(5), text.size() / 3, text.size() - 1}) {
            QString next = text;
            next[at] = next[at] == u'W' ? u'i' : u'W';
            QCOMPARE(BloquetoPix::lines(next, widths, room), measured(next));
            QCOMPARE(BloquetoPix::lines(next.left(at), widths, room), measured(next.left(at)));
        }
    }

    void aBreakThatMustTouchABlankStartsTheNextLineWithIt()
    {
        const QFontMetricsF fm = sixPoints();
        const QString text = QStringLiteral("A B C D E F G H I J K L M N O P Q R S T U V W X Y Z");
        const QStringList lines = BloquetoPix::lines(text, fm, QList<double>(50, 9000));
        QVERIFY(lines.size() > 1);
        QCOMPARE(lines.join(QString()), text);
        for (const QString& line : lines)
            QVERIFY2(!line.endsWith(QLatin1Char(' ')), qPrintable(line));
    }

    void aTextLongerThanTheLinesSaysSo()
    {
        const QFontMetricsF fm = sixPoints();
        const QString text(400, QLatin1Char('8'));
        const QStringList lines = BloquetoPix::lines(text, fm, {20000, 20000});
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.last().endsWith(QStringLiteral("…")));
        QVERIFY(fm.horizontalAdvance(lines.last()) <= 20000);
        QVERIFY(text.startsWith(lines.first()));
    }

    void theLongestBankPayloadFitsTheReceipt()
    {
        // 387 digits, the widest characters a payload is made of, in the receipt's four
        // lines of 120 mm
        const QFontMetricsF fm = sixPoints();
        const QString text = QStringLiteral("PIX copia e cola: ") + QString(387, QLatin1Char('0'));
        const QStringList lines = BloquetoPix::lines(text, fm, QList<double>(4, 120000));
        QCOMPARE(lines.join(QString()), text);
    }
};

QTEST_MAIN(TstBloquetoPix)
#include "tst_bloquetopix.moc"
