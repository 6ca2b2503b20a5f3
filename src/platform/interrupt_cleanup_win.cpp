#include <windows.h>

#include <array>
#include <atomic>
#include <cwchar>

#include "platform/interrupt_cleanup.h"
#include "platform/native_path_win.h"

namespace kw39::platform {

namespace {

constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
constexpr std::size_t kMaxWide = 32768;

enum SlotState : int { kFree, kFilling, kReady };

struct Slot {
    std::atomic<int> state{kFree};
    wchar_t path[kMaxWide] = {};
};

std::array<Slot, 16> g_slots;

BOOL WINAPI RemoveOnControlEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT ||
        event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // The files are opened with delete sharing: each goes when the
        // process ends and its handle is closed.
        for (Slot& slot : g_slots) {
            if (slot.state.load() == kReady) DeleteFileW(slot.path);
        }
    }
    return FALSE;  // the default handler ends the program as usual
}

}  // namespace

InterruptCleanup::InterruptCleanup(const std::string& path) : m_nSlot(kNoSlot) {
    const auto wide = SystemPath(path);
    if (!wide || wide->size() >= kMaxWide) return;
    for (std::size_t i = 0; i < g_slots.size(); ++i) {
        int expected = kFree;
        if (!g_slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::wmemcpy(g_slots[i].path, wide->c_str(), wide->size() + 1);
        g_slots[i].state.store(kReady);
        m_nSlot = i;
        return;
    }
}

InterruptCleanup::~InterruptCleanup() {
    if (m_nSlot != kNoSlot) g_slots[m_nSlot].state.store(kFree);
}

// The console's control handler runs on a thread of its own; the window in
// which a file exists unregistered is a few instructions long there.
InterruptsHeld::InterruptsHeld() = default;
InterruptsHeld::~InterruptsHeld() = default;

void InstallInterruptCleanup() { SetConsoleCtrlHandler(RemoveOnControlEvent, TRUE); }

}  // namespace kw39::platform
