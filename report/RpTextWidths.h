#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QRawFont>
#include <QString>
#include <QStringView>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

// Widths of texts in one layout font (ReportFonts::layoutFont), equal to the toolkit's
// own measure of the same text, from tables filled once a process: the advance of each
// character and the adjustment of each pair of neighbours, each shaped once by the
// toolkit when first met. A report measures tens of texts a page, most of them new
// (names, numbers, amounts): shaping each of them again costs more than the rest of the
// page together.
//
// The sum of advances and pair adjustments is what shaping gives wherever shaping works
// pair by pair, which holds for the kerning of the shipped faces. Where a pair becomes
// something else (a ligature, a substituted glyph), and for characters outside the table,
// the text is measured by the toolkit as a whole and remembered.
//
// Not thread-safe: one per font, on the thread that lays out pages.
class RpTextWidths {
public:
    explicit RpTextWidths(const QFont& font);
    ~RpTextWidths();

    // The widths of `font`, kept for the whole process: one per face and size, whatever
    // the number of reports run.
    static RpTextWidths& of(const QFont& font);

    double width(QStringView text);
    // Grows `w`, the width of a text, by one more character `c` after `previous` (none for
    // the first): the very number width() gives for the longer text, summed in the same
    // order. False, and `w` unchanged, where width() would measure the text whole.
    bool extend(double& w, char16_t c, std::optional<char16_t> previous)
    {
        // Tables looked into here, the toolkit asked only for what they do not hold yet.
        if (!tabled(c))
            return false;
        double a = m_advance[c];
        if (std::isnan(a))
            a = advance(c);
        double v = w + a;
        if (previous) {
            double k = m_pair[size_t(dense(*previous)) * kTabled + size_t(dense(c))];
            if (std::isnan(k))
                k = pair(*previous, c);
            if (std::isinf(k))
                return false;
            v += k;
        }
        w = v;
        return true;
    }
    const QFontMetricsF& metrics() const { return m_metrics; }

private:
    static constexpr int kCodes = 256;
    double advance(char16_t c);
    double pair(char16_t left, char16_t right);
    double whole(QStringView text);
    static bool tabled(char16_t c) { return (c >= 0x20 && c < 0x7f) || (c >= 0xa0 && c < 0x100); }
    // The tabled characters numbered without gaps, printable ASCII first: the pairs of a
    // text of plain letters and digits lie close together.
    static constexpr int kTabled = 95 + 96;
    static int dense(char16_t c) { return c < 0x7f ? c - 0x20 : c - 0xa0 + 95; }

    QFont m_font;
    QFontMetricsF m_metrics;
    QRawFont m_raw;                 // the glyphs of characters, unshaped
    std::vector<double> m_advance;  // by character; NaN while not measured
    std::vector<double> m_pair;     // by dense(left) * kTabled + dense(right); NaN not measured,
                                    // inf shaped
    QHash<QString, double> m_whole; // texts the tables cannot measure
};
