#include "RpPdfStream.h"

#include "KvError.h"
#include "RpPdfWriter.h"
#include "TRpPrinter.h"

#include <QSaveFile>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace {
// Pages produced ahead of the writer at most: enough to ride over a slow page on either
// side, few enough that memory stays flat.
constexpr size_t kAhead = 16;
} // namespace

// The writer's thread. It owns the writer from first page to last: the faces a writer
// embeds are font engines of the thread that made them, and they must not outlive it.
// What it takes of a page are copies that share the store's data (implicitly shared lists
// and images), so the store may drop its own at once.
class RpPdfStream::Worker {
public:
    explicit Worker(std::unique_ptr<RpPdfWriter> writer)
        : m_writer(std::move(writer)), m_thread([this] { loop(); })
    {
    }
    ~Worker() { end(false); }

    void push(const TRpPrinter& store, int index)
    {
        Sheet sheet{store.page(index), store.fonts(), store.pictures(), store.paperSize(),
                    store.title()};
        std::unique_lock lock(m_mutex);
        m_room.wait(lock, [&] { return m_queue.size() < kAhead; });
        m_queue.push_back(std::move(sheet));
        m_ready.notify_one();
    }
    // Writes what is queued, completes the file and ends the thread. False when a write
    // failed; a failure of the writer itself is raised.
    bool finish()
    {
        end(true);
        if (m_error)
            std::rethrow_exception(std::exchange(m_error, nullptr));
        return m_written;
    }

private:
    struct Sheet {
        RpPage page;
        QList<RpFont> fonts;
        QList<QImage> pictures;
        QSize paper;
        QString title;
    };

    void end(bool complete)
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
            m_complete = complete;
        }
        m_ready.notify_one();
        if (m_thread.joinable())
            m_thread.join();
    }

    void loop()
    {
        for (;;) {
            Sheet sheet;
            {
                std::unique_lock lock(m_mutex);
                m_ready.wait(lock, [&] { return !m_queue.empty() || m_done; });
                if (m_queue.empty())
                    break;
                sheet = std::move(m_queue.front());
                m_queue.pop_front();
                m_room.notify_one();
            }
            // After a failure the queue still drains, so that the producer never waits
            // for room that would not come.
            if (m_error)
                continue;
            try {
                m_writer->addPage(sheet.page, sheet.fonts, sheet.pictures, sheet.paper,
                                  sheet.title);
            } catch (...) {
                m_error = std::current_exception();
            }
        }
        if (m_complete && !m_error) {
            try {
                m_written = m_writer->finish();
            } catch (...) {
                m_error = std::current_exception();
            }
        }
        m_writer.reset();
    }

    std::unique_ptr<RpPdfWriter> m_writer;
    std::mutex m_mutex;
    std::condition_variable m_ready, m_room;
    std::deque<Sheet> m_queue;
    bool m_done = false, m_complete = false;
    // Set by the writer's thread, read once it has ended.
    std::exception_ptr m_error;
    bool m_written = false;
    std::thread m_thread; // last: it starts once the rest is in place
};

RpPdfStream::RpPdfStream(QString path, Threads threads)
    : m_path(std::move(path)), m_threads(threads)
{
}

// A QSaveFile that is not committed leaves any older file as it was.
RpPdfStream::~RpPdfStream() = default;

void RpPdfStream::open()
{
    m_file = std::make_unique<QSaveFile>(m_path);
    if (!m_file->open(QIODevice::WriteOnly))
        throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                          .arg(m_path, m_file->errorString()));
    auto writer = std::make_unique<RpPdfWriter>(*m_file);
    if (m_threads == Threads::Two)
        m_worker = std::make_unique<Worker>(std::move(writer));
    else
        m_writer = std::move(writer);
}

void RpPdfStream::addPage(const TRpPrinter& store, int index)
{
    if (!m_file)
        open();
    if (index < 0 || index >= store.pageCount())
        return;
    ++m_pages;
    if (m_worker)
        m_worker->push(store, index);
    else
        m_writer->addPage(store, index);
}

void RpPdfStream::finish()
{
    if (pageCount() == 0)
        throw KvError(QStringLiteral("Não há páginas para gravar em %1.").arg(m_path));
    bool written = false;
    if (m_worker) {
        const std::unique_ptr<Worker> worker = std::move(m_worker);
        written = worker->finish();
    } else {
        written = m_writer->finish();
    }
    if (!written || m_file->error() != QFileDevice::NoError || !m_file->commit())
        throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                          .arg(m_path, m_file->errorString()));
}
