// The sections of the employees made on a second thread. The converting thread
// hands over each finished record and goes on with the next employee, while
// this thread turns the records into the document's text and passes it on to
// the writer; on a two-core machine the making of the text then costs the
// converting thread almost nothing.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "export/document_writer.h"
#include "export/syain_data.h"

namespace kw39 {

class SectionThread {
  public:
    // Records waiting at most: enough to ride over an employee with many rows,
    // few enough that the waiting records add little to a run's memory.
    static constexpr std::size_t kDefaultCapacity = 128;
    // The thread is woken (and first started) when this many records wait, so
    // that it takes them in a few large steps, and a small document of a
    // batch, which never gathers them, needs no thread at all.
    static constexpr std::size_t kWakeCount = 32;

    // `writer` must outlive this object; only this object uses it until
    // Finish() has returned.
    SectionThread(DocumentWriter& writer, LinkMode mode, std::size_t capacity = kDefaultCapacity);
    // Without Finish(): stops the thread and drops the records not yet written.
    ~SectionThread();
    SectionThread(const SectionThread&) = delete;
    SectionThread& operator=(const SectionThread&) = delete;

    // Hands over the finished record of one employee (waits while `capacity`
    // records wait) and gives back a record already written, blank (BlankSyain)
    // for reuse, or null. Throws what an earlier section threw.
    std::unique_ptr<SYAINDATA> Put(std::unique_ptr<SYAINDATA> syain);

    // Waits until every record handed over is written (those of a document too
    // small to start the thread are written here) and ends the thread; the
    // writer is then the caller's again. Throws what any section threw.
    void Finish();

  private:
    void Stop() noexcept;
    void RethrowFailure();  // the failure of the thread, if any (lock held or thread ended)
    void Run();             // the making thread
    // The sections of `records`, or what the first one that failed threw.
    std::exception_ptr WriteAll(const std::vector<std::unique_ptr<SYAINDATA>>& records) noexcept;

    DocumentWriter& m_writer;
    const LinkMode m_mode;
    const std::size_t m_nCapacity;
    std::vector<std::unique_ptr<SYAINDATA>> m_waiting;  // handed over, in order
    std::vector<std::unique_ptr<SYAINDATA>> m_written;  // for reuse
    bool m_bBusy = false;       // the thread holds records taken from m_waiting
    bool m_bFinishing = false;  // every record waiting is to be taken now
    bool m_bStop = false;
    bool m_bFinished = false;
    std::exception_ptr m_failure;
    std::mutex m_mutex;
    std::condition_variable m_wake;  // records wait, or the thread must stop
    std::condition_variable m_room;  // the thread took records, or went idle
    std::thread m_thread;            // started once kWakeCount records wait
};

}  // namespace kw39
