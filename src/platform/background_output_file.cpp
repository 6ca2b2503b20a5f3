#include "platform/background_output_file.h"

#include <stdexcept>
#include <utility>

#include "platform/io_error.h"
#include "platform/worker_thread.h"

namespace kw39::platform {

BackgroundOutputFile::BackgroundOutputFile(std::unique_ptr<OutputFile> file, std::size_t pieceSize)
    : m_pFile(std::move(file)), m_nPieceSize(pieceSize > 0 ? pieceSize : 1) {
    m_filling.reserve(m_nPieceSize);
}

BackgroundOutputFile::~BackgroundOutputFile() { StopThread(); }

void BackgroundOutputFile::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const std::size_t room = m_nPieceSize - m_filling.size();
        const std::size_t take = size < room ? size : room;
        m_filling.append(data, take);
        data += take;
        size -= take;
        if (m_filling.size() == m_nPieceSize) HandOver();
    }
}

void BackgroundOutputFile::Take(std::string& bytes) {
    if (!m_filling.empty() || bytes.size() < m_nPieceSize) {
        OutputFile::Take(bytes);
        return;
    }
    std::swap(m_filling, bytes);
    HandOver();
}

void BackgroundOutputFile::Close() {
    if (m_bClosed) throw std::logic_error("BackgroundOutputFile: closed twice");
    m_bClosed = true;
    if (!m_thread.joinable()) {
        // A file smaller than a piece is written here: a thread for one piece
        // that the caller waits for would only cost its start.
        if (!m_filling.empty()) m_pFile->Write(m_filling.data(), m_filling.size());
        m_pFile->Close();
        return;
    }
    if (!m_filling.empty()) HandOver();
    {
        std::unique_lock lock(m_mutex);
        WaitUntilIdle(lock);
    }
    StopThread();
    RethrowFailure();
    m_pFile->Close();
}

void BackgroundOutputFile::HandOver() {
    if (!m_thread.joinable()) {
        m_writing.reserve(m_nPieceSize);
        m_thread = std::thread([this] { Run(); });
    }
    std::unique_lock lock(m_mutex);
    WaitUntilIdle(lock);
    RethrowFailure();
    std::swap(m_filling, m_writing);
    m_wake.notify_one();
}

void BackgroundOutputFile::WaitUntilIdle(std::unique_lock<std::mutex>& lock) {
    m_idle.wait(lock, [this] { return m_writing.empty(); });
}

void BackgroundOutputFile::StopThread() noexcept { StopWorker(m_thread, m_mutex, m_bStop, m_wake); }

void BackgroundOutputFile::RethrowFailure() {
    if (m_failure) std::rethrow_exception(m_failure);
}

void BackgroundOutputFile::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_bStop || !m_writing.empty(); });
        // A stop drops a piece not yet started: Close() waits for every piece
        // before it stops the thread, so only an abandoned file loses one.
        if (m_bStop) return;
        if (!m_failure) {
            lock.unlock();
            std::exception_ptr failure;
            try {
                m_pFile->Write(m_writing.data(), m_writing.size());
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            m_failure = failure;
        }
        m_writing.clear();
        m_idle.notify_one();
    }
}

}  // namespace kw39::platform
