#pragma once

#include "RpPage.h"

#include <QString>
#include <QStringView>
#include <vector>

// A square of modules, each dark or light (the symbol of a QR code), kept as bits in a
// string: 16 modules a character, row by row from the top, the lowest bit first. A page
// holds a whole symbol as one operation with these bits in its text, so that a code of
// a few thousand modules costs the page store, the preview and the PDF what a line of
// text costs.
namespace RpModules {

// The largest symbol a page holds (a QR code of version 40).
constexpr int kMaxSize = 177;

// Characters that hold `size` × `size` modules.
constexpr qsizetype packedLength(int size)
{
    return (qsizetype(size) * size + 15) / 16;
}
// The modules of a square `size` a side, row by row from the top, nonzero for dark.
QString pack(int size, const unsigned char* dark);
// Whether the bits fit a square `size` a side, as a page read from outside must.
bool valid(QStringView bits, int size);
bool dark(QStringView bits, int size, int x, int y);
// The bits of a square operation of the page; empty when they lie outside the page's
// text or do not fit its size, and there is nothing to draw.
QStringView bitsOf(const RpPage& page, const RpOp& op);

// The modules of row y as words of 64, the leftmost in the lowest bit of the first;
// `out` holds rowWords(size) words, and bits past the row's end are light.
constexpr int rowWords(int size)
{
    return (size + 63) / 64;
}
void row(QStringView bits, int size, int y, quint64* out);

// Dark modules as rectangles in modules, edges included from x0, y0 up to x1, y1
// excluded: a run of dark modules in a row is one, grown down over the rows that repeat
// it exactly (the finder patterns' sides), so that no two overlap, none leaves a seam
// beside its neighbours, and a symbol needs a few hundred rather than a thousand.
struct Rect {
    int x0, y0, x1, y1;
    bool operator==(const Rect&) const = default;
};
std::vector<Rect> rects(QStringView bits, int size);

} // namespace RpModules
