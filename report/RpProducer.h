#pragma once

#include "RpExpression.h"
#include "RpPage.h"
#include "RpTypes.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <functional>
#include <memory>
#include <vector>

class TRpBand;
class TRpDBText;
class TRpElement;
class TRpImage;
class TRpPrinter;
class TRpReport;
class TRpShape;
class TRpTextElement;
class TRpDrawing;
class RpTextWidths;

// One pass of a report over its rows into a page store: bands laid out top to bottom,
// new pages with their header bands when a band does not fit, each finished page handed
// to the store. Internal to the engine; TRpReport drives it.
class RpProducer {
public:
    RpProducer(TRpReport& report, TRpPrinter& store);
    // Runs the pass; `onPage` runs after each finished page (the preview keeps the
    // interface alive there). Returns false when the store's viewer let go midway.
    bool run(const std::function<void()>& onPage);

    // Lines of a text as they print: split at line ends, wrapped at `width` µm when
    // `wrap` is set. Exposed for the tests.
    static QStringList breakLines(const QString& text, const QFontMetricsF& fm, double width,
                                  bool wrap);
    static QStringList breakLines(const QString& text, RpTextWidths& widths, double width,
                                  bool wrap);

private:
    struct FontInfo {
        RpFont font; // as asked, colour aside
        int index;
        RpTextWidths* widths; // the process's own for this font
        double ascent, lineSpacing;
    };
    struct Cancelled {};

    void openPage();
    void closePage(bool last);
    void printBand(TRpBand& band);
    void renderBand(TRpBand& band);
    void renderText(const TRpTextElement& e, const QString& text, qint32 bandX, qint32 bandY);
    void renderShape(const TRpShape& s, qint32 x, qint32 y, qint32 w, qint32 h);
    void renderImage(const TRpImage& i, qint32 x, qint32 y, qint32 w, qint32 h);
    void renderDrawing(const TRpDrawing& d, qint32 x, qint32 y);
    QString textOf(const TRpElement& e);
    QString dbText(TRpDBText& e);
    FontInfo& fontInfo(const RpFont& font);
    void fill(qint32 x, qint32 y, qint32 w, qint32 h, const QColor& color);
    bool fits(const TRpBand& band) const;

    TRpReport& m_report;
    TRpPrinter& m_store;
    std::vector<std::unique_ptr<FontInfo>> m_fonts; // a report has a handful
    QHash<QString, RpExpression> m_expressions;
    QList<TRpBand*> m_pageHeaders, m_columnHeaders, m_details, m_footers;
    qint32 m_paperW = 0, m_paperH = 0, m_left = 0, m_top = 0, m_bottom = 0, m_bandW = 0;
    qint32 m_footerH = 0;
    RpPage m_page;
    bool m_pageOpen = false;
    int m_pageNumber = 0;
    qint32 m_y = 0;
    qint32 m_bodyTop = 0; // where the first detail band of the page goes
    std::function<void()> m_onPage;
};
