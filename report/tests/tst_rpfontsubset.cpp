// TrueType subsets for embedding: each shipped face cut down to a few glyphs still loads,
// draws the glyphs kept (with the parts of composite ones) and nothing else.

#include "ReportFonts.h"
#include "RpFontSubset.h"
#include "RpTypes.h"

#include <QPainterPath>
#include <QRawFont>
#include <QtEndian>
#include <QtTest>

namespace {
QRawFont faceOf(const QString& name, bool bold)
{
    RpFont f;
    f.name = name;
    f.bold = bold;
    return QRawFont::fromFont(ReportFonts::layoutFont(f));
}

quint32 glyph(const QRawFont& face, QChar c)
{
    return face.glyphIndexesForString(QString(c)).value(0);
}

std::vector<bool> marked(const QRawFont& face, const QString& chars)
{
    std::vector<bool> used;
    for (QChar c : chars) {
        const quint32 g = glyph(face, c);
        if (g >= used.size())
            used.resize(g + 1, false);
        used[g] = true;
    }
    return used;
}
} // namespace

class TstRpFontSubset : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keepsWhatIsShownAndNothingElse_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<bool>("bold");
        for (const char* name : {"Arial", "Arial Black", "MS Serif", "Small Fonts"}) {
            QTest::addRow("%s", name) << QString::fromLatin1(name) << false;
            QTest::addRow("%s bold", name) << QString::fromLatin1(name) << true;
        }
    }
    void keepsWhatIsShownAndNothingElse()
    {
        QFETCH(QString, face);
        QFETCH(bool, bold);
        const QRawFont full = faceOf(face, bold);
        QVERIFY(full.isValid());
        // É is built from E and an accent in these faces: the parts come along.
        const QByteArray program =
            RpFontSubset::trueType(full, marked(full, QStringLiteral("AÉ7")));
        QVERIFY(!program.isEmpty());
        QVERIFY(program.size() < full.fontTable("glyf").size() / 4);

        // A whole font file: its checksum adjustment makes the file sum to the magic number.
        quint32 sum = 0;
        QByteArray padded = program;
        padded.append((4 - padded.size() % 4) % 4, '\0');
        for (qsizetype i = 0; i < padded.size(); i += 4)
            sum += qFromBigEndian<quint32>(padded.constData() + i);
        QCOMPARE(sum, 0xB1B0AFBAu);

        const QRawFont subset(program, 100);
        QVERIFY(subset.isValid());
        QCOMPARE(subset.unitsPerEm(), full.unitsPerEm());
        for (QChar c : QStringLiteral("AÉE7"))
            QVERIFY2(!subset.pathForGlyph(glyph(full, c)).isEmpty(), qPrintable(QString(c)));
        for (QChar c : QStringLiteral("BZ8a"))
            QVERIFY2(subset.pathForGlyph(glyph(full, c)).isEmpty(), qPrintable(QString(c)));
        // The character map still finds the glyphs by the same numbers.
        QCOMPARE(glyph(subset, QLatin1Char('A')), glyph(full, QLatin1Char('A')));
    }

    void aFaceWithoutOutlinesGivesNothing()
    {
        QCOMPARE(RpFontSubset::trueType(QRawFont(), {true}), QByteArray());
        QCOMPARE(RpFontSubset::trueType(QRawFont(QByteArray("not a font"), 10), {true}),
                 QByteArray());
    }
};

QTEST_MAIN(TstRpFontSubset)
#include "tst_rpfontsubset.moc"
