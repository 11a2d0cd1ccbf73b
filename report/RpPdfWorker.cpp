#include "RpPdfWorker.h"

#include "RpPdfWriter.h"
#include "TRpPrinter.h"

namespace {
// Tasks queued ahead of the writer at most: enough to ride over a slow page on either
// side, few enough that memory stays flat.
constexpr size_t kAhead = 16;
// An idle writer is woken once this many tasks wait, not for each, and a producer waiting
// for room once there is room for as many: waking a thread costs about what a page costs.
constexpr size_t kWakeAt = 4;
static_assert(kWakeAt <= kAhead);
} // namespace

RpPdfWorker::Sheet::Sheet(const TRpPrinter& store, int index)
    : page(store.page(index)), fonts(store.fonts()), pictures(store.pictures()),
      paper(store.paperSize()), title(store.title())
{
}

void RpPdfWorker::Sheet::addTo(RpPdfWriter& writer) const
{
    writer.addPage(page, fonts, pictures, paper, title);
}

RpPdfWorker::RpPdfWorker(bool threaded, Writer writer)
    : m_threaded(threaded), m_writer(std::move(writer))
{
    if (m_threaded)
        m_thread = std::thread([this] { loop(); });
}

RpPdfWorker::~RpPdfWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.clear();
        m_failed = true; // nothing more is written
    }
    end();
}

void RpPdfWorker::post(Task task)
{
    if (!m_threaded) {
        if (m_failed)
            return;
        try {
            task(m_writer);
        } catch (...) {
            m_failed = true;
            throw;
        }
        return;
    }
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [&] { return m_queue.size() < kAhead; });
    m_queue.push_back(std::move(task));
    // Fewer wait for end(), which wakes the writer for them.
    if (m_queue.size() >= kWakeAt)
        m_ready.notify_one();
}

void RpPdfWorker::end()
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_threaded) {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_ready.notify_one();
        if (m_thread.joinable())
            m_thread.join();
        return;
    }
    if (m_atEnd)
        m_atEnd();
    m_writer.reset();
}

void RpPdfWorker::finish()
{
    end();
    if (m_error)
        std::rethrow_exception(std::exchange(m_error, nullptr));
}

void RpPdfWorker::run(Task& task)
{
    // After a failure the queue still drains, so that the producer never waits for room
    // that would not come.
    if (m_failed)
        return;
    try {
        task(m_writer);
    } catch (...) {
        m_error = std::current_exception();
        m_failed = true;
    }
}

void RpPdfWorker::loop()
{
    for (;;) {
        Task task;
        {
            std::unique_lock lock(m_mutex);
            m_ready.wait(lock, [&] { return !m_queue.empty() || m_done; });
            if (m_queue.empty())
                break;
            task = std::move(m_queue.front());
            m_queue.pop_front();
            // A producer waiting for room is woken when there is room for a few.
            if (m_queue.size() + kWakeAt == kAhead || m_queue.empty())
                m_room.notify_one();
        }
        run(task);
    }
    if (m_atEnd)
        m_atEnd();
    m_writer.reset();
}
