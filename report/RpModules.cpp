#include "RpModules.h"

namespace RpModules {

QString pack(int size, const unsigned char* dark)
{
    if (size <= 0 || size > kMaxSize)
        return {};
    QString bits(packedLength(size), QChar(0));
    char16_t* out = reinterpret_cast<char16_t*>(bits.data());
    const qsizetype count = qsizetype(size) * size;
    for (qsizetype k = 0; k < count; ++k) {
        if (dark[k])
            out[k >> 4] = char16_t(out[k >> 4] | (1u << (k & 15)));
    }
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
    const auto close = [&](const Run& r, int y1) { out.push_back({r.x0, r.y0, r.x1, y1}); };
    const char16_t* words = bits.utf16();
    bool row[kMaxSize + 1];
    row[size] = false; // ends the last run of a row
    for (int y = 0; y <= size; ++y) {
        next.clear();
        if (y < size) {
            qsizetype k = qsizetype(y) * size;
            for (int x = 0; x < size; ++x, ++k)
                row[x] = (words[k >> 4] >> (k & 15)) & 1;
        }
        size_t o = 0;
        for (int x = 0; y < size && x < size;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (row[x])
                ++x;
            while (o < open.size() && open[o].x0 < start)
                close(open[o++], y);
            if (o < open.size() && open[o].x0 == start && open[o].x1 == x)
                next.push_back(open[o++]);
            else
                next.push_back({start, x, y});
        }
        while (o < open.size())
            close(open[o++], y);
        open.swap(next);
    }
    return out;
}

} // namespace RpModules
