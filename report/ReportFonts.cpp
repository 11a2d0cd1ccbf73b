#include "ReportFonts.h"

#include "RpTypes.h"

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>
#include <cmath>

// Static libraries do not register their resources by themselves.
static void initFontResources()
{
    Q_INIT_RESOURCE(reportfonts);
}

namespace {
bool g_registered = false;

const QString& sansFamily()
{
    static const QString f = QStringLiteral("Liberation Sans");
    return f;
}
} // namespace

void ReportFonts::ensureRegistered()
{
    if (g_registered)
        return;
    g_registered = true;
    initFontResources();
    const QStringList files = {QStringLiteral("LiberationSans-Regular.ttf"),
                               QStringLiteral("LiberationSans-Bold.ttf"),
                               QStringLiteral("LiberationSerif-Regular.ttf"),
                               QStringLiteral("LiberationSerif-Bold.ttf"),
                               QStringLiteral("Lato-Black.ttf"),
                               QStringLiteral("DejaVuSansCondensed.ttf"),
                               QStringLiteral("DejaVuSansCondensed-Bold.ttf")};
    for (const QString& f : files)
        QFontDatabase::addApplicationFont(QStringLiteral(":/kvfonts/") + f);
}

QString ReportFonts::family(const QString& faceName)
{
    return face(faceName).family;
}

ReportFonts::Face ReportFonts::face(const QString& faceName)
{
    const QString key = faceName.trimmed().toLower();
    if (key == QLatin1StringView("ms serif"))
        return {QStringLiteral("Liberation Serif"), false, false};
    if (key == QLatin1StringView("arial black"))
        return {QStringLiteral("Lato"), true, false};
    if (key == QLatin1StringView("small fonts"))
        return {QStringLiteral("DejaVu Sans"), false, true};
    return {sansFamily(), false, false};
}

QFont ReportFonts::layoutFont(const RpFont& font)
{
    ensureRegistered();
    const Face f = face(font.name);
    QFont q(f.family);
    // Texts of more than an inch (a saved report from elsewhere) are drawn an inch high:
    // past 65,535 pixels (about 186 points here) the toolkit gives a font of no face at
    // all, whose name cannot even be asked, and a glyph it draws from a fallback face is
    // first drawn whole at the font's size, gigabytes for a few hundred points.
    constexpr double kMaxPixels = 72 * Rp::kUmPerPoint;
    const double pixels = font.size * Rp::kUmPerPoint;
    q.setPixelSize(std::isfinite(pixels) ? int(std::clamp(std::round(pixels), 1.0, kMaxPixels))
                                         : 1);
    q.setWeight(f.black ? QFont::Black : font.bold ? QFont::Bold : QFont::Normal);
    if (f.condensed)
        q.setStretch(QFont::Condensed);
    q.setHintingPreference(QFont::PreferNoHinting);
    q.setStyleStrategy(QFont::PreferOutline);
    q.setKerning(true);
    return q;
}
