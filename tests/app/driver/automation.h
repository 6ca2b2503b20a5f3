// Working another program's windows from outside, as a user or the host system
// would: start it, find its dialogs, type into and press its controls, read and
// answer its message boxes. Every wait polls with a timeout and keeps this
// thread's own messages flowing (a cross-process owner window must answer).
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace kw39::test {

// Durations in milliseconds.
using Millis = DWORD;

// Generous: the first start of a program under Wine can be slow.
inline constexpr Millis kStartTimeout = 90000;
inline constexpr Millis kStepTimeout = 30000;

// Dispatches whatever is waiting for this thread, for about `duration`.
void PumpMessages(Millis duration);

// Polls `found` every 50 ms until it holds or the timeout runs out; true when it held.
bool WaitUntil(const std::function<bool()>& found, Millis timeout);

// A program started by a test. The destructor ends it if it still runs, so a
// failed test leaves nothing behind.
class ChildProcess {
  public:
    // `transcript`, when given, is a file that receives the program's standard output and error.
    ChildProcess(const std::wstring& program, const std::wstring& arguments,
                 const std::wstring& transcript = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_info.hProcess != nullptr; }
    DWORD Id() const { return m_info.dwProcessId; }
    // The exit code once the program ended within the timeout.
    std::optional<DWORD> WaitExit(Millis timeout);
    bool Running() const;

  private:
    PROCESS_INFORMATION m_info{};
};

// Runs a console program to its end; its exit code, nothing on a timeout.
std::optional<DWORD> RunToEnd(const std::wstring& program, const std::wstring& arguments,
                              Millis timeout, const std::wstring& transcript = {});

// A visible top-level dialog (#32770) of process `pid` with this title.
HWND FindProcessDialog(DWORD pid, const std::wstring& title);
// A visible top-level window of process `pid` with this window class.
HWND FindProcessWindow(DWORD pid, const std::wstring& className);
// A visible dialog (#32770) owned by `owner`; any title when `title` is empty.
HWND FindOwnedDialog(HWND owner, const std::wstring& title = {});

HWND WaitProcessDialog(DWORD pid, const std::wstring& title);
// The tooltip of process `pid` once it shows `text`; null when it did not.
HWND WaitToolTip(DWORD pid, const std::wstring& text);
HWND WaitOwnedDialog(HWND owner, const std::wstring& title = {});

// Texts across process boundaries (WM_GETTEXT / WM_SETTEXT are marshalled).
std::wstring TextOf(HWND window);
std::wstring ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::wstring& text);
bool ItemEnabled(HWND dialog, int id);
bool ItemChecked(HWND dialog, int id);

// Presses a button the way a click does (BM_CLICK, posted: the handler may
// open a modal box and must not block this thread).
void Click(HWND dialog, int id);

// Types `text` into a control, one character message per character as the
// keyboard sends them (unlike SetItemText, the control may refuse some).
void TypeText(HWND dialog, int id, const std::wstring& text);

// Moves the mouse onto the middle of a control, from outside it, so that the
// control's program sees the mouse arrive.
void HoverOver(HWND dialog, int id);

// Presses Enter in a control, through the dialog manager of its program.
void PressEnter(HWND dialog, int id);

// Rows and columns of a list-view control (SysListView32) of another program.
std::size_t ListRowCount(HWND list);
std::size_t ListColumnCount(HWND list);

// The control that has the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window);

// A message box seen on the screen.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    bool hasCancel = false;
    bool hasYesNo = false;
};

// Waits for the message box owned by `owner` and reads it; window is null
// when none appeared.
MessageBoxSeen WaitMessageBox(HWND owner);
// Presses IDOK, IDCANCEL, IDYES or IDNO of a message box and waits until it has gone.
bool Answer(const MessageBoxSeen& box, int buttonId);

}  // namespace kw39::test
