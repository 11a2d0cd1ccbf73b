#pragma once

#include <QString>
#include <memory>

class QSaveFile;
class RpPdfWorker;
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
//
// With Threads::Two the pages are encoded, compressed and written on a thread of the
// stream's own while the caller goes on producing the next ones: a few pages wait between
// the two, never more. The file is the same, byte for byte, as with Threads::One: the
// writer sees the same pages in the same order.
class RpPdfStream {
public:
    enum class Threads { One, Two };
    explicit RpPdfStream(QString path, Threads threads = Threads::Two);
    ~RpPdfStream(); // without finish() nothing is written
    RpPdfStream(const RpPdfStream&) = delete;
    RpPdfStream& operator=(const RpPdfStream&) = delete;

    // Writes page `index` (0-based) of the store as the next page of the file; the paper
    // of the first page added sets the paper of the file. Raises KvError when the file
    // cannot be opened. The store may release the page as soon as this returns.
    void addPage(const TRpPrinter& store, int index);
    int pageCount() const { return m_pages; }
    // Completes the file and puts it in place. Raises KvError when it cannot be written.
    void finish();

private:
    void open();

    QString m_path;
    Threads m_threads;
    int m_pages = 0;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<RpPdfWorker> m_worker; // it owns the writer
};
