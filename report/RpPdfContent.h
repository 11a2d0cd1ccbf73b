#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <memory>
#include <optional>
#include <vector>

class RpPdfFont;
struct RpOp;
struct RpPage;

// Content streams from display lists, drawing what the page painter draws: micrometres
// from the bottom-left corner (one `cm` scales them to points), pens in dots of
// Rp::kOutputDpi, colours and fonts set only when they change, neighbouring fills of one
// colour painted as one path, and white fills over bare paper left out. Colours are taken
// as opaque, as the report definitions give them; a colour of no alpha at all draws
// nothing.
//
// Resources are named /F<face> for fonts and /I<picture index of the store> for pictures.
class RpPdfContent {
public:
    struct FontUse {
        int face = -1;  // index into the faces
        int sizeUm = 0; // the text size in micrometres, as Qt draws it
    };
    // A rectangle in micrometres from the top-left corner of the paper, edges included.
    struct Area {
        qint64 left, top, right, bottom;
        bool meets(const Area& o) const
        {
            return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
        }
    };

    // `fonts` maps the store's font indexes to `faces`; both may grow between pages.
    RpPdfContent(const std::vector<FontUse>& fonts, std::vector<std::unique_ptr<RpPdfFont>>& faces)
        : m_fonts(fonts), m_faces(faces)
    {
    }
    // The paper's height, and the number of pictures the resources hold (pictures past it
    // are left out).
    void setPaper(int heightUm, int pictureCount)
    {
        m_height = heightUm;
        m_pictures = pictureCount;
    }

    // The area an operation may change (ink, or the white of a fill); none for an
    // operation that draws nothing.
    std::optional<Area> area(const RpPage& page, const RpOp& op) const;
    // Appends the content of the page's operations, or of those `pick` marks (by index) when
    // it is not empty. Operations left out still count as ink beneath the later ones.
    void encode(const RpPage& page, const std::vector<bool>& pick, QByteArray& out);
    // Whether the last encoding drew a square of modules (a QR code): it needs the module
    // font among the resources, and is packed at the quick level.
    bool drewModules() const { return m_drewModules; }

    // Squares of modules are written as text, a row a line, in a font of sixteen glyphs
    // (codes kFirstModuleCode on), each four modules of a row a unit wide and high; the
    // lowest bit of a glyph's number is its leftmost module. Each dark module reaches a
    // twentieth of a module into its right and lower neighbours, so that glyphs beside and
    // below each other leave no seam where a viewer smooths their edges.
    static constexpr char kFirstModuleCode = 'A';
    static constexpr int kModuleGlyphs = 16;
    static constexpr const char* kModuleFont = "/Q0"; // its name among the resources
    static QByteArray moduleGlyph(int number);        // the glyph's own content
    // Every glyph read as a blank, so that a reader copying the page's text gets no
    // letters from a QR code.
    static QByteArray moduleUnicode();
    static QByteArray moduleFont(const QList<int>& glyphObjects, int unicodeObject);

private:
    class Encoder;
    const FontUse* fontOf(const RpPage& page, const RpOp& op) const;

    const std::vector<FontUse>& m_fonts;
    std::vector<std::unique_ptr<RpPdfFont>>& m_faces;
    qint64 m_height = 0;
    int m_pictures = 0;
    bool m_drewModules = false;
};
