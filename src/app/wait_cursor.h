// The hourglass while the dialog works synchronously (the checks and the
// conversion), so that a window that does not respond shows why.
#pragma once

#include <windows.h>

namespace kw39::app {

// Shows the wait cursor for its lifetime and puts the previous one back.
class CWaitCursor {
  public:
    CWaitCursor() : m_hPrevious(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { SetCursor(m_hPrevious); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // Around a message box in the middle of the work: the arrow while it waits
    // for the user, the wait cursor again afterwards.
    static void Pause() { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }
    static void Resume() { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }

  private:
    HCURSOR m_hPrevious;
};

}  // namespace kw39::app
