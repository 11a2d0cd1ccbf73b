#include "RpProducer.h"

#include "Clock.h"
#include "KvError.h"
#include "Regional.h"
#include "ReportFonts.h"
#include "RpMask.h"
#include "RpModules.h"
#include "RpTextWidths.h"
#include "TRpPrinter.h"
#include "TRpReport.h"

#include <cmath>

namespace {
// Sets the kind of an operation and the rectangle it covers.
void place(RpOp& op, quint8 kind, qint32 x, qint32 y, qint32 w, qint32 h)
{
    op.kind = kind;
    op.x = x;
    op.y = y;
    op.w = w;
    op.h = h;
}

qint32 um(double tenths)
{
    return Rp::tenthsToUm(tenths);
}

quint32 argb(const QColor& c)
{
    return c.rgba();
}

} // namespace

RpProducer::RpProducer(TRpReport& report, TRpPrinter& store) : m_report(report), m_store(store)
{
    const RpPageSetup& p = report.Page;
    m_paperW = um(p.paperWidth);
    m_paperH = um(p.paperLength);
    m_left = um(p.leftMargin);
    m_top = um(p.topMargin);
    m_bottom = m_paperH - um(p.bottomMargin);
    m_bandW = m_paperW - m_left - um(p.rightMargin);
    for (const auto& b : report.bands) {
        switch (b->BandType) {
        case RpBandType::PageHeader:
            m_pageHeaders << b.get();
            break;
        case RpBandType::ColumnHeader:
            m_columnHeaders << b.get();
            break;
        case RpBandType::Detail:
            m_details << b.get();
            break;
        case RpBandType::PageFooter:
            m_footers << b.get();
            m_footerH += um(b->Height);
            break;
        }
        // Expressions are read before the first row, so that a bad one stops the run
        // before any page exists.
        for (const auto& e : b->elements) {
            if (e->kind() == TRpElement::Kind::Expr) {
                const QString& text = static_cast<const TRpExpr&>(*e).Expression;
                if (!m_expressions.contains(text))
                    m_expressions.insert(text, RpExpression::parse(text));
            }
        }
    }
}

bool RpProducer::run(const std::function<void()>& onPage)
{
    m_onPage = onPage;
    m_store.begin(QSize(m_paperW, m_paperH), m_report.Page.landscape);
    ReportDataSource* data = m_report.DataSet;
    if (data)
        data->first();
    const bool empty = !data || data->eof();
    try {
        if (empty) {
            if (m_report.PrintIfEmpty) {
                openPage();
                closePage(true);
            }
        } else {
            openPage();
            while (!data->eof()) {
                for (TRpBand* b : std::as_const(m_details))
                    printBand(*b);
                data->next();
            }
            closePage(true);
        }
    } catch (const Cancelled&) {
        return false;
    }
    return true;
}

void RpProducer::openPage()
{
    m_page = RpPage();
    m_pageOpen = true;
    ++m_pageNumber;
    m_y = m_top;
    if (m_pageNumber > 1 || m_report.FirstPageHeader) {
        for (TRpBand* b : std::as_const(m_pageHeaders))
            printBand(*b);
    }
    for (TRpBand* b : std::as_const(m_columnHeaders))
        printBand(*b);
    m_bodyTop = m_y;
}

void RpProducer::closePage(bool last)
{
    if (!m_footers.isEmpty() && (!last || m_report.LastPageFooter)) {
        m_y = m_bottom - m_footerH;
        for (TRpBand* b : std::as_const(m_footers)) {
            bool print = true;
            if (b->BeforePrint)
                b->BeforePrint(*b, print);
            if (print)
                renderBand(*b);
            m_y += um(b->Height);
        }
    }
    m_pageOpen = false;
    m_store.addPage(std::move(m_page));
    m_page = RpPage();
    if (m_onPage)
        m_onPage();
    if (m_store.cancelRequested())
        throw Cancelled{};
}

bool RpProducer::fits(const TRpBand& band) const
{
    return m_y + um(band.Height) <= m_bottom - m_footerH;
}

void RpProducer::printBand(TRpBand& band)
{
    // A band taller than a whole page between the margins prints where it is: a new
    // page would not hold it either.
    // Nor does a fresh page whose headers leave too little room: it would never end.
    const bool tallerThanPage = um(band.Height) > m_bottom - m_top;
    if (band.BandType == RpBandType::Detail && !fits(band) && !tallerThanPage && m_y > m_bodyTop) {
        closePage(false);
        openPage();
    }
    bool print = true;
    if (band.BeforePrint)
        band.BeforePrint(band, print);
    if (!print)
        return;
    renderBand(band);
    m_y += um(band.Height);
}

void RpProducer::renderBand(TRpBand& band)
{
    const qint32 bx = m_left;
    const qint32 by = m_y;
    // The paper is white: a white band needs no fill of its own.
    if (band.Color.isValid() && band.Color.rgb() != qRgb(255, 255, 255))
        fill(bx, by, m_bandW, um(band.Height), band.Color);
    for (const auto& ptr : band.elements) {
        TRpElement& e = *ptr;
        if (!e.Enabled)
            continue;
        const qint32 x = bx + um(e.Left);
        const qint32 y = by + um(e.Top);
        const qint32 w = um(e.Width);
        const qint32 h = um(e.Height);
        switch (e.kind()) {
        case TRpElement::Kind::Shape:
            renderShape(static_cast<const TRpShape&>(e), x, y, w, h);
            break;
        case TRpElement::Kind::Image:
            renderImage(static_cast<const TRpImage&>(e), x, y, w, h);
            break;
        case TRpElement::Kind::Drawing:
            renderDrawing(static_cast<const TRpDrawing&>(e), x, y);
            break;
        default:
            renderText(static_cast<const TRpTextElement&>(e), textOf(e), bx, by);
        }
    }
}

QString RpProducer::textOf(const TRpElement& e)
{
    switch (e.kind()) {
    case TRpElement::Kind::Label:
        return static_cast<const TRpLabel&>(e).Caption;
    case TRpElement::Kind::DBText:
        return dbText(const_cast<TRpDBText&>(static_cast<const TRpDBText&>(e)));
    case TRpElement::Kind::Expr: {
        if (!m_report.DataSet)
            return {};
        const QString& text = static_cast<const TRpExpr&>(e).Expression;
        auto it = m_expressions.constFind(text);
        if (it == m_expressions.cend())
            it = m_expressions.insert(text, RpExpression::parse(text));
        return it->evaluate(*m_report.DataSet);
    }
    case TRpElement::Kind::SysData: {
        const auto& s = static_cast<const TRpSysData&>(e);
        switch (s.Data) {
        case RpSysDataKind::Date:
            return s.Text + Regional::shortDate(Clock::today());
        case RpSysDataKind::Time:
            return s.Text + Regional::timeText(Clock::now().time());
        case RpSysDataKind::PageNumber:
            return s.Text + QString::number(m_pageNumber);
        }
        return s.Text;
    }
    case TRpElement::Kind::Memo:
        return static_cast<const TRpMemo&>(e).Lines.join(QLatin1Char('\n'));
    default:
        return {};
    }
}

QString RpProducer::dbText(TRpDBText& e)
{
    ReportDataSource* data = m_report.DataSet;
    if (!data || data->eof() || e.DataField.isEmpty())
        return {};
    using Kind = ReportDataSource::FieldKind;
    const Kind kind = data->fieldKind(e.DataField);
    QString text;
    try {
        if (e.Mask.isEmpty() || kind == Kind::Text || kind == Kind::Memo || kind == Kind::Boolean) {
            text = data->displayText(e.DataField);
        } else {
            const QVariant v = data->value(e.DataField);
            if (!v.isNull()) {
                if (kind == Kind::Date)
                    text = RpMask::formatDateTime(QDateTime(v.toDate(), QTime(0, 0)), e.Mask);
                else if (kind == Kind::Time || kind == Kind::DateTime)
                    text = RpMask::formatDateTime(v.toDateTime(), e.Mask);
                else
                    text = RpMask::formatNumber(v.toDouble(), e.Mask);
            }
        }
    } catch (const KvConversionError&) {
        text.clear(); // a value that does not format prints nothing
    }
    if (!text.isEmpty() && e.OnPrint)
        e.OnPrint(e, text);
    return text;
}

RpProducer::FontInfo& RpProducer::fontInfo(const RpFont& font)
{
    for (const auto& f : m_fonts) {
        if (f->font.size == font.size && f->font.bold == font.bold && f->font.name == font.name)
            return *f;
    }
    RpFont stored = font;
    stored.color = Qt::black; // the colour travels with each text
    RpTextWidths& widths = RpTextWidths::of(ReportFonts::layoutFont(stored));
    m_fonts.push_back(std::make_unique<FontInfo>(FontInfo{stored, m_store.fontIndex(stored),
                                                          &widths, widths.metrics().ascent(),
                                                          widths.metrics().lineSpacing()}));
    return *m_fonts.back();
}

namespace {
// Greedy line breaking over any measure of widths.
template <typename Width>
QStringList breakWith(const QString& text, const Width& advance, double width, bool wrap)
{
    // Most texts are one line that needs no breaking.
    const bool returns = text.contains(QLatin1Char('\r'));
    const bool oneLine = !returns && !text.contains(QLatin1Char('\n'));
    if (oneLine && (!wrap || advance(text) <= width))
        return {text};
    QString normal = text;
    if (returns) {
        normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    const QStringList paragraphs = normal.split(QLatin1Char('\n'));
    if (!wrap)
        return paragraphs;
    QStringList out;
    for (const QString& para : paragraphs) {
        if (advance(para) <= width) {
            out << para;
            continue;
        }
        // Greedy breaking at blanks; a word wider than the box is cut where it must be.
        QString line;
        const QStringList words = para.split(QLatin1Char(' '));
        for (qsizetype i = 0; i < words.size(); ++i) {
            QString word = words.at(i);
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (advance(candidate) <= width) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty()) {
                out << line;
                line.clear();
            }
            while (advance(word) > width && word.size() > 1) {
                qsizetype n = word.size() - 1;
                while (n > 1 && advance(word.left(n)) > width)
                    --n;
                out << word.left(n);
                word = word.mid(n);
            }
            line = word;
        }
        out << line;
    }
    return out;
}
} // namespace

QStringList RpProducer::breakLines(const QString& text, const QFontMetricsF& fm, double width,
                                   bool wrap)
{
    return breakWith(
        text, [&](const QString& t) { return fm.horizontalAdvance(t); }, width, wrap);
}

QStringList RpProducer::breakLines(const QString& text, RpTextWidths& widths, double width,
                                   bool wrap)
{
    return breakWith(
        text, [&](const QString& t) { return widths.width(t); }, width, wrap);
}

void RpProducer::renderText(const TRpTextElement& e, const QString& text, qint32 bandX,
                            qint32 bandY)
{
    FontInfo& fi = fontInfo(e.Font);
    qint32 x = bandX + um(e.Left);
    qint32 w = um(e.Width);
    const qint32 y = bandY + um(e.Top);
    const qint32 h = um(e.Height);
    if (e.AlignToBand) {
        x = bandX;
        w = m_bandW;
    }
    const QStringList lines = breakLines(text, *fi.widths, w, e.WordWrap && !e.AutoSize);
    // A line's width places it only when the box fits its text or the text is not set
    // from the left.
    QList<double> widths;
    double widest = 0;
    if (e.AutoSize || e.Alignment != RpAlignment::Left) {
        widths.reserve(lines.size());
        for (const QString& l : lines) {
            widths << fi.widths->width(l);
            widest = std::max(widest, widths.last());
        }
    }
    if (e.AutoSize) {
        const auto tw = qint32(std::ceil(widest));
        if (e.Alignment == RpAlignment::Right)
            x += w - tw;
        else if (e.Alignment == RpAlignment::Center)
            x += (w - tw) / 2;
        w = tw;
    }
    if (!e.Transparent)
        fill(x, y, w, h, e.Color);
    const double ascent = fi.ascent;
    const double spacing = fi.lineSpacing;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const double base = y + ascent + double(i) * spacing;
        // A line prints while its baseline lies inside the box; the first always does.
        if (i > 0 && base > y + h)
            break;
        if (lines.at(i).isEmpty())
            continue;
        double lx = x;
        if (e.Alignment == RpAlignment::Right)
            lx = x + w - widths.at(i);
        else if (e.Alignment == RpAlignment::Center)
            lx = x + (w - widths.at(i)) / 2;
        RpOp op;
        op.kind = RpOp::Text;
        op.x = qint32(std::lround(lx));
        op.y = qint32(std::lround(base));
        op.color = argb(e.Font.color);
        op.arg = fi.index;
        op.p1 = qint32(m_page.text.size());
        op.p2 = qint32(lines.at(i).size());
        m_page.text += lines.at(i);
        m_page.ops.append(op);
    }
}

void RpProducer::renderShape(const TRpShape& s, qint32 x, qint32 y, qint32 w, qint32 h)
{
    RpOp op;
    op.style = quint8(s.Pen.style);
    op.arg = s.Pen.width;
    op.color = argb(s.Pen.color);
    switch (s.Shape) {
    case RpShapeKind::Rectangle:
        place(op, RpOp::Box, x, y, w, h);
        op.fill = s.Brush.clear ? 0u : argb(s.Brush.color);
        if (op.fill == 0 && s.Pen.style == RpPenStyle::Clear)
            return;
        break;
    case RpShapeKind::HorLine:
        if (s.Pen.style == RpPenStyle::Clear)
            return;
        place(op, RpOp::Line, x, y + h / 2, w, 0);
        break;
    case RpShapeKind::VertLine:
        if (s.Pen.style == RpPenStyle::Clear)
            return;
        place(op, RpOp::Line, x + w / 2, y, 0, h);
        break;
    }
    m_page.ops.append(op);
}

void RpProducer::renderImage(const TRpImage& i, qint32 x, qint32 y, qint32 w, qint32 h)
{
    const QImage& pic = i.picture();
    if (pic.isNull())
        return;
    RpOp op;
    place(op, RpOp::Picture, x, y, w, h);
    op.arg = m_store.pictureIndex(pic);
    if (i.Stretch) {
        op.p1 = x;
        op.p2 = y;
        op.w2 = w;
        op.h2 = h;
    } else {
        op.w2 = qint32(std::lround(pic.width() * Rp::kUmPerInch / Rp::kPictureDpi));
        op.h2 = qint32(std::lround(pic.height() * Rp::kUmPerInch / Rp::kPictureDpi));
        op.p1 = i.Center ? x + (w - op.w2) / 2 : x;
        op.p2 = i.Center ? y + (h - op.h2) / 2 : y;
    }
    m_page.ops.append(op);
}

void RpProducer::renderDrawing(const TRpDrawing& d, qint32 x, qint32 y)
{
    for (const QRectF& r : d.Bars) {
        const qint32 left = x + um(r.left());
        const qint32 top = y + um(r.top());
        fill(left, top, x + um(r.right()) - left, y + um(r.bottom()) - top, d.Color);
    }
    if (!RpModules::valid(d.Modules, d.ModulesSize) || d.ModulesMargin < 0 || d.Width <= 0)
        return;
    const double module = d.Width / double(d.ModulesSize + 2 * d.ModulesMargin);
    RpOp op;
    op.kind = RpOp::Modules;
    op.x = x + um(d.ModulesMargin * module);
    op.y = y + um(d.ModulesMargin * module);
    op.w = op.h = um(d.ModulesSize * module);
    op.fill = argb(d.Color);
    op.arg = d.ModulesSize;
    op.p1 = qint32(m_page.text.size());
    op.p2 = qint32(d.Modules.size());
    m_page.text += d.Modules;
    m_page.ops.append(op);
}

void RpProducer::fill(qint32 x, qint32 y, qint32 w, qint32 h, const QColor& color)
{
    if (w <= 0 || h <= 0)
        return;
    RpOp op;
    place(op, RpOp::Fill, x, y, w, h);
    op.fill = argb(color);
    m_page.ops.append(op);
}
