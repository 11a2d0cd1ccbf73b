#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// One produced page as a display list: plain records in micrometres from the paper's
// top-left corner, drawn in order. Fonts and pictures are indexes into the page store's
// tables, so a picture printed on every page is held once; texts live in one buffer per
// page. No objects per element: a large report stays small.
struct RpOp {
    enum Kind : quint8 {
        Fill,    // x, y, w, h filled with `fill`
        Line,    // from (x, y) to (x + w, y + h), pen `arg` dots, `style`, `color`
        Box,     // rectangle x, y, w, h: `fill` unless its alpha is 0, outline pen as Line
        Text,    // text from (x, y) = left end of the baseline, font `arg`, `color`
        Picture, // picture `arg` drawn into (p1, p2, w2, h2), clipped to x, y, w, h
        Modules, // a square of `arg` modules a side over x, y, w, h, dark ones in `fill`;
                 // their bits (RpModules) at offset p1, length p2 of the page's text
    };

    quint8 kind = Fill;
    quint8 style = 0; // RpPenStyle for lines and boxes
    quint16 reserved = 0;
    qint32 x = 0, y = 0, w = 0, h = 0;
    quint32 color = 0; // ARGB of the text or the pen
    quint32 fill = 0;  // ARGB of the brush
    qint32 arg = 0;    // pen width in dots, font index or picture index
    // Text: offset and length in the page's text. Picture: left and top of the drawn
    // picture; its width and height follow in w2, h2.
    qint32 p1 = 0, p2 = 0;
    qint32 w2 = 0, h2 = 0;

    bool operator==(const RpOp&) const = default;
    // Operations whose p1 and p2 place a run of the page's text.
    bool holdsText() const { return kind == Text || kind == Modules; }
};

struct RpPage {
    QList<RpOp> ops;
    QString text; // every text of the page, referenced by offset and length

    QStringView textOf(const RpOp& op) const { return QStringView(text).mid(op.p1, op.p2); }
    bool operator==(const RpPage&) const = default;
    // Memory the page holds, for the store's accounting.
    qsizetype bytes() const { return ops.size() * qsizetype(sizeof(RpOp)) + text.size() * 2; }
};
