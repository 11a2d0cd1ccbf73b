// The PDF writer against poppler: pages look as the page painter draws them, texts read
// back, fonts and pictures are stored once, and a failed write never passes for a file.

#include "BarcodeScan.h"
#include "Clock.h"
#include "Cp1252.h"
#include "KvError.h"
#include "PageImages.h"
#include "QrEncoder.h"
#include "ReportFonts.h"
#include "RpModules.h"
#include "RpPdfExport.h"
#include "RpPdfFont.h"
#include "RpPdfStream.h"
#include "RpPdfWriter.h"
#include "TRpPrinter.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(RpFont)

namespace {
int mm(double v)
{
    return int(std::lround(v * 1000));
}

RpFont font(const char* name, double size, bool bold = false)
{
    RpFont f;
    f.name = QString::fromLatin1(name);
    f.size = size;
    f.bold = bold;
    return f;
}

// Builds pages op by op, in millimetres; remembers an area around each thing drawn for
// comparing renders element by element.
class PageMaker {
public:
    explicit PageMaker(TRpPrinter& store) : m_store(store) {}

    PageMaker& text(double x, double y, const QString& s, const RpFont& f = {},
                    QRgb color = qRgb(0, 0, 0))
    {
        RpOp op;
        op.kind = RpOp::Text;
        op.x = mm(x);
        op.y = mm(y);
        op.color = color;
        op.arg = m_store.fontIndex(f);
        op.p1 = int(m_page.text.size());
        op.p2 = int(s.size());
        m_page.text += s;
        return add(op, QRectF(x - 2, y - f.size * 0.5, 205 - x, f.size * 0.65));
    }
    PageMaker& fill(double x, double y, double w, double h, QRgb color)
    {
        RpOp op;
        op.kind = RpOp::Fill;
        place(op, x, y, w, h);
        op.fill = color;
        return add(op, QRectF(x - 2, y - 2, w + 4, h + 4));
    }
    PageMaker& line(double x, double y, double w, double h, int dots,
                    RpPenStyle style = RpPenStyle::Solid, QRgb color = qRgb(0, 0, 0))
    {
        return add(stroked(RpOp::Line, x, y, w, h, dots, style, color),
                   QRectF(x - 2, y - 2, w + 4, h + 4));
    }
    PageMaker& box(double x, double y, double w, double h, int dots, RpPenStyle style, QRgb pen,
                   quint32 fill)
    {
        RpOp op = stroked(RpOp::Box, x, y, w, h, dots, style, pen);
        op.fill = fill;
        return add(op, QRectF(x - 2, y - 2, w + 4, h + 4));
    }
    // `drawn` is where the whole picture goes, `clip` the part of the page it may cover.
    PageMaker& picture(const QImage& img, const QRectF& clip, const QRectF& drawn)
    {
        RpOp op;
        op.kind = RpOp::Picture;
        place(op, clip.x(), clip.y(), clip.width(), clip.height());
        op.arg = m_store.pictureIndex(img);
        op.p1 = mm(drawn.x());
        op.p2 = mm(drawn.y());
        op.w2 = mm(drawn.width());
        op.h2 = mm(drawn.height());
        return add(op, clip.adjusted(-2, -2, 2, 2));
    }
    // The QR code of `data`, its quiet zone of four modules inside the square at x, y.
    PageMaker& qrCode(double x, double y, double side, const QByteArray& data)
    {
        const QrEncoder::Symbol symbol = QrEncoder::encode(data);
        const double module = side / (symbol.size + 8);
        RpOp op;
        op.kind = RpOp::Modules;
        place(op, x + 4 * module, y + 4 * module, symbol.size * module, symbol.size * module);
        op.fill = qRgb(0, 0, 0);
        op.arg = symbol.size;
        const QString bits = RpModules::pack(symbol.size, symbol.dark.data());
        op.p1 = int(m_page.text.size());
        op.p2 = int(bits.size());
        m_page.text += bits;
        return add(op, QRectF(x, y, side, side));
    }
    void endPage()
    {
        m_store.addPage(std::move(m_page));
        m_page = RpPage();
    }
    QList<QRectF> areas; // millimetres

private:
    static void place(RpOp& op, double x, double y, double w, double h)
    {
        op.x = mm(x);
        op.y = mm(y);
        op.w = mm(w);
        op.h = mm(h);
    }
    // A line or a box outline over x, y, w, h: its pen `dots` wide, `style`, `color`.
    static RpOp stroked(RpOp::Kind kind, double x, double y, double w, double h, int dots,
                        RpPenStyle style, QRgb color)
    {
        RpOp op;
        op.kind = kind;
        place(op, x, y, w, h);
        op.arg = dots;
        op.style = quint8(style);
        op.color = color;
        return op;
    }
    PageMaker& add(const RpOp& op, const QRectF& area)
    {
        m_page.ops << op;
        areas << area;
        return *this;
    }

    TRpPrinter& m_store;
    RpPage m_page;
};

const QString kSample = QStringLiteral("JOSÉ Não AVALIAÇÃO (=) Título 1.234,56");

QList<RpFont> sampleFonts()
{
    return {font("Arial", 10),       font("Arial", 10, true), font("Arial Black", 12),
            font("MS Serif", 10),    font("Small Fonts", 7),  font("Small Fonts", 7, true),
            font("Arial", 18, true), font("MS Sans Serif", 8)};
}

// A dark frame round a coloured middle: sharp edges to find again in a render.
QImage framed(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(40, 40, 90));
    QPainter p(&img);
    p.fillRect(3, 3, w - 6, h - 6, QColor(240, 200, 120));
    return img;
}

QImage disc(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setBrush(QColor(200, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(0, 0, size, size));
    return img;
}

// Something of every kind the engine draws, each well apart from the others.
QList<QRectF> samplePage(TRpPrinter& store)
{
    PageMaker page(store);
    const QList<RpFont> fonts = sampleFonts();
    for (qsizetype k = 0; k < fonts.size(); ++k)
        page.text(15, 20 + 13 * double(k), kSample, fonts.at(k));
    page.text(15, 125, QStringLiteral("Vermelho"), font("Arial", 12), qRgb(200, 0, 0));
    page.line(15, 135, 80, 0, 1);
    page.line(15, 143, 80, 0, 3, RpPenStyle::Dot);
    page.line(120, 130, 0, 25, 12);
    page.line(140, 140, 50, 0, 20, RpPenStyle::Solid, qRgb(0, 0, 160));
    page.box(15, 165, 40, 20, 2, RpPenStyle::Solid, qRgb(0, 0, 0), 0);
    page.box(65, 165, 40, 20, 4, RpPenStyle::Solid, qRgb(0, 0, 0), qRgb(180, 180, 180));
    page.box(115, 165, 40, 20, 1, RpPenStyle::Clear, 0, qRgb(0, 0, 200));
    for (int i = 0; i < 24; ++i)
        page.fill(15 + i * 1.6, 200, i % 3 == 0 ? 1.0 : 0.5, 15, qRgb(0, 0, 0));
    page.picture(framed(60, 30), QRectF(15, 235, 15.875, 7.9375), QRectF(15, 235, 15.875, 7.9375));
    page.picture(framed(40, 40), QRectF(60, 235, 20, 30), QRectF(60, 235, 40, 30));
    page.fill(108, 233, 24, 24, qRgb(0, 160, 0));
    page.picture(disc(40), QRectF(110, 235, 20, 20), QRectF(110, 235, 20, 20));
    QList<QRectF> areas = page.areas;
    // A white fill over part of a line hides that part; one over bare paper shows nothing.
    page.fill(160, 135, 10, 10, qRgb(255, 255, 255));
    page.fill(150, 250, 30, 10, qRgb(255, 255, 255));
    page.endPage();
    return areas;
}

QRect pixels(const QRectF& mmArea, int dpi)
{
    const double k = dpi / 25.4;
    return QRectF(mmArea.x() * k, mmArea.y() * k, mmArea.width() * k, mmArea.height() * k)
        .toAlignedRect();
}

QString poppler(const QString& program, const QStringList& args)
{
    int rc = -1;
    const QString out = QString::fromUtf8(TestSupport::run(program, args, &rc));
    return rc == 0 ? out : QStringLiteral("(%1 failed)").arg(program);
}

void writePdf(TRpPrinter& store, const QString& path)
{
    store.finish();
    RpPdfExport::write(store, path);
}

// A device that takes so many bytes and then fails, like a full disk.
class FullDevice : public QIODevice {
public:
    explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override
    {
        if (len > m_room)
            return -1;
        m_room -= len;
        return len;
    }

private:
    qint64 m_room;
};
} // namespace

class TstRpPdfWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        for (const char* program : {"pdftoppm", "pdftotext", "pdfinfo", "pdffonts", "pdfimages"}) {
            if (!TestSupport::haveProgram(QString::fromLatin1(program)))
                QSKIP("poppler-utils is not installed");
        }
    }

    void pageLooksAsPainted()
    {
        QTemporaryDir dir;
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        const QList<QRectF> areas = samplePage(store);
        const QString pdf = dir.filePath(QStringLiteral("amostra.pdf"));
        writePdf(store, pdf);

        constexpr int dpi = 150;
        const QImage painted = PageImages::painted(store, 0, dpi);
        const QImage rendered = PageImages::rendered(pdf, 1, dpi);
        QVERIFY(!rendered.isNull());
        // Edges are smoothed differently, and Qt's rasterizer rounds glyph heights and
        // advances to its pixels a little; anything misplaced or missing shows well beyond.
        const double diff = PageImages::meanDifference(painted, rendered);
        QVERIFY2(diff < 3, qPrintable(QString::number(diff)));
        // Each thing drawn covers the same pixels, give or take one or two (0.3 mm).
        for (qsizetype i = 0; i < areas.size(); ++i) {
            const QRect area = pixels(areas.at(i), dpi);
            const QRect a = PageImages::ink(painted, area);
            const QRect b = PageImages::ink(rendered, area);
            const QString where = QStringLiteral("element %1: painted %2,%3 %4x%5, pdf %6,%7 %8x%9")
                                      .arg(i)
                                      .arg(a.x())
                                      .arg(a.y())
                                      .arg(a.width())
                                      .arg(a.height())
                                      .arg(b.x())
                                      .arg(b.y())
                                      .arg(b.width())
                                      .arg(b.height());
            QVERIFY2(!a.isEmpty() && !b.isEmpty(), qPrintable(where));
            const int along = 2 + a.width() / 200;
            QVERIFY2(std::abs(a.left() - b.left()) <= 1 &&
                         std::abs(a.right() - b.right()) <= along &&
                         std::abs(a.top() - b.top()) <= 2 && std::abs(a.bottom() - b.bottom()) <= 2,
                     qPrintable(where));
        }
        // The white fill cut the thick line; the line goes on either side.
        const auto grey = [&](double x, double y) {
            return qGray(rendered.pixel(pixels(QRectF(x, y, 0, 0), dpi).topLeft()));
        };
        QVERIFY(grey(165, 140) > 240);
        QVERIFY(grey(155, 140) < 100);
        QVERIFY(grey(180, 140) < 100);
    }

    void repeatedPartsKeepTheirPlaceInTheDrawing()
    {
        QTemporaryDir dir;
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        constexpr int pages = 6;
        const QRectF whiteBox(50, 35, 20, 20), band(20, 78, 100, 4), whiteBand(145, 55, 40, 4);
        for (int i = 0; i < pages; ++i) {
            PageMaker page(store);
            page.text(20, 20, QStringLiteral("CABEÇALHO FIXO"), font("Arial Black", 14));
            for (int k = 0; k < 12; ++k)
                page.text(20 + (k % 3) * 60, 120 + (k / 3) * 10,
                          QStringLiteral("Rótulo %1").arg(k));
            // What a page draws itself, then what repeats over it: the repeated parts must
            // still come out on top.
            page.fill(20 + 10 * i, 40, 30, 10, qRgb(0, 0, 0));
            page.fill(whiteBox.x(), whiteBox.y(), whiteBox.width(), whiteBox.height(),
                      qRgb(255, 255, 255));
            page.text(30, 82, QStringLiteral("Página %1").arg(i + 1), font("Arial", 16, true));
            page.fill(band.x(), band.y(), band.width(), band.height(), qRgb(170, 200, 255));
            // A value under a repeated white box on some pages only.
            if (i % 2 == 0)
                page.text(150, 60, QStringLiteral("VALOR %1").arg(i), font("Arial", 12));
            page.fill(whiteBand.x(), whiteBand.y(), whiteBand.width(), whiteBand.height(),
                      qRgb(255, 255, 255));
            page.endPage();
        }
        const QString pdf = dir.filePath(QStringLiteral("repetidas.pdf"));
        writePdf(store, pdf);
        const QByteArray bytes = TestSupport::readFile(pdf);
        QVERIFY(bytes.contains("/Subtype /Form"));
        QVERIFY(!bytes.contains("/Type3")); // no QR code, no module font

        constexpr int dpi = 100;
        for (int i = 0; i < pages; ++i) {
            const QImage painted = PageImages::painted(store, i, dpi);
            const QImage rendered = PageImages::rendered(pdf, i + 1, dpi);
            const double diff = PageImages::meanDifference(painted, rendered);
            QVERIFY2(diff < 3, qPrintable(QStringLiteral("page %1: %2").arg(i + 1).arg(diff)));
            // Nothing dark inside the covering boxes, as on the painted page.
            for (const QRectF& cover : {whiteBox, band, whiteBand}) {
                const QRect inside = pixels(cover.adjusted(0.5, 0.5, -0.5, -0.5), dpi);
                QVERIFY(PageImages::ink(painted, inside).isEmpty());
                QVERIFY2(PageImages::ink(rendered, inside).isEmpty(),
                         qPrintable(QStringLiteral("page %1").arg(i + 1)));
            }
        }
        const QString text = poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QCOMPARE(text.count(QStringLiteral("CABEÇALHO FIXO")), pages);
        QVERIFY(text.contains(QStringLiteral("Página 6")));
    }

    void textsReadBack_data()
    {
        QTest::addColumn<RpFont>("face");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        for (const RpFont& f : sampleFonts()) {
            const QString name = f.name + (f.bold ? QStringLiteral(" bold") : QString());
            QTest::addRow("%s accents", qPrintable(name)) << f << kSample << kSample;
            QTest::addRow("%s escapes", qPrintable(name))
                << f << QStringLiteral("Não (=) a\\b (fim") << QStringLiteral("Não (=) a\\b (fim");
        }
        QTest::newRow("outside the code page")
            << font("Arial", 10) << QStringLiteral("Ω ok €") << QStringLiteral("? ok €");
        // Beyond the largest size the toolkit gives a face for (a saved report from
        // elsewhere): once a crash of the writer. Drawn an inch high.
        QTest::newRow("larger than any face")
            << font("Arial", 187.5) << QStringLiteral("Oi") << QStringLiteral("Oi");
    }
    // Pages alike in all but their QR codes: the repeated parts go to one shared form, but
    // each page keeps its own code, vector marks that poppler and the painter draw alike.
    void everyPageScansAsItsOwnQrCode()
    {
        if (!BarcodeScan::available())
            QSKIP("zbar-tools is not installed");
        QTemporaryDir dir;
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        QList<QByteArray> payloads;
        for (int i = 0; i < 4; ++i) {
            payloads << "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-42665544000"
                        "05204000053039865406" +
                            QByteArray::number(100 + i) +
                            ".005802BR5913FULANO DE TAL6008BRASILIA6304";
            PageMaker page(store);
            for (int k = 0; k < 12; ++k)
                page.text(20, 20 + 8 * k, QStringLiteral("Linha fixa %1").arg(k));
            page.qrCode(150, 200, 25, payloads.last());
            page.text(20, 200, QStringLiteral("Título %1").arg(i));
            page.endPage();
        }
        const QString pdf = dir.filePath(QStringLiteral("qr.pdf"));
        writePdf(store, pdf);
        const QByteArray bytes = TestSupport::readFile(pdf);
        QCOMPARE(bytes.count("/Subtype /Form"), 1);
        QCOMPARE(bytes.count("/Subtype /Type3"), 1); // the module font, once for the file
        QVERIFY(poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                    .count(QLatin1Char('\n')) <= 2); // no picture: the header lines alone
        for (int i = 0; i < payloads.size(); ++i) {
            const QImage rendered = PageImages::rendered(pdf, i + 1, 200);
            QCOMPARE(BarcodeScan::qrCodes(rendered), QString::fromLatin1(payloads.at(i)));
            const QImage painted = PageImages::painted(store, i, 200);
            QCOMPARE(BarcodeScan::qrCodes(painted), QString::fromLatin1(payloads.at(i)));
            const QRect area = pixels(QRectF(150, 200, 25, 25), 200);
            const QRect a = PageImages::ink(painted, area), b = PageImages::ink(rendered, area);
            QVERIFY(std::abs(a.left() - b.left()) <= 1 && std::abs(a.right() - b.right()) <= 1);
            QVERIFY(std::abs(a.top() - b.top()) <= 1 && std::abs(a.bottom() - b.bottom()) <= 1);
        }
        // The codes are drawn as glyphs, but a reader copying the text gets none of them.
        const QString text = poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.contains(QStringLiteral("Título 3")));
        QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("[A-P]{6}"))), qPrintable(text));
    }

    void textsReadBack()
    {
        QFETCH(RpFont, face);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        PageMaker(store).text(20, 30, QStringLiteral("JOSÉ")).text(20, 50, text, face).endPage();
        const QString pdf = dir.filePath(QStringLiteral("t.pdf"));
        writePdf(store, pdf);
        const QString out = poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY2(out.contains(QStringLiteral("JOSÉ")), qPrintable(out));
        QVERIFY2(out.contains(expected), qPrintable(out));
    }

    // Text is placed glyph by glyph from the widths and kerning the writer gives: their
    // sum must be what Qt measured when the page was laid out.
    void advancesAreQtsOwn_data()
    {
        QTest::addColumn<RpFont>("face");
        for (const RpFont& f : sampleFonts())
            QTest::newRow(qPrintable(f.name + (f.bold ? QStringLiteral(" bold") : QString()))) << f;
    }
    void advancesAreQtsOwn()
    {
        QFETCH(RpFont, face);
        const QFont qt = ReportFonts::layoutFont(face);
        RpPdfFont pdf(qt);
        for (const QString& s :
             {kSample, QStringLiteral("AVATAR WAVE TOTAL 11/11/2011"), QStringLiteral("Ty. F,")}) {
            const QByteArray codes = Cp1252::encode(s);
            double em = 0;
            for (qsizetype i = 0; i < codes.size(); ++i) {
                em += pdf.width(uchar(codes[i]));
                if (i > 0)
                    em += pdf.kerning(uchar(codes[i - 1]), uchar(codes[i]));
            }
            const double expected = QFontMetricsF(qt).horizontalAdvance(s);
            const double got = em * qt.pixelSize() / 1000.0;
            QVERIFY2(
                std::abs(got - expected) < 2 + expected * 1e-3,
                qPrintable(QStringLiteral("%1: %2 µm, Qt %3 µm").arg(s).arg(got).arg(expected)));
        }
    }

    void fontsAndPicturesAreStoredOnce()
    {
        QTemporaryDir dir;
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        const QImage logo = framed(50, 20);
        constexpr int pages = 30;
        for (int i = 0; i < pages; ++i) {
            PageMaker(store)
                .text(20, 20, QStringLiteral("Título %1").arg(i), font("Arial", 10 + i % 5))
                .text(20, 40, QStringLiteral("Nº %1").arg(i * 7), font("Arial", 9, true))
                .text(20, 60, QStringLiteral("Ação"), font("Small Fonts", 6))
                .picture(logo, QRectF(20, 80, 30, 12), QRectF(20, 80, 30, 12))
                .picture(disc(16), QRectF(60, 80, 10, 10), QRectF(60, 80, 10, 10))
                .endPage();
        }
        const QString pdf = dir.filePath(QStringLiteral("muitas.pdf"));
        writePdf(store, pdf);

        const QString info = poppler(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+30\\b"))),
                 qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("595.28 x 841.89 pts (A4)")), qPrintable(info));
        // One line per face, each embedded as a subset: size and page count do not matter.
        const QStringList fonts = poppler(QStringLiteral("pdffonts"), {pdf})
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                      .mid(2);
        QCOMPARE(fonts.size(), 3);
        for (const QString& line : fonts) {
            QVERIFY2(line.contains(QRegularExpression(
                         QStringLiteral("^[A-Z]{6}\\+\\S+\\s+TrueType\\s+WinAnsi\\s+yes\\s+yes"))),
                     qPrintable(line));
        }
        // Every page shows the same two picture objects; the one with a see-through
        // background carries its mask.
        const QStringList images =
            poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                .mid(2);
        QSet<QString> objects;
        int masks = 0;
        for (const QString& line : images) {
            const QStringList cols = line.simplified().split(QLatin1Char(' '));
            QVERIFY(cols.size() > 11);
            if (cols.at(2) == QLatin1StringView("smask"))
                ++masks;
            else
                objects << cols.at(10);
        }
        QCOMPARE(objects.size(), 2);
        QCOMPARE(masks, pages);
    }

    // A file of a series is its page alone: it looks as the page does in one file of all
    // pages, its text reads back with its accents, and its faces carry the widths of the
    // codes it shows only; files that show the same glyphs carry the same programs.
    void aFileOfASeriesIsItsPageAlone()
    {
        QTemporaryDir dir;
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        const QStringList names = {QStringLiteral("JOSÉ DA CONCEIÇÃO"),
                                   QStringLiteral("ÍRIS MAGALHÃES DE SÁ"),
                                   QStringLiteral("JOSÉ DA CONCEIÇÃO")};
        for (const QString& name : names) {
            PageMaker(store)
                .text(20, 20, name, font("Arial", 12))
                .text(20, 40, QStringLiteral("Nº 123,45"), font("Arial", 9, true))
                .endPage();
        }
        store.finish();
        const QString all = dir.filePath(QStringLiteral("todas.pdf"));
        {
            QFile file(all);
            QVERIFY(file.open(QIODevice::WriteOnly));
            RpPdfWriter one(file);
            for (int i = 0; i < store.pageCount(); ++i)
                one.addPage(store, i);
            QVERIFY(one.finish());
        }
        std::unique_ptr<RpPdfWriter> series;
        QList<QByteArray> programs;
        for (int i = 0; i < store.pageCount(); ++i) {
            const QString path = dir.filePath(QStringLiteral("%1.pdf").arg(i));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (series)
                series->restart(file);
            else
                series = std::make_unique<RpPdfWriter>(file, RpPdfWriter::Files::Series);
            series->addPage(store, i);
            QVERIFY(series->finish());
            file.close();

            QCOMPARE(PageImages::rendered(path, 1, 150), PageImages::rendered(all, i + 1, 150));
            QVERIFY(poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")})
                        .contains(names.at(i)));
            QFile back(path);
            QVERIFY(back.open(QIODevice::ReadOnly));
            const QByteArray bytes = back.readAll();
            // Regular: a space and the name's letters; bold: "Nº 123,45".
            const QString shown[2] = {QStringLiteral(" ") + names.at(i),
                                      QStringLiteral("Nº 123,45")};
            const QRegularExpression dictionary(
                QStringLiteral("/FirstChar (\\d+) /LastChar (\\d+) /Widths \\[([^\\]]*)\\]"));
            auto match = dictionary.globalMatch(QString::fromLatin1(bytes));
            int faces = 0;
            for (; match.hasNext(); ++faces) {
                const auto m = match.next();
                QSet<uchar> codes;
                for (QChar c : shown[faces])
                    codes << uchar(Cp1252::encodeChar(c));
                const QStringList widths = m.captured(3).simplified().split(QLatin1Char(' '));
                QCOMPARE(m.captured(1).toInt(), int(*std::min_element(codes.begin(), codes.end())));
                QCOMPARE(m.captured(2).toInt(), int(*std::max_element(codes.begin(), codes.end())));
                QCOMPARE(widths.size(), m.captured(2).toInt() - m.captured(1).toInt() + 1);
                QCOMPARE(widths.size() - widths.count(QStringLiteral("0")), codes.size());
            }
            QCOMPARE(faces, 2);
            programs << bytes.mid(bytes.indexOf("/Length1"), 200);
        }
        QCOMPARE(programs.at(2), programs.at(0));
        QVERIFY(programs.at(1) != programs.at(0));
    }

    void paperOfTheStore_data()
    {
        QTest::addColumn<QSize>("paper");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QString>("expected");
        QTest::newRow("A4") << QSize(210000, 297000) << false
                            << QStringLiteral("595.28 x 841.89 pts (A4)");
        QTest::newRow("A4 landscape")
            << QSize(297000, 210000) << true << QStringLiteral("841.89 x 595.28 pts (A4)");
        QTest::newRow("letter") << QSize(215900, 279400) << false
                                << QStringLiteral("612 x 792 pts (letter)");
    }
    void paperOfTheStore()
    {
        QFETCH(QSize, paper);
        QFETCH(bool, landscape);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        TRpPrinter store;
        store.begin(paper, landscape);
        PageMaker(store).endPage(); // nothing drawn
        PageMaker(store).text(20, 20, QStringLiteral("fim")).endPage();
        const QString pdf = dir.filePath(QStringLiteral("p.pdf"));
        writePdf(store, pdf);
        const QString info = poppler(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(expected), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\b"))),
                 qPrintable(info));
    }

    void aFailedWriteIsNeverASuccess()
    {
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        for (int i = 0; i < 3; ++i)
            PageMaker(store).text(20, 20, QStringLiteral("Página %1").arg(i)).endPage();
        // A file of a series goes out in one write at the end: the same holds.
        for (const auto files : {RpPdfWriter::Files::One, RpPdfWriter::Files::Series}) {
            QBuffer whole;
            whole.open(QIODevice::WriteOnly);
            RpPdfWriter written(whole, files);
            for (int i = 0; i < store.pageCount(); ++i)
                written.addPage(store, i);
            QVERIFY(written.finish());
            QVERIFY(whole.data().startsWith("%PDF-1.4"));
            QVERIFY(whole.data().endsWith("%%EOF\n"));
            // Room that runs out at the start, in a page, in the fonts, at the last byte.
            const qint64 size = whole.data().size();
            for (qint64 room : {qint64(0), qint64(100), size / 2, size - 1}) {
                FullDevice full(room);
                RpPdfWriter pdf(full, files);
                for (int i = 0; i < store.pageCount(); ++i)
                    pdf.addPage(store, i);
                QVERIFY2(!pdf.finish(), qPrintable(QString::number(room)));
            }
        }
    }

    void twoThreadsWriteTheBytesOfOne()
    {
        // Pages made while the writer's thread is still at earlier ones, each released at
        // once, with faces and pictures first met half-way: the stream's copies must hold.
        Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(3, 15)));
        QTemporaryDir dir;
        const auto write = [&](RpPdfStream::Threads threads, const QString& name) {
            TRpPrinter store;
            store.setTitle(QStringLiteral("Bloquetos"));
            store.begin(QSize(210000, 297000), false);
            const QString path = dir.filePath(name);
            RpPdfStream pdf(path, threads);
            for (int i = 0; i < 120; ++i) {
                PageMaker page(store);
                page.text(20, 20, QStringLiteral("RECIBO DO PAGADOR"), font("Arial", 10, true))
                    .text(20, 30, QStringLiteral("JOSÉ DA CONCEIÇÃO %1").arg(i), font("Arial", 9))
                    .line(20, 35, 170, 0, 2)
                    .fill(20 + i % 7, 50, 1, 15, qRgb(0, 0, 0));
                if (i >= 40)
                    page.text(20, 70, QStringLiteral("Nº %1").arg(i * 13), font("MS Serif", 8));
                if (i >= 80)
                    page.picture(framed(30 + i % 3, 20), QRectF(20, 90, 20, 10),
                                 QRectF(20, 90, 20, 10));
                page.endPage();
                pdf.addPage(store, store.pageCount() - 1);
                store.releasePage(store.pageCount() - 1);
            }
            pdf.finish();
            return TestSupport::readFile(path);
        };
        const QByteArray one = write(RpPdfStream::Threads::One, QStringLiteral("um.pdf"));
        const QByteArray two = write(RpPdfStream::Threads::Two, QStringLiteral("dois.pdf"));
        Clock::setFixed(QDateTime());
        QVERIFY(one.startsWith("%PDF-1.4"));
        QVERIFY(one == two);
        const QString info =
            poppler(QStringLiteral("pdfinfo"), {dir.filePath(QStringLiteral("dois.pdf"))});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+120\\b"))),
                 qPrintable(info));
    }

    void anOlderFileStaysUntilTheNewOneIsWhole()
    {
        QTemporaryDir dir;
        TRpPrinter store;
        store.begin(QSize(210000, 297000), false);
        PageMaker(store).text(20, 20, QStringLiteral("novo")).endPage();
        const QString path = dir.filePath(QStringLiteral("saida.pdf"));
        QVERIFY(TestSupport::writeFile(path, "anterior"));
        const auto content = [&] { return TestSupport::readFile(path); };
        {
            RpPdfStream abandoned(path); // a run that stops half-way
            abandoned.addPage(store, 0);
        }
        QCOMPARE(content(), QByteArray("anterior"));
        RpPdfStream nowhere(dir.filePath(QStringLiteral("nada/saida.pdf")));
        QVERIFY_THROWS_EXCEPTION(KvError, nowhere.addPage(store, 0));
        RpPdfStream whole(path);
        whole.addPage(store, 0);
        whole.finish();
        QVERIFY(content().startsWith("%PDF-1.4"));
    }
};

QTEST_MAIN(TstRpPdfWriter)
#include "tst_rppdfwriter.moc"
