#pragma once

#include "RpPage.h"
#include "RpTypes.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class RpPdfWriter;
class TRpPrinter;

// Runs the PDF work a report's run hands over, in order: on a thread of its own, so that
// pages are encoded, compressed and written while the run goes on producing the next ones
// (a few tasks wait between the two, never more), or in the caller's thread.
//
// The thread owns the writer from first task to last: the faces a writer embeds are font
// engines of the thread that made them, and they must not outlive it. After a task fails
// the later ones are dropped; the error comes out of finish().
class RpPdfWorker {
public:
    using Writer = std::unique_ptr<RpPdfWriter>;
    using Task = std::function<void(Writer& writer)>;

    // What a task takes of a page: copies that share the store's data (implicitly shared
    // lists and images), so that the store may drop its own at once.
    struct Sheet {
        Sheet() = default;
        Sheet(const TRpPrinter& store, int index);
        void addTo(RpPdfWriter& writer) const;

        RpPage page;
        QList<RpFont> fonts;
        QList<QImage> pictures;
        QSize paper;
        QString title;
    };

    // `threaded`: on a thread of its own. `writer` may be null until a task makes it.
    RpPdfWorker(bool threaded, Writer writer);
    ~RpPdfWorker(); // drops what waits
    RpPdfWorker(const RpPdfWorker&) = delete;
    RpPdfWorker& operator=(const RpPdfWorker&) = delete;

    // Queues a task, waiting for room. In the caller's thread the task runs at once and
    // its error comes out here.
    void post(Task task);
    // Runs last in the worker's thread, after every task, however the work ended.
    void setAtEnd(std::function<void()> atEnd) { m_atEnd = std::move(atEnd); }
    // A task has failed: what waits is being dropped.
    bool failed() const { return m_failed.load(); }
    // Runs what waits, ends the thread and raises the error of the task that failed.
    void finish();

private:
    void end();
    void loop();
    void run(Task& task);

    const bool m_threaded;
    Writer m_writer;
    std::function<void()> m_atEnd;
    std::mutex m_mutex;
    std::condition_variable m_ready, m_room;
    std::deque<Task> m_queue;
    bool m_done = false, m_ended = false;
    std::atomic<bool> m_failed{false};
    std::exception_ptr m_error; // set by the worker's thread, read once it has ended
    std::thread m_thread;       // last: it starts once the rest is in place
};
