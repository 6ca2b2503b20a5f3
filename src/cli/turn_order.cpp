#include "cli/turn_order.h"

#include <atomic>
#include <exception>
#include <thread>

#include "platform/interrupt_cleanup.h"

namespace kw39::cli {

bool TurnOrder::WaitFor(std::size_t index) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_bStopped || m_nTurn == index; });
    return !m_bStopped;
}

bool TurnOrder::Reached(std::size_t index) {
    const std::lock_guard lock(m_mutex);
    return !m_bStopped && m_nTurn == index;
}

void TurnOrder::Pass() {
    {
        const std::lock_guard lock(m_mutex);
        ++m_nTurn;
    }
    m_changed.notify_all();
}

void TurnOrder::Stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_bStopped = true;
    }
    m_changed.notify_all();
}

namespace {

// What both threads share: the next index to take and the first failure.
class Jobs {
  public:
    Jobs(std::size_t count, TurnOrder& turns, const std::function<void(std::size_t)>& run,
         const std::function<void(std::size_t)>& finish)
        : m_nCount(count), m_turns(turns), m_run(run), m_finish(finish) {}

    // Takes and does jobs until there are none left or one failed.
    void Work() noexcept {
        for (;;) {
            const std::size_t index = m_nNext.fetch_add(1);
            if (index >= m_nCount) return;
            try {
                m_run(index);
                if (!m_turns.WaitFor(index)) return;
                m_finish(index);
                m_turns.Pass();
            } catch (...) {
                // A failure counts in its turn, as it would one job after the
                // other: a later job's failure gives way to an earlier one's.
                const bool inTurn = m_turns.WaitFor(index);
                if (inTurn) m_failure = std::current_exception();
                m_turns.Stop();
                return;
            }
        }
    }

    void RethrowFailure() const {
        if (m_failure) std::rethrow_exception(m_failure);
    }

  private:
    const std::size_t m_nCount;
    TurnOrder& m_turns;
    const std::function<void(std::size_t)>& m_run;
    const std::function<void(std::size_t)>& m_finish;
    std::atomic<std::size_t> m_nNext{0};
    std::exception_ptr m_failure;  // set by the one thread in turn
};

// The second thread, joined on every way out.
class Helper {
  public:
    // A signal is taken by the first thread, which removes the files of both;
    // without a second thread the first does every job.
    explicit Helper(Jobs& jobs) : m_thread(platform::StartHelperThread([&jobs] { jobs.Work(); })) {}
    ~Helper() {
        if (m_thread.joinable()) m_thread.join();
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

  private:
    std::thread m_thread;
};

}  // namespace

void RunInTurnOrder(std::size_t count, TurnOrder& turns,
                    const std::function<void(std::size_t)>& run,
                    const std::function<void(std::size_t)>& finish) {
    Jobs jobs(count, turns, run, finish);
    {
        const Helper helper(jobs);
        jobs.Work();
    }
    jobs.RethrowFailure();
}

}  // namespace kw39::cli
