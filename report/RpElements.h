#pragma once

#include "KvError.h"
#include "RpTypes.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>

// The printable elements of a band. They are plain attribute records, kept together here
// because they only make sense as one family: the definition reader fills them, handlers
// change them between rows, and the producer reads them. Attribute names are the ones a
// report definition uses. Positions are tenths of a millimetre relative to the band's
// top-left corner.

class TRpBand;
class TRpDBText;

// Raised when a picture file cannot be opened, so that callers can put their own message
// in its place; other picture failures raise plain KvError.
class RpFileOpenError : public KvError {
public:
    using KvError::KvError;
};

// Handler of a data text's OnPrint: may replace the formatted text before it prints.
using RpPrintHandler = std::function<void(TRpDBText& sender, QString& value)>;

class TRpElement {
public:
    enum class Kind { Label, DBText, Expr, SysData, Memo, Shape, Image, Drawing };

    explicit TRpElement(Kind kind) : m_kind(kind) {}
    virtual ~TRpElement() = default;
    TRpElement(const TRpElement&) = delete;
    TRpElement& operator=(const TRpElement&) = delete;

    Kind kind() const { return m_kind; }
    bool isText() const { return m_kind <= Kind::Memo; }

    QString Name;
    // Size: height, left, top, width (the order the definition files use).
    double Height = 0;
    double Left = 0;
    double Top = 0;
    double Width = 0;
    bool Enabled = true; // a disabled element prints nothing

private:
    Kind m_kind;
};

// What every text element shares.
class TRpTextElement : public TRpElement {
public:
    using TRpElement::TRpElement;

    RpFont Font;
    RpAlignment Alignment = RpAlignment::Left;
    bool AlignToBand = false; // align against the band's width instead of the box
    bool AutoSize = false;    // the box takes the width of its text
    bool WordWrap = false;    // break into lines at the box's width
    bool Transparent = true;  // false: the box is first filled with Color
    QColor Color = Qt::white;
};

class TRpLabel : public TRpTextElement {
public:
    TRpLabel() : TRpTextElement(Kind::Label) {}
    QString Caption;
};

class TRpDBText : public TRpTextElement {
public:
    TRpDBText() : TRpTextElement(Kind::DBText) {}
    QString DataField;
    QString Mask;        // empty: the field's display text
    QString OnPrintName; // handler bound by TRpReport::bindOnPrint
    RpPrintHandler OnPrint;
};

class TRpExpr : public TRpTextElement {
public:
    TRpExpr() : TRpTextElement(Kind::Expr) {}
    // Field references "query.Field" (or a bare field name), literals in single quotes
    // ('' is a quote inside one) and "+" joining them.
    QString Expression;
};

class TRpSysData : public TRpTextElement {
public:
    TRpSysData() : TRpTextElement(Kind::SysData) {}
    RpSysDataKind Data = RpSysDataKind::Date;
    QString Text; // printed in front of the value
};

class TRpMemo : public TRpTextElement {
public:
    TRpMemo() : TRpTextElement(Kind::Memo) {}
    QStringList Lines;
};

class TRpShape : public TRpElement {
public:
    TRpShape() : TRpElement(Kind::Shape) {}
    RpShapeKind Shape = RpShapeKind::Rectangle;
    RpPen Pen;
    RpBrush Brush;
};

class TRpImage : public TRpElement {
public:
    TRpImage() : TRpElement(Kind::Image) {}

    bool Center = false;  // centred in the box instead of from its top-left corner
    bool Stretch = false; // drawn into the whole box instead of at its own size

    const QImage& picture() const { return m_picture; }
    void setPicture(const QImage& picture) { m_picture = picture; }
    void clear() { m_picture = QImage(); }
    // Reads a picture file by its extension. A file that cannot be opened raises
    // RpFileOpenError; a file that is no picture raises KvError.
    void loadFromFile(const QString& path);
    // Takes the picture of another image element (shared, not copied).
    void assign(const TRpImage& other) { m_picture = other.m_picture; }

private:
    QImage m_picture;
};

// Vector marks put on the page by code, drawn in Color in the element's turn. A
// BeforePrint handler sets them for the current row:
// - Bars: filled rectangles in tenths of a millimetre relative to the element's top-left
//   corner (a barcode), kept to micrometres in the page, so narrow and wide modules keep
//   their exact ratio;
// - Modules: a square of modules (RpModules bits, ModulesSize a side) filling the
//   element's width less ModulesMargin light modules on every side (a QR code and its
//   quiet zone), kept in the page as one operation.
class TRpDrawing : public TRpElement {
public:
    TRpDrawing() : TRpElement(Kind::Drawing) {}
    QList<QRectF> Bars;
    QString Modules;
    int ModulesSize = 0;
    int ModulesMargin = 0;
    QColor Color = Qt::black;
};
