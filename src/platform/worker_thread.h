// Ending a worker thread that sleeps on a condition variable until it has work
// or must stop.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace kw39::platform {

// Sets `stop` under `mutex` (so that the thread cannot miss it between its
// check and its sleep), wakes the thread and waits for it to end; nothing for
// a thread never started.
inline void StopWorker(std::thread& thread, std::mutex& mutex, bool& stop,
                       std::condition_variable& wake) noexcept {
    if (!thread.joinable()) return;
    {
        const std::lock_guard lock(mutex);
        stop = true;
    }
    wake.notify_one();
    thread.join();
}

}  // namespace kw39::platform
