#include "RpFontSubset.h"

#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <map>

namespace {
quint16 u16(const QByteArray& b, qsizetype at)
{
    return qFromBigEndian<quint16>(b.constData() + at);
}

quint32 u32(const QByteArray& b, qsizetype at)
{
    return qFromBigEndian<quint32>(b.constData() + at);
}

void put16(QByteArray& b, qsizetype at, quint16 v)
{
    qToBigEndian(v, b.data() + at);
}

void put32(QByteArray& b, qsizetype at, quint32 v)
{
    qToBigEndian(v, b.data() + at);
}

void append16(QByteArray& b, quint16 v)
{
    const qsizetype at = b.size();
    b.resize(at + 2);
    put16(b, at, v);
}

void append32(QByteArray& b, quint32 v)
{
    const qsizetype at = b.size();
    b.resize(at + 4);
    put32(b, at, v);
}

quint32 checksum(const QByteArray& table)
{
    QByteArray padded = table;
    padded.append((4 - table.size() % 4) % 4, '\0');
    quint32 sum = 0;
    for (qsizetype i = 0; i < padded.size(); i += 4)
        sum += u32(padded, i);
    return sum;
}

// The glyph outlines as the location table cuts them.
struct Outlines {
    QByteArray glyf;
    std::vector<quint32> offsets; // numGlyphs + 1 entries

    bool read(const QByteArray& loca, const QByteArray& glyfTable, int numGlyphs, bool longFormat)
    {
        const qsizetype entry = longFormat ? 4 : 2;
        if (loca.size() < (numGlyphs + 1) * entry)
            return false;
        glyf = glyfTable;
        offsets.resize(size_t(numGlyphs) + 1);
        for (int g = 0; g <= numGlyphs; ++g) {
            offsets[size_t(g)] = longFormat ? u32(loca, g * 4) : quint32(u16(loca, g * 2)) * 2;
            if (offsets[size_t(g)] > quint32(glyf.size()) ||
                (g > 0 && offsets[size_t(g)] < offsets[size_t(g) - 1]))
                return false;
        }
        return true;
    }
    QByteArray glyph(quint32 g) const { return glyf.mid(offsets[g], offsets[g + 1] - offsets[g]); }
};

// The glyphs a composite glyph is built from.
void addComponents(const QByteArray& glyph, std::vector<bool>& keep, std::vector<quint32>& todo)
{
    if (glyph.size() < 10 || qint16(u16(glyph, 0)) >= 0)
        return;
    constexpr quint16 argsAreWords = 0x0001, scale = 0x0008, moreComponents = 0x0020,
                      xyScale = 0x0040, twoByTwo = 0x0080;
    qsizetype at = 10;
    quint16 flags = moreComponents;
    while ((flags & moreComponents) && at + 4 <= glyph.size()) {
        flags = u16(glyph, at);
        const quint16 part = u16(glyph, at + 2);
        at += 4 + ((flags & argsAreWords) ? 4 : 2);
        at += (flags & scale) ? 2 : (flags & xyScale) ? 4 : (flags & twoByTwo) ? 8 : 0;
        if (part < keep.size() && !keep[part]) {
            keep[part] = true;
            todo.push_back(part);
        }
    }
}
} // namespace

QByteArray RpFontSubset::trueType(const QRawFont& face, const std::vector<bool>& used)
{
    QByteArray head = face.fontTable("head");
    const QByteArray hhea = face.fontTable("hhea");
    const QByteArray maxp = face.fontTable("maxp");
    QByteArray hmtx = face.fontTable("hmtx");
    if (head.size() < 54 || hhea.size() < 36 || maxp.size() < 6)
        return {};
    const int numGlyphs = u16(maxp, 4);
    const int numMetrics = u16(hhea, 34);
    if (numGlyphs == 0 || numMetrics == 0 || numMetrics > numGlyphs ||
        hmtx.size() < numMetrics * 4 + (numGlyphs - numMetrics) * 2)
        return {};
    Outlines outlines;
    if (!outlines.read(face.fontTable("loca"), face.fontTable("glyf"), numGlyphs,
                       u16(head, 50) == 1))
        return {};

    std::vector<bool> keep(size_t(numGlyphs), false);
    std::vector<quint32> todo;
    keep[0] = true; // .notdef
    for (size_t g = 0; g < used.size() && g < keep.size(); ++g) {
        if (used[g] && !keep[g]) {
            keep[g] = true;
            todo.push_back(quint32(g));
        }
    }
    todo.push_back(0);
    while (!todo.empty()) {
        const quint32 g = todo.back();
        todo.pop_back();
        addComponents(outlines.glyph(g), keep, todo);
    }

    QByteArray glyf;
    QByteArray loca;
    for (int g = 0; g < numGlyphs; ++g) {
        append32(loca, quint32(glyf.size()));
        if (keep[size_t(g)]) {
            glyf += outlines.glyph(quint32(g));
            glyf.append((4 - glyf.size() % 4) % 4, '\0');
        }
        // Metrics of the glyphs left out go too: the PDF gives its own widths, and zeros
        // pack well.
        if (!keep[size_t(g)]) {
            const qsizetype at = g < numMetrics ? g * 4 : numMetrics * 4 + (g - numMetrics) * 2;
            put16(hmtx, at, 0);
            if (g < numMetrics)
                put16(hmtx, at + 2, 0);
        }
    }
    append32(loca, quint32(glyf.size()));
    put32(head, 8, 0);  // checkSumAdjustment, set below
    put16(head, 50, 1); // long offsets

    // Glyph names are not needed: the PDF maps codes through the character map.
    QByteArray post(32, '\0');
    const QByteArray oldPost = face.fontTable("post");
    if (oldPost.size() >= 32)
        post = oldPost.left(32);
    put32(post, 0, 0x00030000);
    for (int at = 16; at < 32; at += 4)
        put32(post, at, 0);

    std::map<QByteArray, QByteArray> tables = {{"head", head}, {"hhea", hhea}, {"maxp", maxp},
                                               {"hmtx", hmtx}, {"loca", loca}, {"glyf", glyf},
                                               {"post", post}};
    for (const char* tag : {"cmap", "cvt ", "fpgm", "prep", "OS/2"}) {
        const QByteArray t = face.fontTable(tag);
        if (!t.isEmpty())
            tables.emplace(QByteArray(tag), t);
    }
    if (!tables.count("cmap"))
        return {};

    const auto count = quint16(tables.size());
    quint16 power = 1, selector = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++selector;
    }
    QByteArray out;
    append32(out, 0x00010000);
    append16(out, count);
    append16(out, quint16(power * 16));
    append16(out, selector);
    append16(out, quint16(count * 16 - power * 16));
    quint32 offset = 12 + 16 * quint32(count);
    qsizetype headAt = 0;
    for (const auto& [tag, data] : tables) { // std::map keeps the tags in the required order
        out += tag;
        append32(out, checksum(data));
        append32(out, offset);
        append32(out, quint32(data.size()));
        if (tag == "head")
            headAt = offset;
        offset += quint32((data.size() + 3) / 4 * 4);
    }
    for (const auto& [tag, data] : tables) {
        out += data;
        out.append((4 - data.size() % 4) % 4, '\0');
    }
    put32(out, headAt + 8, 0xB1B0AFBA - checksum(out));
    return out;
}
