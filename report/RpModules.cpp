#include "RpModules.h"

#include <algorithm>
#include <bit>

namespace RpModules {

QString pack(int size, const unsigned char* dark)
{
    if (size <= 0 || size > kMaxSize)
        return {};
    QString bits(packedLength(size), QChar(0));
    char16_t* out = reinterpret_cast<char16_t*>(bits.data());
    const qsizetype count = qsizetype(size) * size;
    for (qsizetype k = 0; k < count; ++k)
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
    const char16_t* words = bits.utf16();
    constexpr int kWords = (kMaxSize + 63) / 64;
    quint64 row[kWords + 1];
    const int rowWords = (size + 63) / 64;
    // The first module at or after x that is dark (light when `dark` is false); `size`
    // when there is none.
    const auto seek = [&](int x, bool dark) {
        while (x < size) {
            const quint64 w = (dark ? row[x >> 6] : ~row[x >> 6]) >> (x & 63);
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
            const qsizetype start = qsizetype(y) * size;
            for (int k = 0; k < rowWords; ++k)
                row[k] = bitsAt(words, start + 64 * k, start + size);
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
