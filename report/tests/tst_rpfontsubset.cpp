// TrueType subsets for embedding: each shipped face cut down to a few characters still
// loads, draws the characters kept (with the parts of composite glyphs), finds nothing
// else, and carries no hinting programs.

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

// The sum of a font file's long words: a whole file sums to the magic number.
quint32 sumOf(QByteArray bytes)
{
    bytes.append((4 - bytes.size() % 4) % 4, '\0');
    quint32 sum = 0;
    for (qsizetype i = 0; i < bytes.size(); i += 4)
        sum += qFromBigEndian<quint32>(bytes.constData() + i);
    return sum;
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
        const RpFontSubset subsetter(full);
        QVERIFY(subsetter.isValid());
        // É is built from E and an accent in some of these faces: the parts come along.
        const QByteArray program = subsetter.trueType(u"AÉ7");
        QVERIFY(!program.isEmpty());
        QVERIFY(program.size() < full.fontTable("glyf").size() / 4);
        QCOMPARE(sumOf(program), 0xB1B0AFBAu);

        const QRawFont subset(program, 100);
        QVERIFY(subset.isValid());
        QCOMPARE(subset.unitsPerEm(), full.unitsPerEm());
        // What the character map finds is drawn as the face's own program draws it (Qt
        // may stretch a face it draws, the program is the same).
        const QRawFont fullAt100(subsetter.source(), 100);
        for (QChar c : QStringLiteral("AÉ7")) {
            const quint32 g = glyph(subset, c);
            QVERIFY2(g != 0, qPrintable(QString(c)));
            QCOMPARE(subset.pathForGlyph(g).boundingRect(),
                     fullAt100.pathForGlyph(glyph(full, c)).boundingRect());
            QCOMPARE(subset.advancesForGlyphIndexes(QList<quint32>{g}),
                     fullAt100.advancesForGlyphIndexes(QList<quint32>{glyph(full, c)}));
        }
        for (QChar c : QStringLiteral("BZ8aÇ"))
            QVERIFY2(glyph(subset, c) == 0, qPrintable(QString(c)));
        // Viewers do not hint at these sizes: no hinting programs, no layout tables.
        for (const char* tag : {"fpgm", "prep", "cvt ", "GSUB", "GPOS", "kern", "name"})
            QVERIFY2(subset.fontTable(tag).isEmpty(), tag);
    }

    // The subsets of a long series come from one reading of the face: each is whole on
    // its own, the same characters give the same bytes.
    void subsetsOfOneFaceAreIndependent()
    {
        const RpFontSubset subsetter(faceOf(QStringLiteral("Arial"), false));
        const QByteArray a = subsetter.trueType(u"JOSÉ DA CONCEIÇÃO");
        const QByteArray b = subsetter.trueType(u"0123456789,.");
        QCOMPARE(subsetter.trueType(u"JOSÉ DA CONCEIÇÃO"), a);
        QVERIFY(a != b);
        QVERIFY(glyph(QRawFont(b, 10), QLatin1Char('J')) == 0);
        QVERIFY(glyph(QRawFont(a, 10), QLatin1Char('J')) != 0);
        // No character at all still makes a font: glyph 0 alone.
        const QByteArray none = subsetter.trueType(u"");
        QVERIFY(QRawFont(none, 10).isValid());
    }

    void aFaceWithoutOutlinesGivesNothing()
    {
        QVERIFY(!RpFontSubset(QRawFont()).isValid());
        QCOMPARE(RpFontSubset(QRawFont()).trueType(u"A"), QByteArray());
        QCOMPARE(RpFontSubset(QRawFont(QByteArray("not a font"), 10)).trueType(u"A"), QByteArray());
    }
};

QTEST_MAIN(TstRpFontSubset)
#include "tst_rpfontsubset.moc"
