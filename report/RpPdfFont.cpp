#include "RpPdfFont.h"

#include "Cp1252.h"
#include "RpFontSubset.h"

#include <QtEndian>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace {
// The face's font at one pixel per font unit: Qt's measures there are the design's own.
QFont atUnits(QFont font, const QRawFont& face)
{
    font.setPixelSize(std::max(16, int(std::lround(face.unitsPerEm()))));
    return font;
}

qint16 s16(const QByteArray& table, qsizetype at)
{
    return table.size() >= at + 2 ? qFromBigEndian<qint16>(table.constData() + at) : 0;
}

QChar charOf(uchar code)
{
    const char c = char(code);
    return Cp1252::decode(&c, 1).at(0);
}

void appendNumber(QByteArray& out, double v)
{
    out += QByteArray::number(v, 'f', 1);
    if (out.endsWith(".0"))
        out.chop(2);
}
} // namespace

QRawFont RpPdfFont::faceOf(const QFont& font)
{
    return QRawFont::fromFont(font);
}

RpPdfFont::RpPdfFont(const QFont& font)
    : m_face(faceOf(font)), m_metrics(atUnits(font, m_face)),
      m_kerning(size_t(kCodes) * kCodes, kUnknown)
{
    m_unitsPerEm = std::max(16.0, double(std::lround(m_face.unitsPerEm())));
    QRawFont units = m_face;
    units.setPixelSize(m_unitsPerEm);
    const double scale = 1000.0 / m_unitsPerEm;
    for (int code = kFirst; code < 256; ++code) {
        const QString ch(charOf(uchar(code)));
        const double advance = m_metrics.horizontalAdvance(ch) * scale;
        const quint32 glyph = m_face.glyphIndexesForString(ch).value(0);
        m_width[size_t(code)] = advance;
        const QRectF ink = units.boundingRect(glyph); // y down
        m_ink.left = std::min(m_ink.left, ink.left() * scale);
        m_ink.right = std::max(m_ink.right, ink.right() * scale - advance);
        m_ink.top = std::max(m_ink.top, -ink.top() * scale);
        m_ink.bottom = std::min(m_ink.bottom, -ink.bottom() * scale);
    }
}

RpPdfFont::~RpPdfFont() = default;

bool RpPdfFont::isFace(const QRawFont& face) const
{
    return face.familyName() == m_face.familyName() && face.styleName() == m_face.styleName();
}

int RpPdfFont::kerning(uchar left, uchar right)
{
    if (left < kFirst || right < kFirst)
        return 0;
    qint16& k = m_kerning[size_t(left - kFirst) * kCodes + size_t(right - kFirst)];
    if (k == kUnknown) {
        const QChar a = charOf(left), b = charOf(right);
        const double pair = m_metrics.horizontalAdvance(QString(a) + b) -
                            m_metrics.horizontalAdvance(QString(a)) -
                            m_metrics.horizontalAdvance(QString(b));
        k = qint16(std::clamp(std::lround(pair * 1000.0 / m_unitsPerEm), -30000L, 30000L));
    }
    return k;
}

RpPdfFont::Extent RpPdfFont::extent(QStringView text) const
{
    double advance = 0;
    for (QChar c : text) {
        const auto code = uchar(Cp1252::encodeChar(c));
        advance += m_width[code < kFirst ? size_t(' ') : size_t(code)];
    }
    return {m_ink.left, advance + m_ink.right, m_ink.bottom, m_ink.top};
}

void RpPdfFont::appendShow(QByteArray& out, QStringView text)
{
    // Room for the bracket of an array, filled in at the first kerning: a blank else.
    const qsizetype start = out.size();
    m_usage.shown = true;
    bool kerned = false;
    uchar prev = 0;
    out += " (";
    for (qsizetype i = 0; i < text.size(); ++i) {
        auto code = uchar(Cp1252::encodeChar(text[i]));
        if (code < kFirst)
            code = ' ';
        m_usage.codes.set(code);
        if (i > 0) {
            if (const int k = kerning(prev, code); k != 0) {
                if (!kerned) {
                    out[start] = '[';
                    kerned = true;
                }
                char number[16];
                number[0] = ')';
                char* end = std::to_chars(number + 1, number + sizeof number - 1, -k).ptr;
                *end++ = '(';
                out.append(number, end - number);
            }
        }
        prev = code;
        switch (code) {
        case '(':
        case ')':
        case '\\':
            out += '\\';
            out += char(code);
            break;
        default:
            out += char(code);
        }
    }
    out += kerned ? ")]TJ\n" : ")Tj\n";
}

QByteArray RpPdfFont::postScriptName() const
{
    QString name = m_face.familyName();
    const QString style = m_face.styleName();
    if (!style.isEmpty() && style != QLatin1StringView("Regular") &&
        style != QLatin1StringView("Book") && style != QLatin1StringView("Normal"))
        name += QLatin1Char('-') + style;
    QByteArray out;
    for (QChar c : name) {
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
            (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-'))
            out += char(c.unicode());
    }
    return out.isEmpty() ? QByteArrayLiteral("Font") : out;
}

void RpPdfFont::makeHeads(const QByteArray& tag) const
{
    // The same in every document of a writer but for the references: made once.
    if (m_headTag == tag && !m_dictionaryHead.isEmpty())
        return;
    m_headTag = tag;
    m_dictionaryHead = dictionaryHead(tag);
    m_descriptorHead = descriptorHead(tag);
}

QByteArray RpPdfFont::fontDictionary(int descriptorObject, const QByteArray& tag) const
{
    makeHeads(tag);
    return m_dictionaryHead + QByteArray::number(descriptorObject) + " 0 R >>";
}

QByteArray RpPdfFont::dictionaryHead(const QByteArray& tag, int first, int last,
                                     const std::bitset<256>* shown) const
{
    QByteArray d = "<< /Type /Font /Subtype /TrueType /BaseFont /" + tag + postScriptName() +
                   " /FirstChar " + QByteArray::number(first) + " /LastChar " +
                   QByteArray::number(last) + " /Widths [";
    for (int code = first; code <= last; ++code) {
        if ((code - first) % 16 == 0)
            d += '\n';
        if (shown && !shown->test(size_t(code)))
            d += '0';
        else
            appendNumber(d, m_width[size_t(code)]);
        d += ' ';
    }
    d += "]\n/Encoding /WinAnsiEncoding /FontDescriptor ";
    return d;
}

QByteArray RpPdfFont::shownDictionaryHead(const QByteArray& tag) const
{
    int first = 255, last = kFirst;
    for (int code = kFirst; code < 256; ++code) {
        if (m_usage.codes.test(size_t(code))) {
            first = std::min(first, code);
            last = std::max(last, code);
        }
    }
    if (first > last)
        first = last = ' ';
    return dictionaryHead(tag, first, last, &m_usage.codes);
}

QByteArray RpPdfFont::descriptor(int programObject, const QByteArray& tag) const
{
    makeHeads(tag);
    QByteArray d = m_descriptorHead;
    if (programObject > 0)
        d += " /FontFile2 " + QByteArray::number(programObject) + " 0 R";
    d += " >>";
    return d;
}

QByteArray RpPdfFont::descriptorHead(const QByteArray& tag) const
{
    const QByteArray head = m_face.fontTable("head");
    const QByteArray hhea = m_face.fontTable("hhea");
    const QByteArray os2 = m_face.fontTable("OS/2");
    const auto scaled = [&](qint16 v) {
        return QByteArray::number(std::lround(v * 1000.0 / m_unitsPerEm));
    };
    const qint16 ascent = s16(hhea, 4);
    const qint16 capHeight = s16(os2, 0) >= 2 ? s16(os2, 88) : ascent;
    QByteArray d = "<< /Type /FontDescriptor /FontName /" + tag + postScriptName() +
                   " /Flags 32 /FontBBox [" + scaled(s16(head, 36)) + ' ' + scaled(s16(head, 38)) +
                   ' ' + scaled(s16(head, 40)) + ' ' + scaled(s16(head, 42)) +
                   "] /ItalicAngle 0 /Ascent " + scaled(ascent) + " /Descent " +
                   scaled(s16(hhea, 6)) + " /CapHeight " + scaled(capHeight) + " /StemV 80";
    return d;
}

QByteArray RpPdfFont::program() const
{
    if (!m_subset)
        m_subset = std::make_unique<RpFontSubset>(m_face);
    QString characters;
    for (int code = kFirst; code < 256; ++code) {
        if (m_usage.codes.test(size_t(code)))
            characters += charOf(uchar(code));
    }
    return m_subset->trueType(characters);
}
