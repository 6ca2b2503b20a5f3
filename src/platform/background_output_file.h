// An output file whose bytes are written by a second thread. The caller hands
// over large pieces and goes on working (converting the next employees) while
// the system copies the previous piece into the file; on a two-core machine
// the writing then costs the caller almost nothing.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/file_system.h"

namespace kw39::platform {

class BackgroundOutputFile : public OutputFile {
  public:
    // Pieces of this size are handed to the writing thread; two of them are
    // held at most.
    static constexpr std::size_t kDefaultPieceSize = 256 * 1024;

    explicit BackgroundOutputFile(std::unique_ptr<OutputFile> file,
                                  std::size_t pieceSize = kDefaultPieceSize);
    // Without Close(): stops the thread, drops what was not yet written and
    // destroys the inner file unclosed, as destroying any unclosed file does.
    ~BackgroundOutputFile() override;
    BackgroundOutputFile(const BackgroundOutputFile&) = delete;
    BackgroundOutputFile& operator=(const BackgroundOutputFile&) = delete;

    // Throws the IoError of an earlier piece that could not be written.
    void Write(const char* data, std::size_t size) override;
    // A whole piece or more, while nothing waits to be handed over, goes to
    // the thread as it is: the caller gets the memory of an earlier piece.
    // Less is copied, so that a file smaller than a piece is still written
    // by Close without a thread.
    void Take(std::string& bytes) override;
    // Writes what is left, waits for the thread and closes the inner file.
    // Throws the first IoError of any piece or of closing. (The thread starts
    // with the first full piece: a smaller file is written by Close itself.)
    void Close() override;

  private:
    void HandOver();  // passes m_filling to the thread (waits while it is busy)
    void WaitUntilIdle(std::unique_lock<std::mutex>& lock);
    void StopThread() noexcept;
    void RethrowFailure();  // the failure of the thread, if any (lock held or thread idle)
    void Run();             // the writing thread

    std::unique_ptr<OutputFile> m_pFile;
    const std::size_t m_nPieceSize;
    std::string m_filling;  // the caller's piece
    std::string m_writing;  // the thread's piece; empty when the thread is idle
    std::exception_ptr m_failure;
    bool m_bStop = false;
    bool m_bClosed = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;  // the thread has a piece, or must stop
    std::condition_variable m_idle;  // the thread finished its piece
    std::thread m_thread;            // last: started once everything else exists
};

}  // namespace kw39::platform
