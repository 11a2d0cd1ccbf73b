#include "RpTextWidths.h"

#include <QCoreApplication>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>
#include <limits>
#include <map>

namespace {
constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();
constexpr double kShaped = std::numeric_limits<double>::infinity();
// Texts measured whole are few (the odd character outside the code page); the bound
// only keeps a pathological run from growing without end.
constexpr qsizetype kRemembered = 4096;

// The glyphs shaping gives `text`, in order.
QList<quint32> shapedGlyphs(const QString& text, const QFont& font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(std::numeric_limits<int>::max() / 4);
    layout.endLayout();
    QList<quint32> glyphs;
    for (const QGlyphRun& run : layout.glyphRuns())
        glyphs += run.glyphIndexes();
    return glyphs;
}
} // namespace

RpTextWidths::RpTextWidths(const QFont& font)
    : m_font(font), m_metrics(font), m_raw(QRawFont::fromFont(font)), m_advance(kCodes, kUnknown),
      m_pair(size_t(kTabled) * kTabled, kUnknown)
{
}

RpTextWidths::~RpTextWidths() = default;

namespace {
std::map<QString, std::unique_ptr<RpTextWidths>>& registry()
{
    static std::map<QString, std::unique_ptr<RpTextWidths>> widths;
    return widths;
}
} // namespace

RpTextWidths& RpTextWidths::of(const QFont& font)
{
    auto& widths = registry();
    // Font engines must go while the application that made them still stands.
    if (widths.empty() && QCoreApplication::instance())
        qAddPostRoutine([] { registry().clear(); });
    std::unique_ptr<RpTextWidths>& w = widths[font.key()];
    if (!w)
        w = std::make_unique<RpTextWidths>(font);
    return *w;
}

double RpTextWidths::advance(char16_t c)
{
    double& a = m_advance[c];
    // The one-character text, not the character overload: the same shaping path as any
    // other text, so that the sums come out as the toolkit's to the last bit.
    if (std::isnan(a))
        a = m_metrics.horizontalAdvance(QString(QChar(c)));
    return a;
}

double RpTextWidths::pair(char16_t left, char16_t right)
{
    double& p = m_pair[size_t(dense(left)) * kTabled + size_t(dense(right))];
    if (std::isnan(p)) {
        const QString text = QString(QChar(left)) + QChar(right);
        if (shapedGlyphs(text, m_font) != m_raw.glyphIndexesForString(text))
            p = kShaped;
        else
            p = m_metrics.horizontalAdvance(text) - advance(left) - advance(right);
    }
    return p;
}

double RpTextWidths::whole(QStringView text)
{
    const QString key = text.toString();
    if (auto it = m_whole.constFind(key); it != m_whole.cend())
        return *it;
    if (m_whole.size() >= kRemembered)
        m_whole.clear();
    const double w = m_metrics.horizontalAdvance(key);
    m_whole.insert(key, w);
    return w;
}

double RpTextWidths::width(QStringView text)
{
    double w = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!extend(w, text[i].unicode(),
                    i > 0 ? std::optional(text[i - 1].unicode()) : std::nullopt))
            return whole(text);
    }
    return w;
}
