#pragma once

#include "RpPdfContent.h"
#include "RpPdfTemplates.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

class QIODevice;
class QImage;
class RpPdfFont;
class TRpPrinter;
struct RpFont;
struct RpPage;

// Writes the pages of a page store as a PDF 1.4 file, each page as it comes, straight from
// its display list: what the page painter draws, without going through a painter. Each
// face is embedded once (a TrueType subset of the glyphs shown) and each picture once,
// whatever the number of pages; a page costs its compressed content and two small
// objects (what it repeats of the page before is drawn once into a form that it calls),
// and the writer holds no page but the last after writing it.
//
//   RpPdfWriter pdf(device);            // a device open for writing
//   pdf.addPage(store, 0); ...          // pages of one store, in order
//   pdf.finish();                       // fonts, page tree, cross-reference, trailer
//
// finish() tells whether every write reached the device.
class RpPdfWriter {
public:
    explicit RpPdfWriter(QIODevice& out);
    ~RpPdfWriter();
    RpPdfWriter(const RpPdfWriter&) = delete;
    RpPdfWriter& operator=(const RpPdfWriter&) = delete;

    // Writes page `index` (0-based) of the store as the next page. The first page sets the
    // paper of the file and its title.
    void addPage(const TRpPrinter& store, int index);
    // The same from what a store holds, for a writer apart from the store's thread: the
    // page, the fonts and pictures its indexes name, the store's paper and title.
    void addPage(const RpPage& page, const QList<RpFont>& fonts, const QList<QImage>& pictures,
                 QSize paper, const QString& title);
    int pageCount() const { return int(m_pageObjects.size()); }
    // Completes the file. False when a write of the device failed at any point.
    bool finish();

private:
    struct Deflater;

    int newObject();
    void beginObject(int number);
    void writeObject(int number, const QByteArray& body);
    void writeStream(int number, const QByteArray& dictionary, const QByteArray& data);
    void flush();
    void flushAtTimes(); // when the buffer has grown
    const QByteArray& deflate(const QByteArray& data);
    void mapFonts(const QList<RpFont>& fonts);
    void mapPictures(const QList<QImage>& pictures, const RpPage& page);
    int writeImage(const QImage& picture);

    QIODevice& m_out;
    QByteArray m_buffer; // bytes of the current page, written out once it is complete
    qint64 m_written = 0;
    bool m_failed = false;
    std::vector<qint64> m_offsets; // by object number; 0 for objects not yet written
    std::vector<int> m_pageObjects;
    QSize m_paper;
    QString m_title;
    std::vector<std::unique_ptr<RpPdfFont>> m_faces;
    std::vector<int> m_faceObjects;
    std::vector<RpPdfContent::FontUse> m_fonts; // by font index of the store
    std::vector<int> m_pictures; // object by picture index of the store; 0 not yet written
    std::vector<int> m_formObjects;
    RpPdfContent m_encoder{m_fonts, m_faces};
    RpPdfTemplates m_templates{m_encoder};
    QByteArray m_content;
    QByteArray m_compressed;
    std::unique_ptr<Deflater> m_deflater;
};
