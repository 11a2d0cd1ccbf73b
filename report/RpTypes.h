#pragma once

#include <QColor>
#include <QString>

// Plain value types shared by report definitions, the producer and the page store.
//
// Units: definitions speak tenths of a millimetre (254 per inch) as decimal numbers;
// produced pages speak whole micrometres (1/100 of that unit), so that decimals of a
// definition and the modules of a barcode survive without rounding to a coarse grid.

namespace Rp {
// Micrometres per tenth of a millimetre, per inch, per point.
inline constexpr double kUmPerTenth = 100.0;
inline constexpr double kUmPerInch = 25400.0;
inline constexpr double kUmPerPoint = kUmPerInch / 72.0;
// Pictures are measured at the screen's usual 96 pixels per inch.
inline constexpr double kPictureDpi = 96.0;
// Pen widths are dots of the output device; PDF files and images are written at this
// resolution, and the preview shows pens as they come out there.
inline constexpr int kOutputDpi = 600;

inline int tenthsToUm(double tenths)
{
    return int(tenths * kUmPerTenth + (tenths < 0 ? -0.5 : 0.5));
}
} // namespace Rp

enum class RpAlignment : quint8 { Left, Right, Center };
enum class RpBandType : quint8 { PageHeader, ColumnHeader, Detail, PageFooter };
enum class RpSysDataKind : quint8 { Date, Time, PageNumber };
enum class RpShapeKind : quint8 { Rectangle, HorLine, VertLine };
enum class RpPenStyle : quint8 { Solid, Dot, Clear };

// A font as a definition names it. The face names of the original platform ("Arial",
// "Arial Black", "MS Serif", "Small Fonts", "MS Sans Serif") are mapped by ReportFonts to
// faces shipped with the program.
struct RpFont {
    QString name = QStringLiteral("Arial");
    double size = 10.0; // points
    bool bold = false;
    QColor color = Qt::black;

    bool operator==(const RpFont& o) const
    {
        return name == o.name && size == o.size && bold == o.bold && color == o.color;
    }
};

// A pen of a line or box: width in dots of the output device (see Rp::kOutputDpi).
struct RpPen {
    int width = 1;
    RpPenStyle style = RpPenStyle::Solid;
    QColor color = Qt::black;
};

// The fill of a box; `clear` leaves what lies beneath visible.
struct RpBrush {
    QColor color = Qt::white;
    bool clear = false;
};

// The page of a report, in tenths of a millimetre as the seven page values name them.
struct RpPageSetup {
    double bottomMargin = 100;
    double paperLength = 2970;
    double topMargin = 100;
    double paperWidth = 2100;
    double leftMargin = 100;
    double rightMargin = 100;
    double columnSpace = 0;
    bool landscape = false;
};
