#include "RpPagePainter.h"

#include "KvError.h"
#include "ReportFonts.h"
#include "RpModules.h"
#include "TRpPrinter.h"

#include <QPainter>
#include <QPrinter>

namespace {
QPen penOf(const RpOp& op, double umPerDot, double onePixel)
{
    if (op.style == quint8(RpPenStyle::Clear))
        return Qt::NoPen;
    QPen pen(QColor::fromRgba(op.color));
    // Qt takes pens up to 32767 units wide: 32 mm here, far beyond any line of a form.
    pen.setWidthF(std::min(std::max(op.arg * umPerDot, onePixel), 32000.0));
    pen.setStyle(op.style == quint8(RpPenStyle::Dot) ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}
} // namespace

void RpPagePainter::paint(QPainter& painter, const TRpPrinter& store, int pageIndex,
                          const QRectF& target, int penDpi)
{
    if (pageIndex < 0 || pageIndex >= store.pageCount() || store.paperSize().width() <= 0)
        return;
    const RpPage& page = store.page(pageIndex);
    const double scale = target.width() / store.paperSize().width(); // device units per µm
    if (!(scale > 0))
        return;
    const double umPerDot = Rp::kUmPerInch / std::max(1, penDpi);
    const double onePixel = 1.0 / scale;

    QList<QFont> fonts;
    fonts.reserve(store.fonts().size());
    for (const RpFont& f : store.fonts())
        fonts << ReportFonts::layoutFont(f);
    const QList<QImage>& pictures = store.pictures();

    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    int currentFont = -1;
    for (const RpOp& op : page.ops) {
        switch (op.kind) {
        case RpOp::Fill:
            painter.fillRect(QRectF(op.x, op.y, op.w, op.h), QColor::fromRgba(op.fill));
            break;
        case RpOp::Line:
            painter.setPen(penOf(op, umPerDot, onePixel));
            painter.drawLine(QPointF(op.x, op.y), QPointF(op.x + op.w, op.y + op.h));
            break;
        case RpOp::Box:
            painter.setPen(penOf(op, umPerDot, onePixel));
            if (qAlpha(op.fill) == 0)
                painter.setBrush(Qt::NoBrush);
            else
                painter.setBrush(QColor::fromRgba(op.fill));
            painter.drawRect(QRectF(op.x, op.y, op.w, op.h));
            break;
        case RpOp::Text:
            if (op.arg < 0 || op.arg >= fonts.size() || op.p1 < 0 || op.p2 < 0 ||
                qsizetype(op.p1) + op.p2 > page.text.size())
                break;
            if (currentFont != op.arg) {
                painter.setFont(fonts.at(op.arg));
                currentFont = op.arg;
            }
            painter.setPen(QColor::fromRgba(op.color));
            painter.drawText(QPointF(op.x, op.y), page.textOf(op).toString());
            break;
        case RpOp::Picture:
            if (op.arg < 0 || op.arg >= pictures.size())
                break;
            painter.save();
            painter.setClipRect(QRectF(op.x, op.y, op.w, op.h), Qt::IntersectClip);
            painter.drawImage(QRectF(op.p1, op.p2, op.w2, op.h2), pictures.at(op.arg));
            painter.restore();
            break;
        case RpOp::Modules: {
            const QStringView bits = RpModules::bitsOf(page, op);
            const double module = double(op.w) / op.arg;
            const QColor colour = QColor::fromRgba(op.fill);
            for (const RpModules::Rect& r : RpModules::rects(bits, op.arg)) {
                painter.fillRect(QRectF(QPointF(op.x + r.x0 * module, op.y + r.y0 * module),
                                        QPointF(op.x + r.x1 * module, op.y + r.y1 * module)),
                                 colour);
            }
            break;
        }
        default:
            break;
        }
    }
    painter.restore();
}

void RpPagePainter::printPage(QPainter& painter, QPrinter& printer, const TRpPrinter& store,
                              int pageIndex)
{
    if (!painter.isActive()) {
        printer.setFullPage(true);
        if (!painter.begin(&printer))
            throw KvError(QStringLiteral("Não foi possível iniciar a impressão em \"%1\".")
                              .arg(printer.printerName()));
    } else if (!printer.newPage()) {
        throw KvError(QStringLiteral("A impressora recusou uma nova página."));
    }
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    paint(painter, store, pageIndex, QRectF(0, 0, paper.width(), paper.height()),
          printer.resolution());
}
