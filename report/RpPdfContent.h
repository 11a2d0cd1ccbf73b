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
    // Whether the last encoding drew a square of modules (a QR code): a few thousand
    // small numbers, best packed quickly.
    bool drewModules() const { return m_drewModules; }

private:
    class Encoder;
    const FontUse* fontOf(const RpPage& page, const RpOp& op) const;

    const std::vector<FontUse>& m_fonts;
    std::vector<std::unique_ptr<RpPdfFont>>& m_faces;
    qint64 m_height = 0;
    int m_pictures = 0;
    bool m_drewModules = false;
};
