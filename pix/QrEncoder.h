#pragma once

#include <QByteArrayView>
#include <vector>

// A QR code encoder for one purpose, made for speed: bytes in byte mode, error correction
// level M, the smallest version that holds them, one fixed mask. Every part of a symbol that
// does not depend on the data (finder, timing and alignment patterns, format and version
// information, the order of the data modules and the mask over them) is worked out once a
// version and kept, so that a symbol costs its Reed-Solomon codes and one pass over its
// modules. Its output is module for module what qrcodegen makes of the same bytes, level,
// version and mask (the tests hold them side by side).
namespace QrEncoder {

// The mask every symbol gets. Readers accept any of the eight; choosing the one of least
// penalty for each symbol, as general encoders do, costs more than the whole symbol.
inline constexpr int kMask = 0;
inline constexpr int kMaxVersion = 40;

struct Symbol {
    int version = 0;
    int size = 0;                    // modules a side
    std::vector<unsigned char> dark; // size * size, row by row; 1 for a dark module
};

// The smallest version of level M whose byte mode holds `bytes` of data, or 0 when none.
int versionFor(qsizetype bytes);

// Encodes the bytes; an empty Symbol (size 0) when they do not fit version 40.
Symbol encode(QByteArrayView data);

} // namespace QrEncoder
