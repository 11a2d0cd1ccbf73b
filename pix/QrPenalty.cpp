#include "QrPenalty.h"

#include <array>
#include <bit>
#include <cstdlib>

namespace {
constexpr int kRun = 3;      // a run of five, plus one for each module more
constexpr int kBlock = 3;    // each 2 x 2 block of one colour
constexpr int kFinder = 40;  // each finder-like pattern
constexpr int kBalance = 10; // each 5 % of imbalance past the first

using QrPenalty::kWords;

// The runs of a line, lightest first: the quiet zone before it counts into its first light
// run and the one after it into its last, as a reader sees them.
class Runs {
public:
    explicit Runs(int size) : m_size(size) {}

    // A run has ended.
    void add(int length)
    {
        if (m_history[0] == 0)
            length += m_size; // the quiet zone before the line
        for (size_t i = m_history.size() - 1; i > 0; --i)
            m_history[i] = m_history[i - 1];
        m_history[0] = length;
    }
    // Patterns that the light run just added closes: dark 1:1:3:1:1 with four light
    // modules on one side and at least one on the other.
    int patterns() const
    {
        const int n = m_history[1];
        const bool core = n > 0 && m_history[2] == n && m_history[3] == n * 3 &&
                          m_history[4] == n && m_history[5] == n;
        return int(core && m_history[0] >= n * 4 && m_history[6] >= n) +
               int(core && m_history[6] >= n * 4 && m_history[0] >= n);
    }

private:
    int m_size;
    std::array<int, 7> m_history{};
};

// Runs and finder-like patterns of one line.
int linePenalty(const quint64* line, int size)
{
    // Edges: bit i set where module i differs from module i - 1 (module -1 is light).
    quint64 edges[kWords];
    quint64 carry = 0;
    for (int w = 0; w < kWords; ++w) {
        edges[w] = line[w] ^ (line[w] << 1 | carry);
        carry = line[w] >> 63;
    }
    if (size < kWords * 64) // no edge past the end
        edges[size >> 6] &= (quint64(1) << (size & 63)) - 1;
    for (int w = (size >> 6) + 1; w < kWords; ++w)
        edges[w] = 0;

    int result = 0;
    Runs runs(size);
    bool dark = false; // the colour of the run under way
    int start = 0;
    const auto ended = [&](int at) {
        const int length = at - start;
        if (length >= 5)
            result += kRun + (length - 5);
        runs.add(length);
        if (!dark)
            result += runs.patterns() * kFinder;
    };
    for (int w = 0; w < kWords; ++w) {
        for (quint64 e = edges[w]; e != 0; e &= e - 1) {
            const int at = w * 64 + std::countr_zero(e);
            if (at == 0) { // the line opens dark: its light run is the quiet zone alone
                runs.add(0);
                dark = true;
                continue;
            }
            ended(at);
            dark = !dark;
            start = at;
        }
    }
    // The end of the line: a dark run closes, then the quiet zone joins the light one.
    int light = 0;
    if (dark) {
        const int length = size - start;
        if (length >= 5)
            result += kRun + (length - 5);
        runs.add(length);
    } else {
        light = size - start;
        if (light >= 5)
            result += kRun + (light - 5);
    }
    runs.add(light + size);
    result += runs.patterns() * kFinder;
    return result;
}

// 2 x 2 blocks whose top-left module is in the row pair (a, b).
int blocks(const quint64* a, const quint64* b, int size)
{
    int count = 0;
    for (int w = 0; w < kWords; ++w) {
        const quint64 nextA = a[w] >> 1 | (w + 1 < kWords ? a[w + 1] << 63 : 0);
        const quint64 nextB = b[w] >> 1 | (w + 1 < kWords ? b[w + 1] << 63 : 0);
        quint64 same = ~(a[w] ^ b[w]) & ~(a[w] ^ nextA) & ~(b[w] ^ nextB);
        // Only blocks that start before the last module of the line.
        const int first = w * 64;
        if (first + 64 > size - 1)
            same &= size - 1 <= first ? 0 : (quint64(1) << (size - 1 - first)) - 1;
        count += std::popcount(same);
    }
    return count;
}
} // namespace

int QrPenalty::score(const quint64* rows, const quint64* cols, int size)
{
    int result = 0;
    long dark = 0;
    for (int i = 0; i < size; ++i) {
        const quint64* row = rows + i * kWords;
        result += linePenalty(row, size) + linePenalty(cols + i * kWords, size);
        for (int w = 0; w < kWords; ++w)
            dark += std::popcount(row[w]);
        if (i + 1 < size)
            result += blocks(row, row + kWords, size) * kBlock;
    }
    const long total = long(size) * size;
    // The smallest k with (45 - 5k) % <= dark share <= (55 + 5k) %.
    const long k = (std::labs(dark * 20 - total * 10) + total - 1) / total - 1;
    return result + int(k) * kBalance;
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
