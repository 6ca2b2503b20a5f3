#include "export/section_thread.h"

#include <stdexcept>
#include <utility>

#include "export/syain_section.h"
#include "platform/worker_thread.h"

namespace kw39 {

SectionThread::SectionThread(DocumentWriter& writer, LinkMode mode, std::size_t capacity)
    : m_writer(writer), m_mode(mode), m_nCapacity(capacity > kWakeCount ? capacity : kWakeCount) {
    m_waiting.reserve(m_nCapacity);
}

SectionThread::~SectionThread() { Stop(); }

std::unique_ptr<SYAINDATA> SectionThread::Put(std::unique_ptr<SYAINDATA> syain) {
    if (m_bFinished) throw std::logic_error("SectionThread: finished");
    std::unique_ptr<SYAINDATA> spare;
    bool wake = false;
    {
        std::unique_lock lock(m_mutex);
        m_room.wait(lock, [this] { return m_failure || m_waiting.size() < m_nCapacity; });
        RethrowFailure();
        m_waiting.push_back(std::move(syain));
        // More records than this mean that the thread was woken already.
        wake = m_waiting.size() == kWakeCount;
        if (!m_written.empty()) {
            spare = std::move(m_written.back());
            m_written.pop_back();
        }
    }
    if (wake && !m_thread.joinable()) m_thread = std::thread([this] { Run(); });
    if (wake) m_wake.notify_one();
    return spare;
}

void SectionThread::Finish() {
    if (m_bFinished) throw std::logic_error("SectionThread: finished twice");
    m_bFinished = true;
    if (!m_thread.joinable()) {
        // Never started: the few records are written here.
        if (std::exception_ptr failure = WriteAll(m_waiting)) std::rethrow_exception(failure);
        m_waiting.clear();
        return;
    }
    {
        std::unique_lock lock(m_mutex);
        m_bFinishing = true;
        m_wake.notify_one();
        m_room.wait(lock, [this] { return m_waiting.empty() && !m_bBusy; });
    }
    Stop();
    RethrowFailure();
}

void SectionThread::Stop() noexcept { platform::StopWorker(m_thread, m_mutex, m_bStop, m_wake); }

void SectionThread::RethrowFailure() {
    if (m_failure) std::rethrow_exception(m_failure);
}

void SectionThread::Run() {
    std::vector<std::unique_ptr<SYAINDATA>> taken;
    taken.reserve(m_nCapacity);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] {
            return m_bStop || m_waiting.size() >= kWakeCount ||
                   (m_bFinishing && !m_waiting.empty());
        });
        // A stop drops the records not yet taken: Finish() waits for every
        // record before it stops the thread, so only an abandoned document
        // loses some.
        if (m_bStop) return;
        taken.swap(m_waiting);
        m_bBusy = true;
        const bool failed = m_failure != nullptr;
        lock.unlock();
        m_room.notify_one();
        // After a failure the document is abandoned; the records are only
        // given back.
        std::exception_ptr failure = failed ? nullptr : WriteAll(taken);
        // Emptied here, where they were just read, rather than by the
        // converting thread, for which they are no longer in its cache.
        for (const auto& syain : taken) BlankSyain(*syain);
        lock.lock();
        if (failure) m_failure = std::move(failure);
        for (auto& syain : taken) m_written.push_back(std::move(syain));
        taken.clear();
        m_bBusy = false;
        m_room.notify_one();
    }
}

std::exception_ptr SectionThread::WriteAll(
    const std::vector<std::unique_ptr<SYAINDATA>>& records) noexcept {
    try {
        for (const auto& syain : records) WriteSyainSection(m_writer, *syain, m_mode);
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

}  // namespace kw39
