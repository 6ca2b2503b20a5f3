#include "driver/automation.h"

#include <commctrl.h>

#include <thread>
#include <vector>

namespace kw39::test {

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool IsVisibleDialog(HWND window) {
    return IsWindowVisible(window) && ClassOf(window) == L"#32770";
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

struct Search {
    std::function<bool(HWND)> match;
    HWND found = nullptr;
};

BOOL CALLBACK SearchProc(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (!search->match(window)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindTopLevel(const std::function<bool(HWND)>& match) {
    Search search{match};
    EnumWindows(&SearchProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitWindow(const std::function<HWND()>& find, Millis timeout) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = find()) != nullptr; }, timeout);
    return found;
}

}  // namespace

void PumpMessages(Millis duration) {
    const ULONGLONG end = GetTickCount64() + duration;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount64() < end);
}

bool WaitUntil(const std::function<bool()>& found, Millis timeout) {
    const ULONGLONG end = GetTickCount64() + timeout;
    for (;;) {
        if (found()) return true;
        if (GetTickCount64() >= end) return false;
        PumpMessages(50);
    }
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments,
                           const std::wstring& transcript) {
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!transcript.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        output = CreateFileW(transcript.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE) return;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, !transcript.empty(),
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &m_info))
        m_info = {};
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
}

ChildProcess::~ChildProcess() {
    if (!Started()) return;
    if (Running()) {
        TerminateProcess(m_info.hProcess, 99);
        WaitForSingleObject(m_info.hProcess, 10000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool ChildProcess::Running() const {
    return Started() && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::WaitExit(Millis timeout) {
    if (!Started() || !WaitUntil([&] { return !Running(); }, timeout)) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

std::optional<DWORD> RunToEnd(const std::wstring& program, const std::wstring& arguments,
                              Millis timeout, const std::wstring& transcript) {
    ChildProcess child(program, arguments, transcript);
    return child.WaitExit(timeout);
}

HWND FindProcessDialog(DWORD pid, const std::wstring& title) {
    return FindTopLevel([&](HWND window) {
        return ProcessOf(window) == pid && IsVisibleDialog(window) && TextOf(window) == title;
    });
}

HWND FindProcessWindow(DWORD pid, const std::wstring& className) {
    return FindTopLevel([&](HWND window) {
        return ProcessOf(window) == pid && IsWindowVisible(window) && ClassOf(window) == className;
    });
}

HWND FindOwnedDialog(HWND owner, const std::wstring& title) {
    return FindTopLevel([&](HWND window) {
        return GetWindow(window, GW_OWNER) == owner && IsVisibleDialog(window) &&
               (title.empty() || TextOf(window) == title);
    });
}

HWND WaitProcessDialog(DWORD pid, const std::wstring& title) {
    return WaitWindow([&] { return FindProcessDialog(pid, title); }, kStartTimeout);
}

HWND WaitToolTip(DWORD pid, const std::wstring& text) {
    return WaitWindow(
        [&] {
            const HWND tip = FindProcessWindow(pid, L"tooltips_class32");
            return tip && TextOf(tip) == text ? tip : nullptr;
        },
        kStepTimeout);
}

HWND WaitOwnedDialog(HWND owner, const std::wstring& title) {
    return WaitWindow([&] { return FindOwnedDialog(owner, title); }, kStepTimeout);
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &got);
    text.resize(got);
    return text;
}

std::wstring ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, const std::wstring& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
}

bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

bool ItemChecked(HWND dialog, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void TypeText(HWND dialog, int id, const std::wstring& text) {
    const HWND control = GetDlgItem(dialog, id);
    for (const wchar_t c : text) PostMessageW(control, WM_CHAR, c, 1);
}

void HoverOver(HWND dialog, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    SetCursorPos(rect.left - 20, rect.top - 20);
    PumpMessages(200);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void PressEnter(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    PostMessageW(control, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(control, WM_KEYUP, VK_RETURN, 0xC0000001);
}

namespace {

// A message whose answer is a number, so that it crosses process boundaries.
DWORD_PTR Ask(HWND window, UINT message) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return result;
}

}  // namespace

std::size_t ListRowCount(HWND list) { return Ask(list, LVM_GETITEMCOUNT); }

std::size_t ListColumnCount(HWND list) {
    return Ask(reinterpret_cast<HWND>(Ask(list, LVM_GETHEADER)), HDM_GETITEMCOUNT);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

MessageBoxSeen WaitMessageBox(HWND owner) {
    MessageBoxSeen box;
    box.window = WaitOwnedDialog(owner);
    if (!box.window) return box;
    box.caption = TextOf(box.window);
    // The text is the static control 0xFFFF; the icon is a static without text.
    box.text = ItemText(box.window, 0xFFFF);
    const auto shown = [&](int id) {
        const HWND button = GetDlgItem(box.window, id);
        return button != nullptr && IsWindowVisible(button);
    };
    box.hasCancel = shown(IDCANCEL);
    box.hasYesNo = shown(IDYES) && shown(IDNO);
    return box;
}

bool Answer(const MessageBoxSeen& box, int buttonId) {
    if (!box.window) return false;
    Click(box.window, buttonId);
    return WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); },
                     kStepTimeout);
}

}  // namespace kw39::test
