#pragma once

#include <QtGlobal>
#include <vector>

// The penalty by which a QR symbol's mask is chosen (ISO/IEC 18004, 7.8.3): runs of five
// or more modules of one colour in a line, 2 x 2 blocks of one colour, finder-like
// 1:1:3:1:1 patterns with four light modules on a side (the quiet zone counting as
// light), and the balance of dark and light. It is counted as the widely used general
// encoders count it, so that the same data gets the same mask from either.
//
// The symbol is given as bit lines, a row or a column per kWords 64-bit words (module x of
// a row at bit x % 64 of word x / 64), so that the blocks and the balance take a few word
// operations a line and the runs are found by their edges, not module by module.
namespace QrPenalty {

inline constexpr int kWords = 3; // 177 modules, the largest symbol's side
using Line = quint64[kWords];

// rows[y] and cols[x] of a symbol of `size` modules a side; bits past `size` are zero.
int score(const quint64* rows, const quint64* cols, int size);

// The same for a symbol given module by module (row by row, 1 for dark).
int score(const std::vector<unsigned char>& dark, int size);

} // namespace QrPenalty
