#include "RpFontSubset.h"

#include <QRawFont>
#include <QtEndian>
#include <hb-subset.h>
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

void append16(QByteArray& b, quint16 v)
{
    const qsizetype at = b.size();
    b.resize(at + 2);
    qToBigEndian(v, b.data() + at);
}

void append32(QByteArray& b, quint32 v)
{
    const qsizetype at = b.size();
    b.resize(at + 4);
    qToBigEndian(v, b.data() + at);
}

quint32 checksum(const QByteArray& table)
{
    quint32 sum = 0;
    qsizetype i = 0;
    for (; i + 4 <= table.size(); i += 4)
        sum += u32(table, i);
    quint32 last = 0;
    for (int k = 0; i + k < table.size(); ++k)
        last |= quint32(uchar(table[i + k])) << (24 - 8 * k);
    return sum + last;
}

// The tables a simple TrueType font of a PDF is drawn from, as one font file (tags in the
// order the format requires). Empty when one of the required tables is missing or short.
QByteArray outlineFile(const QRawFont& face)
{
    std::map<QByteArray, QByteArray> tables;
    for (const char* tag :
         {"OS/2", "cmap", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "post"}) {
        const QByteArray t = face.fontTable(tag);
        if (!t.isEmpty())
            tables.emplace(QByteArray(tag), t);
    }
    for (const char* tag : {"cmap", "glyf", "head", "hhea", "hmtx", "loca", "maxp"}) {
        if (!tables.count(tag))
            return {};
    }
    if (tables["head"].size() < 54 || tables["hhea"].size() < 36 || tables["maxp"].size() < 6 ||
        u16(tables["maxp"], 4) == 0)
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
    for (const auto& [tag, data] : tables) {
        out += tag;
        append32(out, checksum(data));
        append32(out, offset);
        append32(out, quint32(data.size()));
        offset += quint32((data.size() + 3) / 4 * 4);
    }
    for (const auto& [tag, data] : tables) {
        out += data;
        out.append((4 - data.size() % 4) % 4, '\0');
    }
    return out;
}
} // namespace

struct RpFontSubset::Face {
    hb_face_t* face = nullptr;
    ~Face() { hb_face_destroy(face); }
};

RpFontSubset::RpFontSubset(const QRawFont& face) : m_source(outlineFile(face))
{
    if (m_source.isEmpty())
        return;
    // The blob reads the bytes in place: m_source lives as long as the face.
    hb_blob_t* blob = hb_blob_create(m_source.constData(), unsigned(m_source.size()),
                                     HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    hb_face_t* f = hb_face_create(blob, 0);
    hb_blob_destroy(blob);
    if (hb_face_get_glyph_count(f) == 0) {
        hb_face_destroy(f);
        return;
    }
    m_face = std::make_unique<Face>();
    m_face->face = f;
}

RpFontSubset::~RpFontSubset() = default;

QByteArray RpFontSubset::trueType(QStringView characters) const
{
    if (!m_face)
        return {};
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (!input)
        throw std::bad_alloc();
    hb_set_t* unicodes = hb_subset_input_unicode_set(input);
    for (char32_t c : characters.toUcs4())
        hb_set_add(unicodes, c);
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_NO_HINTING);
    hb_face_t* subset = hb_subset_or_fail(m_face->face, input);
    hb_subset_input_destroy(input);
    if (!subset)
        return {};
    hb_blob_t* blob = hb_face_reference_blob(subset);
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob, &length);
    QByteArray out(data, qsizetype(length));
    hb_blob_destroy(blob);
    hb_face_destroy(subset);
    return out;
}
