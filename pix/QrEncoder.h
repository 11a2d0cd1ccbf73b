#pragma once

#include <QByteArrayView>
#include <vector>

// A QR code encoder for one purpose, made for speed: bytes in byte mode, error correction
// level M, the smallest version that holds them, the mask of least penalty (QrPenalty).
// Every part of a symbol that does not depend on the data (finder, timing and alignment
// patterns, format and version information, the order of the data modules and each of the
// eight masks over them) is worked out once a version and kept, as bit lines too, so that
// a symbol costs its Reed-Solomon codes, one placing of its data bits and the eight
// penalties counted a line of 64 modules at a time. Its output is module for module what
// qrcodegen makes of the same bytes, level and version, with its automatic mask or a given
// one (the tests hold them side by side).
namespace QrEncoder {

inline constexpr int kMaxVersion = 40;
inline constexpr int kAutomaticMask = -1;

struct Symbol {
    int version = 0;
    int size = 0;                    // modules a side
    int mask = 0;                    // 0 to 7
    std::vector<unsigned char> dark; // size * size, row by row; 1 for a dark module
};

// The smallest version of level M whose byte mode holds `bytes` of data, or 0 when none.
int versionFor(qsizetype bytes);

// Encodes the bytes with the mask of least penalty (the lowest of equals), or the one
// given; an empty Symbol (size 0) when they do not fit version 40.
Symbol encode(QByteArrayView data, int mask = kAutomaticMask);

} // namespace QrEncoder
