#pragma once

#include "RpPdfContent.h"
#include "RpPdfTemplates.h"

#include "RpPdfFont.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSize>
#include <QString>
#include <map>
#include <memory>
#include <vector>

class QIODevice;
class QImage;
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
//
// A writer of a series writes one file after another (restart() between them), each a
// document of its own with the faces and pictures it shows. What the files have in common
// is worked out once: the faces' measures, each picture compressed, each subset of the
// same glyphs, the forms a file repeats of the files before.
class RpPdfWriter {
public:
    enum class Files { One, Series };
    explicit RpPdfWriter(QIODevice& out, Files files = Files::One);
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
    // With Files::Series, after finish(): the next pages go to a new file on `out`.
    void restart(QIODevice& out);

private:
    struct Deflater;
    struct Packed {
        QByteArray dictionary; // without the length and filter
        QByteArray data;       // deflated
    };
    // Of a face in a series, for one set of codes shown: its program and the head of its
    // dictionary with the widths of those codes.
    struct SeriesFont {
        Packed program;
        QByteArray dictionaryHead;
    };
    // Of a form made once and written into every file that uses it.
    struct PackedForm {
        QByteArray data;
        std::vector<RpPdfFont::Usage> usage; // by face: what its content shows
        bool modules = false;                // whether it draws a square of modules
    };

    void begin(QIODevice& out);
    void writePacked(int number, const Packed& packed);
    void writeForm(const RpPage& page, const RpPdfTemplates::Choice& plan);
    void writeFont(size_t face, QByteArray& resources);
    void writeModuleFont(QByteArray& resources);
    std::vector<RpPdfFont::Usage> usageOfFaces() const;

    int newObject();
    void beginObject(int number);
    void writeObject(int number, const QByteArray& body);
    void writeStream(int number, const QByteArray& dictionary, const QByteArray& data,
                     bool quick = false);
    void flush();
    void flushAtTimes(); // when the buffer has grown
    void flushPage();    // after a page or a font
    // Packs the data (zlib format) at kDeflateLevel, or at kQuickLevel when `quick`, or at
    // `level` when one is given.
    const QByteArray& deflate(const QByteArray& data, bool quick = false, int level = 0);
    void mapFonts(const QList<RpFont>& fonts);
    void mapPictures(const QList<QImage>& pictures, const RpPage& page);
    int writeImage(int index, const QImage& picture);
    std::vector<Packed> packImage(const QImage& picture);

    QIODevice* m_out = nullptr;
    const Files m_files;
    QByteArray m_buffer; // bytes of the current page, written out once it is complete
    qint64 m_written = 0;
    bool m_failed = false;
    std::vector<qint64> m_offsets; // by object number; 0 for objects not yet written
    std::vector<int> m_pageObjects;
    QSize m_paper;
    QString m_title;
    std::vector<std::unique_ptr<RpPdfFont>> m_faces;
    std::vector<RpPdfContent::FontUse> m_fonts; // by font index of the store
    std::vector<int> m_pictures; // object by picture index of the store; 0 not yet written
    std::vector<int> m_formObjects;
    bool m_drewModules = false; // the file needs the module font
    // A series' work done once: by picture index (image, then its mask when it has one),
    // by form id, by face and glyphs.
    std::vector<std::vector<Packed>> m_packedPictures;
    std::map<int, PackedForm> m_packedForms;
    QHash<QByteArray, SeriesFont> m_packedPrograms;
    RpPdfContent m_encoder{m_fonts, m_faces};
    RpPdfTemplates m_templates{m_encoder};
    QByteArray m_content;
    QByteArray m_compressed;
    std::unique_ptr<Deflater> m_deflater;
};
