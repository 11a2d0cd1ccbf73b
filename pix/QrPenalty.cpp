#include "QrPenalty.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace {
constexpr int kBlock = 3;    // each 2 x 2 block of one colour
constexpr int kFinder = 40;  // each finder-like pattern
constexpr int kBalance = 10; // each 5 % of imbalance past the first

using QrPenalty::kWords;

// One line of modules as bits, module i at bit i % 64 of word i / 64, nothing past the end.
struct Bits {
    quint64 w[kWords];

    Bits operator&(const Bits& o) const { return {{w[0] & o.w[0], w[1] & o.w[1], w[2] & o.w[2]}}; }
    Bits operator|(const Bits& o) const { return {{w[0] | o.w[0], w[1] | o.w[1], w[2] | o.w[2]}}; }
    Bits operator^(const Bits& o) const { return {{w[0] ^ o.w[0], w[1] ^ o.w[1], w[2] ^ o.w[2]}}; }
    Bits operator~() const { return {{~w[0], ~w[1], ~w[2]}}; }
    // Bit i of the result is bit i + k of this (k may be negative); bits from outside the
    // line are 0, light, as the quiet zone around the symbol is.
    template <int k> Bits at() const
    {
        static_assert(k > -64 && k < 64);
        if constexpr (k == 0)
            return *this;
        else if constexpr (k > 0)
            return {{w[0] >> k | w[1] << (64 - k), w[1] >> k | w[2] << (64 - k), w[2] >> k}};
        else
            return {{w[0] << -k, w[1] << -k | w[0] >> (64 + k), w[2] << -k | w[1] >> (64 + k)}};
    }
    int count() const { return std::popcount(w[0]) + std::popcount(w[1]) + std::popcount(w[2]); }
    bool dark(int i) const { return (w[i >> 6] >> (i & 63)) & 1; }
};

// The first `n` bits set.
Bits first(int n)
{
    Bits out{};
    for (int i = 0; i < kWords; ++i) {
        const int here = std::clamp(n - 64 * i, 0, 64);
        out.w[i] = here == 64 ? ~quint64(0) : (quint64(1) << here) - 1;
    }
    return out;
}

// Modules of one colour from `from` on in steps of `step`; a light run that reaches the
// end of the line goes on into the quiet zone, counted as `size` modules more (as the
// widely used encoders count it).
int runFrom(const Bits& line, int size, int from, int step, bool dark)
{
    int length = 0;
    for (int i = from; i >= 0 && i < size; i += step) {
        if (line.dark(i) != dark)
            return length;
        ++length;
    }
    return dark ? length : length + size;
}

// Dark 1:1:3:1:1 runs (the middle one 3n modules) with light runs of at least 4n on one
// side and n on the other, the quiet zone counting as light, met further along the line
// than the dark run of 3n at `a`; n >= 2, looked at run by run.
int scaledFinders(const Bits& line, int size, int a)
{
    const int length = runFrom(line, size, a, 1, true);
    if (length % 3 != 0)
        return 0;
    const int n = length / 3;
    const int b = a + length; // the first module after the middle run
    if (runFrom(line, size, a - 1, -1, false) != n ||
        runFrom(line, size, a - n - 1, -1, true) != n || runFrom(line, size, b, 1, false) != n ||
        runFrom(line, size, b + n, 1, true) != n)
        return 0;
    const int left = runFrom(line, size, a - 2 * n - 1, -1, false);
    const int right = runFrom(line, size, b + 2 * n, 1, false);
    return int(right >= 4 * n && left >= n) + int(left >= 4 * n && right >= n);
}

// The penalty of one line: runs of five or more modules of one colour (3 for each, and 1
// for each module past the fifth) and finder-like patterns.
[[gnu::always_inline]] inline int linePenalty(const Bits& line, int size, const Bits& inLine)
{
    const Bits l1 = line.at<1>();
    const Bits l2 = line.at<2>();
    // Runs: module i and i + 1 alike, for i below size - 1; then five alike from i on.
    const Bits alike = ~(line ^ l1) & inLine;
    const Bits alike2 = alike & alike.at<1>();
    const Bits five = alike2 & alike2.at<2>();
    const Bits starts = five & ~five.at<-1>();
    // A run of L >= 5 modules sets L - 4 bits of `five` and starts once: L - 2 in all.
    int result = five.count() + 2 * starts.count();

    // Finder-like, n = 1, by bits: light, dark, light, three dark, light, dark, light from
    // j - 1 on, and four light before or after. Light at i + k, outside the line too: the
    // complement after the shift.
    const Bits dark3 = line & l1 & l2; // dark from i to i + 2
    const Bits core =
        ~line.at<-1>() & line & ~l1 & dark3.at<2>() & ~line.at<5>() & line.at<6>() & ~line.at<7>();
    const Bits dark2 = line | l1;
    const Bits dark4 = dark2 | dark2.at<2>(); // some dark from i to i + 3
    // Four light modules from j - 4, or from j + 7; the quiet zone is light too.
    // (Shifted the other way, from dark at j - 1 or j - 2, so that what comes in from
    // before the line is the quiet zone's light, not a guess about modules in it.)
    const Bits darkBefore2 = line.at<-1>() | line.at<-2>();
    const Bits before = ~(darkBefore2 | darkBefore2.at<-2>());
    const Bits after = ~dark4.at<7>();
    int finders = (core & before).count() + (core & after).count();
    // n >= 2 needs a dark run of six or more: few lines have one.
    // Its start, with two light modules before it.
    const Bits middles = dark3 & dark3.at<3>() & ~line.at<-1>() & ~line.at<-2>();
    for (int i = 0; i < kWords; ++i) {
        for (quint64 m = middles.w[i]; m != 0; m &= m - 1)
            finders += scaledFinders(line, size, i * 64 + std::countr_zero(m));
    }
    return result + finders * kFinder;
}

Bits lineAt(const quint64* p)
{
    return {{p[0], p[1], p[2]}};
}

// 2 x 2 blocks of one colour whose top-left module is in row a (row b below it).
[[gnu::always_inline]] inline int blocks(const Bits& a, const Bits& b, const Bits& inLine)
{
    return (~(a ^ b) & ~(a ^ a.at<1>()) & ~(b ^ b.at<1>()) & inLine).count();
}

// The whole symbol; inlined into two builds below.
[[gnu::always_inline]] inline int symbolPenalty(const quint64* rows, const quint64* cols, int size)
{
    int result = 0;
    int dark = 0;
    const Bits inLine = first(size - 1); // where a module has a neighbour after it
    Bits above{};
    for (int i = 0; i < size; ++i) {
        const Bits row = lineAt(rows + i * kWords);
        const Bits col = lineAt(cols + i * kWords);
        result += linePenalty(row, size, inLine) + linePenalty(col, size, inLine);
        dark += row.count();
        if (i > 0)
            result += blocks(above, row, inLine) * kBlock;
        above = row;
    }
    const long total = long(size) * size;
    // The smallest k with (45 - 5k) % <= dark share <= (55 + 5k) %.
    const long k = (std::labs(dark * 20L - total * 10) + total - 1) / total - 1;
    return result + int(k) * kBalance;
}

#if defined(__x86_64__) || defined(__i386__)
// Built a second time for processors with a population count instruction (all of the last
// fifteen years), chosen when first used.
[[gnu::target("popcnt")]] int symbolPenaltyPopcnt(const quint64* rows, const quint64* cols,
                                                  int size)
{
    return symbolPenalty(rows, cols, size);
}
#endif
} // namespace

int QrPenalty::score(const quint64* rows, const quint64* cols, int size)
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool popcnt = __builtin_cpu_supports("popcnt");
    if (popcnt)
        return symbolPenaltyPopcnt(rows, cols, size);
#endif
    return symbolPenalty(rows, cols, size);
}

int QrPenalty::score(const std::vector<unsigned char>& dark, int size)
{
    std::vector<quint64> rows(size_t(size * kWords)), cols(size_t(size * kWords));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (dark[size_t(y * size + x)]) {
                rows[size_t(y * kWords + (x >> 6))] |= quint64(1) << (x & 63);
                cols[size_t(x * kWords + (y >> 6))] |= quint64(1) << (y & 63);
            }
        }
    }
    return score(rows.data(), cols.data(), size);
}
