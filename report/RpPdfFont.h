#pragma once

#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>
#include <QStringView>
#include <array>
#include <bitset>
#include <memory>
#include <vector>

// One face of the shipped fonts as a PDF carries it: a simple TrueType font over the
// Windows-1252 codes (the code page of every text of the program; other characters show as
// '?'). Advances and pair kerning are the ones Qt lays the face out with, so that a text in
// the PDF covers what the page painter draws.
class RpFontSubset;

class RpPdfFont {
public:
    // `font` selects the face, at any size.
    explicit RpPdfFont(const QFont& font);
    ~RpPdfFont();

    // The face Qt draws `font` with: fonts of one face share one embedded program.
    static QRawFont faceOf(const QFont& font);
    bool isFace(const QRawFont& face) const;

    // Appends the operator that shows `text` at the current point (Tj, or TJ where pairs
    // kern) and remembers the codes for the embedded program.
    void appendShow(QByteArray& out, QStringView text);
    // What the document shows of the face so far: whether it shows it at all, and the
    // codes. A writer of several documents sets it back for each one.
    struct Usage {
        std::bitset<256> codes;
        bool shown = false;
        Usage& operator|=(const Usage& o)
        {
            codes |= o.codes;
            shown |= o.shown;
            return *this;
        }
    };
    const Usage& usage() const { return m_usage; }
    void setUsage(const Usage& usage) { m_usage = usage; }
    // Advance of a code in thousandths of the em.
    double width(uchar code) const { return m_width[code]; }
    // Kerning of a pair in thousandths of the em (negative draws closer).
    int kerning(uchar left, uchar right);
    // Where the ink of `text` may reach, in thousandths of the em from the start of its
    // baseline (y up): a box that holds every glyph, kerning aside.
    struct Extent {
        double left, right, bottom, top;
    };
    Extent extent(QStringView text) const;

    // The font's dictionaries, given the object numbers of the descriptor and of the
    // font program: `tag` makes the subset's name unique in the file.
    QByteArray fontDictionary(int descriptorObject, const QByteArray& tag) const;
    // The part of the font dictionary before the descriptor's reference with the widths of
    // the codes shown only, from the first to the last of them (the others 0): what a
    // small file of a series carries.
    QByteArray shownDictionaryHead(const QByteArray& tag) const;
    QByteArray descriptor(int programObject, const QByteArray& tag) const;
    // The face's TrueType program holding the glyphs of the codes shown; empty when the
    // face cannot be embedded.
    QByteArray program() const;

private:
    QByteArray postScriptName() const;
    void makeHeads(const QByteArray& tag) const;
    QByteArray dictionaryHead(const QByteArray& tag, int first = kFirst, int last = 255,
                              const std::bitset<256>* shown = nullptr) const;
    QByteArray descriptorHead(const QByteArray& tag) const;

    static constexpr int kFirst = 32;
    static constexpr int kCodes = 256 - kFirst;
    static constexpr qint16 kUnknown = INT16_MIN;

    QRawFont m_face;
    QFontMetricsF m_metrics; // at one pixel per font unit, for measuring kerning
    double m_unitsPerEm = 1000;
    std::array<double, 256> m_width{};
    Usage m_usage;
    mutable QByteArray m_dictionaryHead, m_descriptorHead; // the parts before the references
    mutable QByteArray m_headTag;                          // the tag they were made with
    Extent m_ink{0, 0, 0, 0};                       // the ink of every code beyond its advance
    std::vector<qint16> m_kerning;                  // kCodes x kCodes, measured when first met
    mutable std::unique_ptr<RpFontSubset> m_subset; // made at the first program
};
