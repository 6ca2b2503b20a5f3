#include "app/shared_mnemonics.h"

#include <cwctype>
#include <string>
#include <vector>

#include "app/win_text.h"

namespace kw39::app {

namespace {

// The dialog whose messages are filtered; the hook is per thread.
thread_local HWND t_hDialog = nullptr;

// The letter after the single "&" of a control text, upper case; 0 for none.
wchar_t MnemonicOf(const std::wstring& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') return static_cast<wchar_t>(std::towupper(text[i + 1]));
        ++i;  // "&&" is a plain "&"
    }
    return 0;
}

bool IsEnabledPushButton(HWND control) {
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if ((style & (WS_VISIBLE | WS_DISABLED)) != WS_VISIBLE) return false;
    const auto code = SendMessageW(control, WM_GETDLGCODE, 0, 0);
    return (code & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON)) != 0;
}

// Whether the dialog manager takes `message` as a mnemonic: with Alt always,
// without it when the control with the focus does not want the character.
bool IsMnemonicKey(const MSG& message) {
    if (message.message == WM_SYSCHAR) return true;
    if (message.message != WM_CHAR) return false;
    const auto code =
        SendMessageW(message.hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&message));
    return (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) == 0;
}

// The push button that a mnemonic `letter` typed in `dialog` moves the focus
// to, the next after the focus that carries it, when two or more enabled ones
// do; null otherwise (the dialog manager then does what it always does).
HWND NextSharing(HWND dialog, wchar_t letter) {
    const wchar_t wanted = static_cast<wchar_t>(std::towupper(letter));
    const HWND focus = GetFocus();
    std::vector<HWND> sharing;
    HWND afterFocus = nullptr;
    bool focusPassed = false;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsEnabledPushButton(child) && MnemonicOf(WindowText(child)) == wanted) {
            sharing.push_back(child);
            if (focusPassed && !afterFocus) afterFocus = child;
        }
        if (child == focus) focusPassed = true;
    }
    if (sharing.size() < 2) return nullptr;
    return afterFocus ? afterFocus : sharing.front();
}

}  // namespace

CSharedMnemonics::CSharedMnemonics(HWND dialog)
    : m_hHook(SetWindowsHookExW(WH_MSGFILTER, &CSharedMnemonics::Filter, nullptr,
                                GetCurrentThreadId())) {
    t_hDialog = dialog;
}

CSharedMnemonics::~CSharedMnemonics() {
    if (m_hHook) UnhookWindowsHookEx(m_hHook);
    t_hDialog = nullptr;
}

LRESULT CALLBACK CSharedMnemonics::Filter(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && t_hDialog && message &&
        (message->hwnd == t_hDialog || IsChild(t_hDialog, message->hwnd)) &&
        IsMnemonicKey(*message)) {
        if (const HWND next = NextSharing(t_hDialog, static_cast<wchar_t>(message->wParam))) {
            SendMessageW(t_hDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace kw39::app
