#include "RpPdfContent.h"

#include "RpModules.h"
#include "RpPage.h"
#include "RpPdfFont.h"
#include "RpTypes.h"

#include <QColor>
#include <algorithm>
#include <array>
#include <charconv>

namespace {
// Channel values as the shortest decimals that keep 8 bits apart.
const std::array<QByteArray, 256>& channels()
{
    static const std::array<QByteArray, 256> table = [] {
        std::array<QByteArray, 256> t;
        for (int c = 0; c < 256; ++c) {
            QByteArray s = QByteArray::number(c / 255.0, 'f', 3);
            while (s.endsWith('0'))
                s.chop(1);
            if (s.endsWith('.'))
                s.chop(1);
            if (s.startsWith("0."))
                s.remove(0, 1);
            t[size_t(c)] = s;
        }
        return t;
    }();
    return table;
}

bool isWhite(quint32 argb)
{
    return (argb & 0xFFFFFF) == 0xFFFFFF;
}

RpPdfContent::Area around(qint64 x0, qint64 y0, qint64 x1, qint64 y1, qint64 margin)
{
    return {std::min(x0, x1) - margin, std::min(y0, y1) - margin, std::max(x0, x1) + margin,
            std::max(y0, y1) + margin};
}

qint64 penReach(const RpOp& op)
{
    return qint64(std::max(op.arg, 1) * Rp::kUmPerInch / Rp::kOutputDpi) + 1;
}

// Pens of a clear style or of no colour at all draw nothing.
bool outlined(const RpOp& op)
{
    return op.style != quint8(RpPenStyle::Clear) && qAlpha(op.color) != 0;
}

// A fill of the colour of the paper: it only hides what lies beneath.
bool whitens(const RpOp& op)
{
    return (op.kind == RpOp::Fill || (op.kind == RpOp::Box && !outlined(op))) && isWhite(op.fill);
}
} // namespace

const RpPdfContent::FontUse* RpPdfContent::fontOf(const RpPage& page, const RpOp& op) const
{
    if (op.arg < 0 || size_t(op.arg) >= m_fonts.size() || op.p1 < 0 || op.p2 < 0 ||
        qsizetype(op.p1) + op.p2 > page.text.size())
        return nullptr;
    const FontUse& use = m_fonts[size_t(op.arg)];
    if (use.face < 0 || size_t(use.face) >= m_faces.size())
        return nullptr;
    return &use;
}

std::optional<RpPdfContent::Area> RpPdfContent::area(const RpPage& page, const RpOp& op) const
{
    const qint64 right = qint64(op.x) + op.w, bottom = qint64(op.y) + op.h;
    switch (op.kind) {
    case RpOp::Fill:
        if (qAlpha(op.fill) == 0 || op.w <= 0 || op.h <= 0)
            return std::nullopt;
        return around(op.x, op.y, right, bottom, 0);
    case RpOp::Line:
        if (!outlined(op))
            return std::nullopt;
        return around(op.x, op.y, right, bottom, penReach(op));
    case RpOp::Box:
        if (!outlined(op))
            return qAlpha(op.fill) == 0 || op.w <= 0 || op.h <= 0
                       ? std::nullopt
                       : std::optional(around(op.x, op.y, right, bottom, 0));
        return around(op.x, op.y, right, bottom, penReach(op));
    case RpOp::Text: {
        const FontUse* use = qAlpha(op.color) == 0 ? nullptr : fontOf(page, op);
        const QStringView s = use ? page.textOf(op) : QStringView();
        if (s.trimmed().isEmpty())
            return std::nullopt; // blanks leave no mark
        const RpPdfFont::Extent e = m_faces[size_t(use->face)]->extent(s);
        const double em = use->sizeUm / 1000.0;
        return around(op.x + qint64(e.left * em), op.y - qint64(e.top * em),
                      op.x + qint64(e.right * em), op.y - qint64(e.bottom * em),
                      use->sizeUm / 10 + 1);
    }
    case RpOp::Picture:
        if (op.arg < 0 || op.arg >= m_pictures || op.w <= 0 || op.h <= 0 || op.w2 <= 0 ||
            op.h2 <= 0)
            return std::nullopt;
        return around(op.x, op.y, right, bottom, 1);
    case RpOp::Modules:
        if (qAlpha(op.fill) == 0 || op.w <= 0 || op.h <= 0 || RpModules::bitsOf(page, op).isEmpty())
            return std::nullopt;
        return around(op.x, op.y, right, bottom, 0);
    default:
        return std::nullopt;
    }
}

class RpPdfContent::Encoder {
public:
    Encoder(RpPdfContent& content, QByteArray& out)
        : m_height(content.m_height), m_content(content), m_out(out)
    {
    }

    void run(const RpPage& page, const std::vector<bool>& pick)
    {
        // Micrometres to points.
        m_out += "0.0028346457 0 0 0.0028346457 0 0 cm\n";
        for (qsizetype i = 0; i < page.ops.size(); ++i) {
            const RpOp& op = page.ops.at(i);
            const std::optional<Area> area = m_content.area(page, op);
            if (!area)
                continue;
            const bool picked = pick.empty() || (size_t(i) < pick.size() && pick[size_t(i)]);
            // White fills over bare paper are left out, so the boxes behind labels cost
            // nothing.
            if (whitens(op)) {
                if (!picked || !inked(*area))
                    continue;
            } else {
                m_ink.push_back(*area);
                if (!picked)
                    continue;
            }
            switch (op.kind) {
            case RpOp::Fill:
                fill(op.x, op.y, op.w, op.h, op.fill);
                break;
            case RpOp::Line:
                line(op);
                break;
            case RpOp::Box:
                box(op);
                break;
            case RpOp::Text:
                text(page, op);
                break;
            case RpOp::Picture:
                picture(op);
                break;
            case RpOp::Modules:
                modules(page, op);
                break;
            default:
                break;
            }
        }
        endPath();
        endText();
    }

private:
    enum class Path { None, Fill, Stroke };

    bool inked(const Area& a) const
    {
        return std::any_of(m_ink.begin(), m_ink.end(), [&](const Area& i) { return i.meets(a); });
    }

    void num(qint64 v)
    {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        m_out.append(buf, r.ptr - buf);
        m_out += ' ';
    }
    void real(double v)
    {
        const qint64 hundredths = std::llround(v * 100);
        if (hundredths % 100 == 0) {
            num(hundredths / 100);
            return;
        }
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, double(hundredths) / 100.0,
                                     std::chars_format::fixed, 2);
        m_out.append(buf, r.ptr - buf);
        m_out += ' ';
    }
    // y measured up from the bottom of the paper
    qint64 up(qint64 yFromTop) const { return m_height - yFromTop; }

    void colour(quint32 argb, const char* op)
    {
        const auto& c = channels();
        m_out += c[size_t(qRed(argb))];
        m_out += ' ';
        m_out += c[size_t(qGreen(argb))];
        m_out += ' ';
        m_out += c[size_t(qBlue(argb))];
        m_out += ' ';
        m_out += op;
    }
    void fillColour(quint32 argb)
    {
        if ((argb & 0xFFFFFF) != m_fillColour) {
            m_fillColour = argb & 0xFFFFFF;
            colour(argb, "rg\n");
        }
    }
    void pen(const RpOp& op)
    {
        if ((op.color & 0xFFFFFF) != m_strokeColour) {
            m_strokeColour = op.color & 0xFFFFFF;
            colour(op.color, "RG\n");
        }
        // As the painter sets it on a device of kOutputDpi: never under one dot.
        constexpr double umPerDot = Rp::kUmPerInch / Rp::kOutputDpi;
        const double width = std::min(std::max(op.arg, 1) * umPerDot, 32000.0);
        if (width != m_width) {
            m_width = width;
            real(width);
            m_out += "w\n";
        }
        const bool dotted = op.style == quint8(RpPenStyle::Dot);
        if (dotted != m_dotted || (dotted && m_dashUnit != width)) {
            m_dotted = dotted;
            m_dashUnit = width;
            if (dotted) {
                m_out += '[';
                real(width);
                real(2 * width);
                m_out += "] 0 d\n";
            } else {
                m_out += "[] 0 d\n";
            }
        }
    }
    void endPath()
    {
        if (m_path == Path::Fill)
            m_out += "f\n";
        else if (m_path == Path::Stroke)
            m_out += "S\n";
        m_path = Path::None;
    }
    void endText()
    {
        if (m_inText)
            m_out += "ET\n";
        m_inText = false;
    }
    void rect(qint32 x, qint32 y, qint32 w, qint32 h)
    {
        num(x);
        num(up(qint64(y) + h));
        num(w);
        num(h);
        m_out += "re\n";
    }

    void fill(qint32 x, qint32 y, qint32 w, qint32 h, quint32 argb)
    {
        endText();
        // Fills of one colour side by side (the bars of a barcode) make one path.
        if (m_path != Path::Fill || (argb & 0xFFFFFF) != m_fillColour) {
            endPath();
            fillColour(argb);
            m_path = Path::Fill;
        }
        rect(x, y, w, h);
    }
    void line(const RpOp& op)
    {
        endText();
        const bool samePen = (op.color & 0xFFFFFF) == m_strokeColour && op.style == m_lineStyle &&
                             op.arg == m_lineDots;
        if (m_path != Path::Stroke || !samePen) {
            endPath();
            pen(op);
            m_lineStyle = op.style;
            m_lineDots = op.arg;
            m_path = Path::Stroke;
        }
        num(op.x);
        num(up(op.y));
        m_out += "m ";
        num(qint64(op.x) + op.w);
        num(up(qint64(op.y) + op.h));
        m_out += "l\n";
    }
    void box(const RpOp& op)
    {
        const bool filled = qAlpha(op.fill) != 0;
        if (!outlined(op)) {
            fill(op.x, op.y, op.w, op.h, op.fill);
            return;
        }
        endText();
        endPath();
        if (filled)
            fillColour(op.fill);
        pen(op);
        m_lineStyle = 0xFF; // a later line sets its pen again
        rect(op.x, op.y, op.w, op.h);
        m_out += filled ? "B\n" : "S\n";
    }
    void text(const RpPage& page, const RpOp& op)
    {
        const FontUse& use = *m_content.fontOf(page, op); // area() checked it
        endPath();
        if (!m_inText) {
            m_out += "BT\n";
            m_inText = true;
            m_lineX = m_lineY = 0;
        }
        if (use.face != m_face || use.sizeUm != m_size) {
            m_face = use.face;
            m_size = use.sizeUm;
            m_out += "/F";
            num(use.face);
            num(use.sizeUm);
            m_out += "Tf\n";
        }
        fillColour(op.color);
        const qint64 y = up(op.y);
        num(op.x - m_lineX);
        num(y - m_lineY);
        m_out += "Td ";
        m_lineX = op.x;
        m_lineY = y;
        m_content.m_faces[size_t(use.face)]->appendShow(m_out, page.textOf(op));
    }
    void picture(const RpOp& op)
    {
        endPath();
        endText();
        m_out += "q\n";
        // The clip matters only where the picture reaches past its box.
        if (op.p1 < op.x || op.p2 < op.y || qint64(op.p1) + op.w2 > qint64(op.x) + op.w ||
            qint64(op.p2) + op.h2 > qint64(op.y) + op.h) {
            rect(op.x, op.y, op.w, op.h);
            m_out += "W n\n";
        }
        num(op.w2);
        m_out += "0 0 ";
        num(op.h2);
        num(op.p1);
        num(up(qint64(op.p2) + op.h2));
        m_out += "cm /I";
        num(op.arg);
        m_out += "Do Q\n";
    }

    // Row by row in the module font, in a text space of one unit a module: a symbol
    // costs a few bytes a row.
    void modules(const RpPage& page, const RpOp& op)
    {
        const QStringView bits = RpModules::bitsOf(page, op);
        const int size = op.arg;
        endPath();
        endText();
        fillColour(op.fill);
        m_out += "BT ";
        m_out += kModuleFont;
        m_out += " 1 Tf 1 TL ";
        real(double(op.w) / size);
        m_out += "0 0 ";
        real(double(op.h) / size);
        num(op.x);
        num(up(op.y));
        m_out += "Tm\n";
        quint64 words[RpModules::rowWords(RpModules::kMaxSize)];
        for (int y = 0; y < size; ++y) {
            RpModules::row(bits, size, y, words);
            // Light glyphs at the end of a row draw nothing: they are left out.
            int glyphs = (size + 3) / 4;
            while (glyphs > 0 && ((words[(glyphs - 1) / 16] >> ((glyphs - 1) % 16 * 4)) & 15) == 0)
                --glyphs;
            if (glyphs == 0) {
                m_out += "T*\n";
                continue;
            }
            char line[RpModules::kMaxSize / 4 + 8];
            char* at = line;
            *at++ = '(';
            for (int g = 0; g < glyphs; ++g)
                *at++ = char(kFirstModuleCode + ((words[g / 16] >> (g % 16 * 4)) & 15));
            *at++ = ')';
            *at++ = '\'';
            *at++ = '\n';
            m_out.append(line, at - line);
        }
        m_out += "ET\n";
        // The font and leading stay set past ET: the next text sets its own.
        m_face = -1;
        m_content.m_drewModules = true;
    }

    const qint64 m_height;
    RpPdfContent& m_content;
    QByteArray& m_out;

    Path m_path = Path::None;
    quint32 m_fillColour = 0; // black, the initial state
    quint32 m_strokeColour = 0;
    double m_width = 1; // the initial line width, in micrometres here
    bool m_dotted = false;
    double m_dashUnit = 0;
    quint8 m_lineStyle = 0xFF; // pen of the stroke path being built
    qint32 m_lineDots = -1;
    bool m_inText = false;
    int m_face = -1;
    int m_size = 0;
    qint64 m_lineX = 0, m_lineY = 0;
    std::vector<Area> m_ink; // laid so far
};

QByteArray RpPdfContent::moduleGlyph(int number)
{
    QByteArray out = "4 0 d0\n";
    for (int x = 0; x < 4;) {
        if (!((number >> x) & 1)) {
            ++x;
            continue;
        }
        const int begin = x;
        while (x < 4 && ((number >> x) & 1))
            ++x;
        out +=
            QByteArray::number(begin) + " -0.05 " + QByteArray::number(x - begin) + ".05 1.05 re\n";
    }
    if (number & 15)
        out += "f\n";
    return out;
}

QByteArray RpPdfContent::moduleUnicode()
{
    QByteArray out = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    out += QByteArray::number(kModuleGlyphs) + " beginbfchar\n";
    for (int g = 0; g < kModuleGlyphs; ++g)
        out += '<' + QByteArray::number(int(kFirstModuleCode) + g, 16).toUpper() + "> <0020>\n";
    out += "endbfchar\nendcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return out;
}

QByteArray RpPdfContent::moduleFont(const QList<int>& glyphObjects, int unicodeObject)
{
    QByteArray procs, names, widths;
    for (int g = 0; g < glyphObjects.size(); ++g) {
        const QByteArray name = "/m" + QByteArray::number(g);
        procs += name + ' ' + QByteArray::number(glyphObjects.at(g)) + " 0 R ";
        names += name + ' ';
        widths += "4 ";
    }
    const QByteArray first = QByteArray::number(int(kFirstModuleCode));
    return "<< /Type /Font /Subtype /Type3 /FontBBox [0 -0.05 4.05 1] "
           "/FontMatrix [1 0 0 1 0 0] /CharProcs << " +
           procs + ">> /Encoding << /Type /Encoding /Differences [" + first + ' ' + names +
           "] >> /FirstChar " + first + " /LastChar " +
           QByteArray::number(int(kFirstModuleCode) + int(glyphObjects.size()) - 1) + " /Widths [" +
           widths + "] /ToUnicode " + QByteArray::number(unicodeObject) +
           " 0 R /Resources << >> >>";
}

void RpPdfContent::encode(const RpPage& page, const std::vector<bool>& pick, QByteArray& out)
{
    m_drewModules = false;
    Encoder(*this, out).run(page, pick);
}
