#pragma once

#include <QFont>
#include <QString>

struct RpFont;

// The faces every page is drawn with, shipped with the program so that no output depends
// on the fonts of the machine. The original platform's face names map to them:
//   "Arial", "MS Sans Serif" and unknown names -> Liberation Sans
//   "MS Serif"                                 -> Liberation Serif
//   "Arial Black"                              -> Lato Black
//   "Small Fonts"                              -> DejaVu Sans Condensed
namespace ReportFonts {
struct Face {
    QString family;
    bool black = false;     // the heaviest weight of the family
    bool condensed = false; // the condensed width of the family
};
// Registers the shipped faces with Qt; later calls do nothing. Needs a Gui application.
void ensureRegistered();
// The shipped face that a face name maps to, and its family.
Face face(const QString& faceName);
QString family(const QString& faceName);
// A font for drawing and measuring in micrometres: pixel size = point size in µm,
// unhinted so that widths scale linearly to every output.
QFont layoutFont(const RpFont& font);
} // namespace ReportFonts
