#include "RelBloqueto.h"
#include "Report.h"
#include "ProgramDir.h"
#include "Regional.h"
#include "Database.h"
#include <QGuiApplication>
#include <QElapsedTimer>
#include <QPdfWriter>
#include <QPainter>
#include <QBuffer>
#include <QTextLayout>
#include <QGlyphRun>
#include <QHash>
#include <QFile>
#include <cstdio>

static void paintCached(QPainter& painter, const TRpPrinter& store, int pageIndex, const QRectF& target,
                        QHash<QPair<int, QString>, QList<QGlyphRun>>& cache, const QList<QFont>& fonts)
{
    const RpPage& page = store.page(pageIndex);
    const double scale = target.width() / store.paperSize().width();
    const double umPerDot = Rp::kUmPerInch / 600;
    painter.save();
    painter.scale(scale, scale);
    for (const RpOp& op : page.ops) {
        switch (op.kind) {
        case RpOp::Fill:
            painter.fillRect(QRectF(op.x, op.y, op.w, op.h), QColor::fromRgba(op.fill));
            break;
        case RpOp::Line: {
            QPen pen(QColor::fromRgba(op.color));
            pen.setWidthF(op.arg * umPerDot);
            pen.setStyle(op.style == quint8(RpPenStyle::Dot) ? Qt::DotLine : Qt::SolidLine);
            painter.setPen(pen);
            painter.drawLine(QPointF(op.x, op.y), QPointF(op.x + op.w, op.y + op.h));
            break;
        }
        case RpOp::Box:
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromRgba(op.fill));
            painter.drawRect(QRectF(op.x, op.y, op.w, op.h));
            break;
        case RpOp::Text: {
            const QString s = page.textOf(op).toString();
            auto key = qMakePair(int(op.arg), s);
            auto it = cache.find(key);
            if (it == cache.end()) {
                QTextLayout layout(s, fonts.at(op.arg));
                layout.beginLayout();
                QTextLine line = layout.createLine();
                layout.endLayout();
                QList<QGlyphRun> runs = layout.glyphRuns();
                // baseline origin
                for (auto& r : runs) {
                    QList<QPointF> pos = r.positions();
                    for (auto& p : pos) p.ry() -= line.ascent();
                    r.setPositions(pos);
                }
                it = cache.insert(key, runs);
            }
            painter.setPen(QColor::fromRgba(op.color));
            for (const QGlyphRun& r : *it)
                painter.drawGlyphRun(QPointF(op.x, op.y), r);
            break;
        }
        case RpOp::Picture:
            painter.save();
            painter.setClipRect(QRectF(op.x, op.y, op.w, op.h), Qt::IntersectClip);
            painter.drawImage(QRectF(op.p1, op.p2, op.w2, op.h2), store.pictures().at(op.arg));
            painter.restore();
            break;
        }
    }
    painter.restore();
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ProgramDir::set(QStringLiteral("/tmp/folha_b"));
    Regional::init();
    RelBloqueto rel;
    rel.selectValidInFileOrder();
    TRpPrinter store;
    QElapsedTimer t; t.start();
    rel.produce(store);
    std::fprintf(stderr, "produce %d pages %lld ms\n", store.pageCount(), t.restart());
    const QString mode = QString::fromLatin1(argv[1]);
    if (mode == QLatin1String("none")) return 0;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        QList<QFont> fonts;
        for (const RpFont& f : store.fonts()) fonts << ReportFonts::layoutFont(f);
        QHash<QPair<int, QString>, QList<QGlyphRun>> cache;
        for (int i = 0; i < store.pageCount(); ++i) {
            if (i > 0) writer.newPage();
            if (mode == QLatin1String("qt"))
                RpPagePainter::paint(painter, store, i, QRectF(0, 0, writer.width(), writer.height()), 600);
            else
                paintCached(painter, store, i, QRectF(0, 0, writer.width(), writer.height()), cache, fonts);
        }
        painter.end();
    }
    std::fprintf(stderr, "pdf %lld ms, %lld bytes\n", t.restart(), (long long)bytes.size());
    QFile f(QStringLiteral("/tmp/folha_b/exp.pdf")); f.open(QIODevice::WriteOnly); f.write(bytes);
    Database::closeAll();
}
