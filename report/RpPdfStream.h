#pragma once

#include <QString>
#include <memory>

class QPainter;
class QPdfWriter;
class QSaveFile;
class TRpPrinter;

// Writes a report's pages to a PDF file while the run produces them, so that a run of any
// length holds one page at a time (with TRpPrinter::releasePage): the batch tool's output.
// The file takes the place of an older one only when finish() succeeds.
//
//   RpPdfStream pdf(path);
//   report.produce(store, [&] {
//       pdf.addPage(store, store.pageCount() - 1);
//       store.releasePage(store.pageCount() - 1);
//   });
//   pdf.finish();
class RpPdfStream {
public:
    explicit RpPdfStream(QString path);
    ~RpPdfStream(); // without finish() nothing is written
    RpPdfStream(const RpPdfStream&) = delete;
    RpPdfStream& operator=(const RpPdfStream&) = delete;

    // Draws page `index` (0-based) of the store as the next page of the file; the paper
    // of the first page added sets the paper of the file. Raises KvError when the file
    // cannot be opened.
    void addPage(const TRpPrinter& store, int index);
    int pageCount() const { return m_pages; }
    // Completes the file and puts it in place. Raises KvError when it cannot be written.
    void finish();

private:
    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    int m_pages = 0;
};
