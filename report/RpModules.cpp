#include "RpModules.h"

#include <algorithm>
#include <bit>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace RpModules {

QString pack(int size, const unsigned char* dark)
{
    if (size <= 0 || size > kMaxSize)
        return {};
    QString bits(packedLength(size), QChar(0));
    char16_t* out = reinterpret_cast<char16_t*>(bits.data());
    const qsizetype count = qsizetype(size) * size;
    qsizetype k = 0;
#ifdef __SSE2__
    // Sixteen modules, one character, at a time.
    for (; k + 16 <= count; k += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dark + k));
        const __m128i light = _mm_cmpeq_epi8(bytes, _mm_setzero_si128());
        out[k >> 4] = char16_t(~_mm_movemask_epi8(light) & 0xFFFF);
    }
#endif
    for (; k < count; ++k)
        out[k >> 4] = char16_t(out[k >> 4] | (unsigned(dark[k] != 0) << (k & 15)));
    return bits;
}

bool valid(QStringView bits, int size)
{
    return size > 0 && size <= kMaxSize && bits.size() == packedLength(size);
}

bool dark(QStringView bits, int size, int x, int y)
{
    const qsizetype k = qsizetype(y) * size + x;
    return (bits[k / 16].unicode() >> (k % 16)) & 1;
}

QStringView bitsOf(const RpPage& page, const RpOp& op)
{
    if (op.kind != RpOp::Modules || op.p1 < 0 || op.p2 < 0 ||
        qsizetype(op.p1) + op.p2 > page.text.size() || !valid(page.textOf(op), op.arg))
        return {};
    return page.textOf(op);
}

namespace {
// Up to 64 bits of the packed modules from bit `at` on, the first in the lowest bit; bits
// past `end` read as light.
quint64 bitsAt(const char16_t* words, qsizetype at, qsizetype end)
{
    const qsizetype first = at >> 4;
    const int skip = int(at & 15);
    const qsizetype last = (end + 15) >> 4; // one past the last word
    quint64 v = quint64(words[first]) >> skip;
    for (int k = 1; k < 5 && first + k < last && 16 * k - skip < 64; ++k)
        v |= quint64(words[first + k]) << (16 * k - skip);
    if (at + 64 > end)
        v &= end > at ? (~quint64(0) >> (64 - (end - at))) : 0;
    return v;
}
} // namespace

void row(QStringView bits, int size, int y, quint64* out)
{
    const qsizetype start = qsizetype(y) * size;
    for (int k = 0; k < rowWords(size); ++k)
        out[k] = bitsAt(bits.utf16(), start + 64 * k, start + size);
}

std::vector<Rect> rects(QStringView bits, int size)
{
    std::vector<Rect> out;
    if (!valid(bits, size))
        return out;
    struct Run {
        int x0, x1, y0;
    };
    std::vector<Run> open;
    std::vector<Run> next;
    open.reserve(size_t(size));
    next.reserve(size_t(size));
    out.reserve(size_t(size) * size / 4);
    const auto close = [&](const Run& r, int y1) { out.push_back({r.x0, r.y0, r.x1, y1}); };
    quint64 bitsOfRow[rowWords(kMaxSize) + 1];
    // The first module at or after x that is dark (light when `dark` is false); `size`
    // when there is none.
    const auto seek = [&](int x, bool dark) {
        while (x < size) {
            const quint64 w = (dark ? bitsOfRow[x >> 6] : ~bitsOfRow[x >> 6]) >> (x & 63);
            if (w) {
                x += std::countr_zero(w);
                return std::min(x, size);
            }
            x = (x | 63) + 1;
        }
        return size;
    };
    for (int y = 0; y <= size; ++y) {
        next.clear();
        size_t o = 0;
        if (y < size) {
            row(bits, size, y, bitsOfRow);
            for (int x = seek(0, true); x < size; x = seek(x, true)) {
                const int begin = x;
                x = seek(x, false);
                while (o < open.size() && open[o].x0 < begin)
                    close(open[o++], y);
                if (o < open.size() && open[o].x0 == begin && open[o].x1 == x)
                    next.push_back(open[o++]);
                else
                    next.push_back({begin, x, y});
            }
        }
        while (o < open.size())
            close(open[o++], y);
        open.swap(next);
    }
    return out;
}

} // namespace RpModules
