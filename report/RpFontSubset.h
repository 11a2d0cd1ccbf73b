#pragma once

#include <QByteArray>
#include <QStringView>
#include <memory>

class QRawFont;

// TrueType programs of one face cut down to the characters a document shows, for
// embedding in a PDF. HarfBuzz's subsetter does the cutting: it keeps the outlines of the
// characters' glyphs (and the parts of composite ones), numbers them afresh, rewrites the
// character map for them, and leaves out the hinting programs, which viewers do not need
// at a bloqueto's sizes.
//
// The face is read once, through the tables Qt gives for it, keeping only those a simple
// TrueType font of a PDF needs: layout and naming tables never reach the subsetter, so
// each subset of a long series costs the glyphs it keeps and little else.
class RpFontSubset {
public:
    explicit RpFontSubset(const QRawFont& face);
    ~RpFontSubset();
    RpFontSubset(const RpFontSubset&) = delete;
    RpFontSubset& operator=(const RpFontSubset&) = delete;

    // False when the face has no TrueType outlines or its tables are damaged.
    bool isValid() const { return m_face != nullptr; }
    // The program holding the glyphs of `characters` and glyph 0; empty when the face is
    // not valid or the subsetter fails: the caller then embeds nothing.
    QByteArray trueType(QStringView characters) const;
    // The face's tables as one font file, before any cutting (what the subsetter reads).
    const QByteArray& source() const { return m_source; }

private:
    struct Face;
    QByteArray m_source;
    std::unique_ptr<Face> m_face;
};
