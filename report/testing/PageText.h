#pragma once

#include "TRpPrinter.h"

#include <QList>
#include <QStringList>

// Reading produced pages back in the tests.
namespace PageText {
struct Placed {
    QString text;
    int x; // µm from the paper's left edge, start of the text
    int y; // µm from the paper's top edge, baseline
    int font;
};

inline QList<Placed> placed(const TRpPrinter& store, int page)
{
    QList<Placed> out;
    const RpPage& p = store.page(page);
    for (const RpOp& op : p.ops) {
        if (op.kind == RpOp::Text)
            out.append({p.textOf(op).toString(), op.x, op.y, op.arg});
    }
    return out;
}

inline QStringList texts(const TRpPrinter& store, int page)
{
    QStringList out;
    for (const Placed& t : placed(store, page))
        out << t.text;
    return out;
}

// A page holding one text whose baseline starts 20 mm from the left, 30 mm from the top.
inline RpPage textPage(TRpPrinter& store, const QString& text, const RpFont& font = RpFont{})
{
    RpPage page;
    RpOp t;
    t.kind = RpOp::Text;
    t.x = 20000;
    t.y = 30000;
    t.color = QColor(Qt::black).rgba();
    t.arg = store.fontIndex(font);
    t.p2 = int(text.size());
    page.text = text;
    page.ops << t;
    return page;
}

inline QList<RpOp> ops(const TRpPrinter& store, int page, RpOp::Kind kind)
{
    QList<RpOp> out;
    for (const RpOp& op : store.page(page).ops) {
        if (op.kind == kind)
            out << op;
    }
    return out;
}
} // namespace PageText
