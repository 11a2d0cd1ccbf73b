#pragma once

#include <QByteArray>
#include <vector>

class QRawFont;

// TrueType font programs cut down to the glyphs a document uses, for embedding. Glyph
// numbers stay as they are (the outlines of the other glyphs are left out), so the font's
// own character map still finds every glyph kept.
namespace RpFontSubset {
// The face's program holding the outlines of the glyphs marked in `used` (indexed by glyph
// number; glyph 0 and the parts of composite glyphs are kept too). Empty when the face has
// no TrueType outlines or its tables are damaged: the caller then embeds nothing.
QByteArray trueType(const QRawFont& face, const std::vector<bool>& used);
} // namespace RpFontSubset
