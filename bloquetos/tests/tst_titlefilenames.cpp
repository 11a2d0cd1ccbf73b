// The names of the per-title files: what a mail merge finds, on any disk or share.

#include "TitleFileNames.h"

#include <QtTest>

class TstTitleFileNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void baseName_data()
    {
        QTest::addColumn<QString>("seuNum");
        QTest::addColumn<QString>("nosNum");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QStringLiteral("NF004100") << QStringLiteral("26000001010")
                               << QStringLiteral("NF004100-26000001010.pdf");
        QTest::newRow("blanks trimmed, inner ones replaced")
            << QStringLiteral("  NF 41  ") << QStringLiteral("26000001010 ")
            << QStringLiteral("NF_41-26000001010.pdf");
        QTest::newRow("dot, underscore and dash kept")
            << QStringLiteral("a.B_c-9") << QStringLiteral("1") << QStringLiteral("a.B_c-9-1.pdf");
        QTest::newRow("path and shell characters")
            << QStringLiteral("../x/y\\z:*?") << QStringLiteral("2")
            << QStringLiteral(".._x_y_z___-2.pdf");
        QTest::newRow("accents and symbols, one each")
            << QStringLiteral("AÇÃO/Nº€") << QStringLiteral("3")
            << QStringLiteral("A__O_N__-3.pdf");
        QTest::newRow("a character beyond 16 bits is one")
            << (QStringLiteral("X") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("Y"))
            << QStringLiteral("4") << QStringLiteral("X_Y-4.pdf");
        QTest::newRow("control characters")
            << QStringLiteral("A\tB\nC") << QStringLiteral("5") << QStringLiteral("A_B_C-5.pdf");
        QTest::newRow("empty seu numero")
            << QString() << QStringLiteral("26000001010") << QStringLiteral("26000001010.pdf");
        QTest::newRow("blank seu numero")
            << QStringLiteral("          ") << QStringLiteral("26000001010")
            << QStringLiteral("26000001010.pdf");
        QTest::newRow("nothing at all")
            << QString() << QStringLiteral(" ") << QStringLiteral("bloqueto.pdf");
    }
    void baseName()
    {
        QFETCH(QString, seuNum);
        QFETCH(QString, nosNum);
        QFETCH(QString, name);
        QCOMPARE(TitleFileNames::baseName(seuNum, nosNum), name);
    }

    void clashesAreNumbered()
    {
        // Taken one after the other from one set of names: seu número, nosso número, name.
        const struct {
            const char* seuNum;
            const char* nosNum;
            const char* name;
        } taken[] = {
            {"NF1", "10", "NF1-10.pdf"},
            {"NF1", "10", "NF1-10-2.pdf"},
            // Another title whose characters give the same name, and one differing in case.
            {"NF1 ", "10", "NF1-10-3.pdf"},
            {"nf1", "10", "nf1-10-4.pdf"},
            // A numbered name a title has of its own is not given twice.
            {"NF1", "10-5", "NF1-10-5.pdf"},
            {"NF1", "10", "NF1-10-6.pdf"},
            {"NF2", "10", "NF2-10.pdf"},
            // Titles without seu número clash by nosso número alone.
            {nullptr, "77", "77.pdf"},
            {" ", "77", "77-2.pdf"},
        };
        TitleFileNames names;
        for (const auto& t : taken)
            QCOMPARE(names.take(QString::fromLatin1(t.seuNum), QString::fromLatin1(t.nosNum)),
                     QString::fromLatin1(t.name));
    }
};

QTEST_GUILESS_MAIN(TstTitleFileNames)
#include "tst_titlefilenames.moc"
