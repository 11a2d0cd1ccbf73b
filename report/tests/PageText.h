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
