// Two jobs of a numbered list at once, their results taken in the list's
// order: a batch converts the next company on a second core while the one in
// turn finishes, yet shows, counts and decides everything company by company,
// as if they ran one after the other.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

namespace kw39::cli {

// Whose turn it is: the jobs before it have all finished.
class TurnOrder {
  public:
    // Blocks until it is the turn of `index`; false when the list was
    // stopped (a job before it failed), and the caller gives up.
    bool WaitFor(std::size_t index);
    // True when it is the turn of `index` now (never blocks).
    bool Reached(std::size_t index);
    // The turn goes to the next index.
    void Pass();
    // Every job still waiting gives up.
    void Stop();

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_nTurn = 0;
    bool m_bStopped = false;
};

// Runs `run(index)` for every index below `count`, on this thread and on one
// other, each thread taking the next index not yet taken, so that at most two
// run at once; `run` may wait for its turn (TurnOrder::WaitFor). `finish(index)`
// follows each in the order of the indexes, in its turn. An exception of
// either is rethrown here once both threads are done, the one of the lowest
// index; nothing is finished after it. Without a second thread everything
// runs here, one after the other.
void RunInTurnOrder(std::size_t count, TurnOrder& turns,
                    const std::function<void(std::size_t)>& run,
                    const std::function<void(std::size_t)>& finish);

}  // namespace kw39::cli
