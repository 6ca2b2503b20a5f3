#include <pthread.h>
#include <signal.h>
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

extern "C" void RemoveOnSignal(int signal) {
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

sigset_t InterruptSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, signal);
    return set;
}

}  // namespace

InterruptsHeld::InterruptsHeld() {
    const sigset_t set = InterruptSignals();
    m_bHeld = ::pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

InterruptsHeld::~InterruptsHeld() {
    if (!m_bHeld) return;
    const sigset_t set = InterruptSignals();
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void InstallInterruptCleanup() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = RemoveOnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace kw39::platform
