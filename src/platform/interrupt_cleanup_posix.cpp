#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstring>

#include "platform/encoding.h"
#include "platform/interrupt_cleanup.h"

namespace kw39::platform {

namespace {

constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);

enum SlotState : int { kFree, kFilling, kReady };

// Fixed storage: the handler may read it at any moment and must not allocate.
struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX] = {};
};

std::array<Slot, 16> g_slots;

// A thread holds back the interruptions only for itself: while one thread
// creates and registers a file, another may take the signal. The handler
// therefore waits for every such step under way, and once it has begun no
// step starts.
std::atomic<int> g_nCreating{0};
std::atomic<bool> g_bEnding{false};

// Waits for the steps under way on other threads. A fault of the program on
// a thread inside such a step would wait for itself: the wait is bounded.
void AwaitCreations() {
    const timespec pause{0, 100000};  // 0.1 ms, at most a second in all
    for (int i = 0; i < 10000 && g_nCreating.load() > 0; ++i) ::nanosleep(&pause, nullptr);
}

extern "C" void RemoveOnSignal(int signal) {
    g_bEnding.store(true);
    AwaitCreations();
    for (Slot& slot : g_slots) {
        if (slot.state.load() == kReady) ::unlink(slot.path);
    }
    // The handler was installed to run once: the signal now does what it
    // would have done (end the program with its status, 130 for SIGINT).
    ::raise(signal);
}

}  // namespace

InterruptCleanup::InterruptCleanup(const std::string& path) : m_nSlot(kNoSlot) {
    const std::string& native = path;
    if (native.size() >= PATH_MAX) return;
    for (std::size_t i = 0; i < g_slots.size(); ++i) {
        int expected = kFree;
        if (!g_slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(g_slots[i].path, native.c_str(), native.size() + 1);
        g_slots[i].state.store(kReady);
        m_nSlot = i;
        return;
    }
}

InterruptCleanup::~InterruptCleanup() {
    if (m_nSlot != kNoSlot) g_slots[m_nSlot].state.store(kFree);
}

namespace {

// Every signal whose default action ends the process while it may be writing:
// the user's keys (Ctrl-C, Ctrl-Backslash), the system or another program asking it to
// end, timers and limits, a closed pipe; and the program's own faults, so that
// even a crash leaves no personal data behind.
constexpr int kAsynchronousSignals[] = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGTERM,   SIGUSR1, SIGUSR2,
    SIGALRM,   SIGPIPE, SIGXCPU, SIGVTALRM, SIGPROF, SIGPOLL,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};
constexpr int kFaultSignals[] = {SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSEGV, SIGSYS, SIGTRAP};

// The signals held back while a file is created: those that can arrive from
// outside (a fault cannot be put off). Real-time signals end the process too.
sigset_t InterruptSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kAsynchronousSignals) sigaddset(&set, signal);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaddset(&set, signal);
    return set;
}

// Installs the handler where the default action is in force: a signal the
// parent ignores stays ignored, and a handler already there (a sanitizer's)
// stays in charge.
void RemoveOnSignalIfDefault(int signal) {
    struct sigaction old {};
    if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) return;
    struct sigaction action {};
    action.sa_handler = RemoveOnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

InterruptsHeld::InterruptsHeld() {
    const sigset_t set = InterruptSignals();
    sigset_t previous;
    // Held already (a thread that holds them all along): they stay held.
    m_bHeld =
        ::pthread_sigmask(SIG_BLOCK, &set, &previous) == 0 && sigismember(&previous, SIGINT) != 1;
    g_nCreating.fetch_add(1);
    if (g_bEnding.load()) {
        // The program is ending on another thread: creating a file now would
        // leave it behind, so this thread waits for the end.
        g_nCreating.fetch_sub(1);
        for (;;) ::pause();
    }
}

InterruptsHeld::~InterruptsHeld() {
    g_nCreating.fetch_sub(1);
    if (!m_bHeld) return;
    const sigset_t set = InterruptSignals();
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void InstallInterruptCleanup() {
    for (const int signal : kAsynchronousSignals) RemoveOnSignalIfDefault(signal);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) RemoveOnSignalIfDefault(signal);
    for (const int signal : kFaultSignals) RemoveOnSignalIfDefault(signal);
    // A write beyond the file-size limit (ulimit -f) then fails as a write,
    // which the program reports and cleans up after, instead of ending it
    // silently with the temporary file left.
    struct sigaction old {};
    if (::sigaction(SIGXFSZ, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
        ::signal(SIGXFSZ, SIG_IGN);
    }
}

}  // namespace kw39::platform
