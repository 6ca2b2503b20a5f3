// Temporary files that must not outlive an interrupted run. A file of the
// program's that is being written holds personal data; when the user presses
// Ctrl-C, closes the console or the system asks the program to end, the
// registered files are removed before the program ends as the signal says.
#pragma once

#include <cstddef>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace kw39::platform {

// Removes the file at `path` (as FileSystem takes it) if the program is interrupted while this
// object lives. Registration never fails: when every place is taken the file
// is simply not covered.
class InterruptCleanup {
  public:
    explicit InterruptCleanup(const std::string& path);
    ~InterruptCleanup();
    InterruptCleanup(const InterruptCleanup&) = delete;
    InterruptCleanup& operator=(const InterruptCleanup&) = delete;

  private:
    std::size_t m_nSlot;  // kNoSlot when not registered
};

// Holds back the interruptions for its lifetime, so that a file can be created
// and registered in one step: an interruption between the two would leave the
// file behind. The interruption takes effect when this object ends; one taken
// meanwhile by another thread waits for the step to end. A thread started
// while they are held keeps them held for its life (they are then taken by
// another thread).
class InterruptsHeld {
  public:
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

  private:
    bool m_bHeld = false;
};

// Starts `work` on a thread of its own that leaves the interruptions to the
// thread starting it (they stay held on the new thread for its life): a
// signal is taken there, and its cleanup removes the files of every thread.
// An empty thread where none can be started, for the caller to do without.
template <class Work>
std::thread StartHelperThread(Work&& work) noexcept {
    const InterruptsHeld held;
    try {
        return std::thread(std::forward<Work>(work));
    } catch (const std::system_error&) {
        return {};
    }
}

// Installs the handlers (POSIX: every signal whose default action ends the
// process, where that default is in force, and SIGXFSZ ignored so that a write
// beyond the file-size limit fails as a write; Windows: console Ctrl-C,
// Ctrl-Break and close events). Once per program.
void InstallInterruptCleanup();

}  // namespace kw39::platform
