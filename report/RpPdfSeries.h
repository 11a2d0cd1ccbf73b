#pragma once

#include <QSet>
#include <QString>
#include <atomic>
#include <memory>

class RpPdfWorker;
class StagedFile;
class TRpPrinter;

// Writes a report's pages as many PDF files, each a document of its own with only the
// faces and pictures it shows, while the run produces them: the per-title bloquetos.
// One writer serves every file, so what the files share is worked out once (see
// RpPdfWriter's series), and with Threads::Two it writes on a thread of its own. The
// pages of all the files come from one store, whose font and picture indexes they share.
//
//   RpPdfSeries files;
//   report.produce(store, [&] {
//       const int last = store.pageCount() - 1;
//       files.writeFile(nameOf(last), store, last, last);
//       store.releasePage(last);
//   });
//   files.finish();
//
// Each file is written under a temporary name beside its place and renamed into place
// when complete (StagedFile): an older file of the same name is replaced only then, and a
// file that fails leaves nothing behind. After a failure no other file is begun; the
// error, naming the file, comes out of the next writeFile() or of finish(). The files
// complete in the order given; filesDone() tells how many are in place.
class RpPdfSeries {
public:
    enum class Threads { One, Two };
    explicit RpPdfSeries(Threads threads = Threads::Two);
    ~RpPdfSeries(); // what waits is dropped; a file not complete leaves nothing behind
    RpPdfSeries(const RpPdfSeries&) = delete;
    RpPdfSeries& operator=(const RpPdfSeries&) = delete;

    // Queues pages first..last (0-based) of the store as the file `path`. Raises the
    // error of a file that failed before. The store may release the pages at once.
    void writeFile(const QString& path, const TRpPrinter& store, int first, int last);
    // Files complete and in place so far, in the order given (any thread may ask).
    int filesDone() const { return m_done.load(); }
    // Writes what waits, then waits until the files are on the disk. Raises KvError
    // naming the file that failed; the files before it stay in place.
    void finish();

private:
    void raiseIfFailed();

    std::atomic<int> m_done{0};
    QSet<QString> m_folders;
    std::unique_ptr<StagedFile> m_current; // the file being written, in the worker's thread
    std::unique_ptr<RpPdfWorker> m_worker;
};
