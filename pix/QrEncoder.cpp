#include "QrEncoder.h"

#include "QrPenalty.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>

namespace {
// Level M, per version (index 0 unused): error correction codewords per block and the
// number of blocks (ISO/IEC 18004, table 9).
constexpr std::array<int, 41> kEccPerBlock = {
    -1, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
    26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28};
constexpr std::array<int, 41> kBlocks = {-1, 1,  1,  1,  2,  2,  4,  4,  4,  5,  5,  5,  8,  9,
                                         9,  10, 10, 11, 13, 14, 16, 17, 17, 18, 20, 21, 23, 25,
                                         26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49};

int sizeOf(int version)
{
    return version * 4 + 17;
}

// Modules left for data and error correction once the function patterns are drawn.
int rawDataModules(int version)
{
    int result = (16 * version + 128) * version + 64;
    if (version >= 2) {
        const int align = version / 7 + 2;
        result -= (25 * align - 10) * align - 55;
        if (version >= 7)
            result -= 36;
    }
    return result;
}

int dataCodewords(int version)
{
    return rawDataModules(version) / 8 - kEccPerBlock[version] * kBlocks[version];
}

// Bits a byte-mode segment of `bytes` needs: mode, count, data.
qsizetype segmentBits(int version, qsizetype bytes)
{
    return 4 + (version < 10 ? 8 : 16) + 8 * bytes;
}

// GF(256) over the polynomial 0x11D, by logarithms.
struct Field {
    std::array<unsigned char, 512> exp{};
    std::array<int, 256> log{};
    Field()
    {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[size_t(i)] = static_cast<unsigned char>(x);
            log[size_t(x)] = i;
            x <<= 1;
            if (x & 0x100)
                x ^= 0x11D;
        }
        for (int i = 255; i < 512; ++i)
            exp[size_t(i)] = exp[size_t(i - 255)];
    }
    unsigned char multiply(unsigned char a, unsigned char b) const
    {
        return a && b ? exp[size_t(log[a] + log[b])] : 0;
    }
};

const Field& field()
{
    static const Field f;
    return f;
}

bool maskBit(int mask, int x, int y)
{
    switch (mask) {
    case 0:
        return (x + y) % 2 == 0;
    case 1:
        return y % 2 == 0;
    case 2:
        return x % 3 == 0;
    case 3:
        return (x + y) % 3 == 0;
    case 4:
        return (x / 3 + y / 2) % 2 == 0;
    case 5:
        return x * y % 2 + x * y % 3 == 0;
    case 6:
        return (x * y % 2 + x * y % 3) % 2 == 0;
    default:
        return ((x + y) % 2 + x * y % 3) % 2 == 0;
    }
}

// The most codewords of any version (40), and of any of its blocks.
constexpr int kMaxRaw = 3706;
constexpr int kMaxBlock = 160;

// What every symbol of one version shares.
struct Layout {
    int size = 0;
    // Per mask: function patterns drawn (format information for that mask), data modules
    // masked zeros; as modules and as bit lines (QrPenalty), rows then columns.
    std::array<std::vector<unsigned char>, 8> base;
    std::array<std::vector<quint64>, 8> lines;
    std::vector<quint16> order;           // data modules in placement order (y * size + x)
    std::vector<quint8> orderX, orderY;   // the same as columns and rows
    std::vector<unsigned char> generator; // the Reed-Solomon divisor, highest power first
    // The divisor times each byte value, kMaxEcc bytes a value: one row XORed into the
    // remainder per data codeword.
    static constexpr int kMaxEcc = 32;
    std::vector<unsigned char> products;

    explicit Layout(int version);

private:
    std::vector<unsigned char> modules;  // the one being drawn
    std::vector<unsigned char> function; // 1 where a function pattern is
    void set(int x, int y, bool dark)
    {
        modules[size_t(y * size + x)] = dark;
        function[size_t(y * size + x)] = 1;
    }
    void finder(int cx, int cy);
    void alignment(int cx, int cy);
    void formatBits(int mask);
    void versionBits(int version);
};

Layout::Layout(int version) : size(sizeOf(version))
{
    modules.assign(size_t(size * size), 0);
    function.assign(size_t(size * size), 0);
    for (int i = 0; i < size; ++i) {
        set(6, i, i % 2 == 0);
        set(i, 6, i % 2 == 0);
    }
    finder(3, 3);
    finder(size - 4, 3);
    finder(3, size - 4);
    if (version > 1) {
        const int count = version / 7 + 2;
        const int step = (version * 8 + count * 3 + 5) / (count * 4 - 4) * 2;
        std::vector<int> at(static_cast<size_t>(count));
        at[0] = 6;
        for (int i = count - 1, pos = size - 7; i >= 1; --i, pos -= step)
            at[size_t(i)] = pos;
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < count; ++j) {
                const bool corner =
                    (i == 0 && j == 0) || (i == 0 && j == count - 1) || (i == count - 1 && j == 0);
                if (!corner)
                    alignment(at[size_t(i)], at[size_t(j)]);
            }
        }
    }
    formatBits(0); // its modules are function ones, whatever the mask
    if (version >= 7)
        versionBits(version);

    // The zigzag of two-module columns from the right, skipping the vertical timing line.
    for (int right = size - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5;
        for (int vert = 0; vert < size; ++vert) {
            for (int j = 0; j < 2; ++j) {
                const int x = right - j;
                const bool upward = ((right + 1) & 2) == 0;
                const int y = upward ? size - 1 - vert : vert;
                const size_t k = size_t(y * size + x);
                if (!function[k])
                    order.push_back(quint16(k));
            }
        }
    }
    for (const quint16 k : order) {
        orderX.push_back(quint8(k % size));
        orderY.push_back(quint8(k / size));
    }
    for (int mask = 0; mask < 8; ++mask) {
        formatBits(mask);
        for (const quint16 k : order)
            modules[k] = maskBit(mask, k % size, k / size); // a light module, masked
        base[size_t(mask)] = modules;
        std::vector<quint64>& bits = lines[size_t(mask)];
        bits.assign(size_t(2 * size * QrPenalty::kWords), 0);
        quint64* cols = bits.data() + size * QrPenalty::kWords;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                if (modules[size_t(y * size + x)]) {
                    bits[size_t(y * QrPenalty::kWords + (x >> 6))] |= quint64(1) << (x & 63);
                    cols[x * QrPenalty::kWords + (y >> 6)] |= quint64(1) << (y & 63);
                }
            }
        }
    }
    modules = {};
    function = {};

    const Field& gf = field();
    const int degree = kEccPerBlock[version];
    generator.assign(size_t(degree), 0);
    generator[size_t(degree - 1)] = 1;
    unsigned char root = 1;
    for (int i = 0; i < degree; ++i) {
        for (size_t j = 0; j < generator.size(); ++j) {
            generator[j] = gf.multiply(generator[j], root);
            if (j + 1 < generator.size())
                generator[j] ^= generator[j + 1];
        }
        root = gf.multiply(root, 2);
    }
    products.assign(size_t(256 * kMaxEcc), 0);
    for (int factor = 0; factor < 256; ++factor) {
        for (int k = 0; k < degree; ++k)
            products[size_t(factor * kMaxEcc + k)] =
                gf.multiply(generator[size_t(k)], static_cast<unsigned char>(factor));
    }
}

void Layout::finder(int cx, int cy)
{
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            const int distance = std::max(std::abs(dx), std::abs(dy));
            const int x = cx + dx;
            const int y = cy + dy;
            if (x >= 0 && x < size && y >= 0 && y < size)
                set(x, y, distance != 2 && distance != 4);
        }
    }
}

void Layout::alignment(int cx, int cy)
{
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx)
            set(cx + dx, cy + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
    }
}

void Layout::formatBits(int mask)
{
    const int data = 0 << 3 | mask; // level M is 00
    int rem = data;
    for (int i = 0; i < 10; ++i)
        rem = (rem << 1) ^ ((rem >> 9) * 0x537);
    const int bits = (data << 10 | rem) ^ 0x5412;
    const auto bit = [&](int i) { return ((bits >> i) & 1) != 0; };
    for (int i = 0; i <= 5; ++i)
        set(8, i, bit(i));
    set(8, 7, bit(6));
    set(8, 8, bit(7));
    set(7, 8, bit(8));
    for (int i = 9; i < 15; ++i)
        set(14 - i, 8, bit(i));
    for (int i = 0; i < 8; ++i)
        set(size - 1 - i, 8, bit(i));
    for (int i = 8; i < 15; ++i)
        set(8, size - 15 + i, bit(i));
    set(8, size - 8, true);
}

void Layout::versionBits(int version)
{
    int rem = version;
    for (int i = 0; i < 12; ++i)
        rem = (rem << 1) ^ ((rem >> 11) * 0x1F25);
    const long bits = long(version) << 12 | rem;
    for (int i = 0; i < 18; ++i) {
        const bool dark = ((bits >> i) & 1) != 0;
        const int a = size - 11 + i % 3;
        const int b = i / 3;
        set(a, b, dark);
        set(b, a, dark);
    }
}

const Layout& layout(int version)
{
    static std::array<std::once_flag, QrEncoder::kMaxVersion + 1> once;
    static std::array<const Layout*, QrEncoder::kMaxVersion + 1> layouts{};
    std::call_once(once[size_t(version)],
                   [&] { layouts[size_t(version)] = new Layout(version); }); // kept for good
    return *layouts[size_t(version)];
}

// The data codewords: mode, count, bytes, terminator, padding to the version's capacity.
std::vector<unsigned char> codewords(int version, QByteArrayView data)
{
    const int capacity = dataCodewords(version);
    std::vector<unsigned char> out(static_cast<size_t>(capacity));
    // The mode (4 bits) and the count (8 or 16) leave every data byte four bits off its
    // codeword: each codeword is the low half of one byte and the high half of the next.
    const qsizetype n = data.size();
    size_t o = 0;
    unsigned carry = 0x4; // the mode, waiting for its low half
    if (version >= 10) {
        out[o++] = static_cast<unsigned char>(carry << 4 | (n >> 12 & 0xF));
        carry = n >> 8 & 0xF;
    }
    out[o++] = static_cast<unsigned char>(carry << 4 | (n >> 4 & 0xF));
    carry = n & 0xF;
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        out[o++] = static_cast<unsigned char>(carry << 4 | c >> 4);
        carry = c & 0xF;
    }
    // The last half byte, then the terminator's four zero bits fill the codeword; any
    // room left holds the padding.
    if (o < out.size())
        out[o++] = static_cast<unsigned char>(carry << 4);
    for (unsigned char pad = 0xEC; o < out.size(); pad ^= 0xEC ^ 0x11)
        out[o++] = pad;
    return out;
}

// The mask whose symbol has the least penalty; the lowest of equals. The data bits are
// placed once, as bit lines, and each mask's lines are its own over them.
int leastPenalty(const Layout& l, const unsigned char* codewords, int count)
{
    constexpr int kWords = QrPenalty::kWords;
    const int n = l.size * kWords;
    quint64 data[2 * 177 * kWords] = {};
    quint64* cols = data + n;
    const quint8* xs = l.orderX.data();
    const quint8* ys = l.orderY.data();
    for (int w = 0; w < count; ++w) {
        for (int b = 7; b >= 0; --b, ++xs, ++ys) {
            const quint64 bit = (codewords[w] >> b) & 1;
            const int x = *xs;
            const int y = *ys;
            data[y * kWords + (x >> 6)] |= bit << (x & 63);
            cols[x * kWords + (y >> 6)] |= bit << (y & 63);
        }
    }
    int best = 0;
    int bestScore = 0;
    quint64 symbol[2 * 177 * kWords];
    for (int mask = 0; mask < 8; ++mask) {
        const quint64* masked = l.lines[size_t(mask)].data();
        for (int i = 0; i < 2 * n; ++i)
            symbol[i] = masked[i] ^ data[i];
        const int score = QrPenalty::score(symbol, symbol + n, l.size);
        if (mask == 0 || score < bestScore) {
            best = mask;
            bestScore = score;
        }
    }
    return best;
}
} // namespace

int QrEncoder::versionFor(qsizetype bytes)
{
    for (int v = 1; v <= kMaxVersion; ++v) {
        if (v >= 10 && bytes >= (1 << 16))
            return 0;
        if (v < 10 && bytes >= (1 << 8))
            continue;
        if (segmentBits(v, bytes) <= qsizetype(dataCodewords(v)) * 8)
            return v;
    }
    return 0;
}

QrEncoder::Symbol QrEncoder::encode(QByteArrayView data, int mask)
{
    Symbol s;
    const int version = versionFor(data.size());
    if (version == 0)
        return s;
    const Layout& l = layout(version);
    const std::vector<unsigned char> words = codewords(version, data);

    // Split into blocks, the short ones first, each followed by its error correction.
    const int blocks = kBlocks[version];
    const int ecc = kEccPerBlock[version];
    const int raw = rawDataModules(version) / 8;
    const int shortBlocks = blocks - raw % blocks;
    const int shortData = raw / blocks - ecc;
    const int dataTotal = raw - ecc * blocks;
    unsigned char all[kMaxRaw];
    size_t from = 0;
    for (int b = 0; b < blocks; ++b) {
        const int length = shortData + (b < shortBlocks ? 0 : 1);
        // The remainder, shifted a byte a codeword: room for every shift of the block.
        unsigned char remainder[kMaxBlock + Layout::kMaxEcc] = {};
        for (int i = 0; i < length; ++i) {
            const unsigned char word = words[from + size_t(i)];
            // Interleaved: the i-th data codeword of every block, block by block; the
            // long blocks' last one after all the others.
            const size_t at = i < shortData ? size_t(i * blocks + b)
                                            : size_t(shortData * blocks + (b - shortBlocks));
            all[at] = word;
            unsigned char* r = remainder + i;
            const unsigned char* product =
                l.products.data() + size_t((word ^ r[0]) * Layout::kMaxEcc);
            for (int k = 0; k < Layout::kMaxEcc; ++k)
                r[k + 1] ^= product[k];
        }
        const unsigned char* rest = remainder + length;
        from += size_t(length);
        for (int k = 0; k < ecc; ++k)
            all[size_t(dataTotal + k * blocks + b)] = rest[k];
    }

    if (mask < 0 || mask > 7)
        mask = leastPenalty(l, all, raw);
    s.version = version;
    s.size = l.size;
    s.mask = mask;
    s.dark = l.base[size_t(mask)];
    const quint16* order = l.order.data();
    unsigned char* dark = s.dark.data();
    for (int w = 0; w < raw; ++w, order += 8) {
        const unsigned word = all[w];
        dark[order[0]] ^= (word >> 7) & 1;
        dark[order[1]] ^= (word >> 6) & 1;
        dark[order[2]] ^= (word >> 5) & 1;
        dark[order[3]] ^= (word >> 4) & 1;
        dark[order[4]] ^= (word >> 3) & 1;
        dark[order[5]] ^= (word >> 2) & 1;
        dark[order[6]] ^= (word >> 1) & 1;
        dark[order[7]] ^= word & 1;
    }
    return s;
}
