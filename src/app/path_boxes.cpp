#include "app/path_boxes.h"

#include <commctrl.h>

#include "app/win_text.h"

namespace kw39::app {

namespace {

// Two tools per box, both with the path as text: one on the box itself, and
// one on the box's area of the dialog, because a disabled box (the host's
// output path) gets no mouse messages: they go to the dialog.
TTTOOLINFOW BoxTool(HWND dialog, HWND box) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = dialog;
    info.uId = reinterpret_cast<UINT_PTR>(box);
    return info;
}

TTTOOLINFOW AreaTool(HWND dialog, HWND box) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = dialog;
    info.uId = static_cast<UINT_PTR>(GetDlgCtrlID(box));
    GetWindowRect(box, &info.rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&info.rect), 2);
    return info;
}

}  // namespace

void CPathBoxes::Create(HWND dialog) {
    m_hDialog = dialog;
    m_hToolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!m_hToolTip) return;
    // A path longer than the screen is wide wraps instead of running off it,
    // and stays long enough to be read.
    SendMessageW(m_hToolTip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
    SendMessageW(m_hToolTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
}

void CPathBoxes::Add(HWND box) {
    if (!m_hToolTip || !box) return;
    std::wstring empty(1, L'\0');
    for (TTTOOLINFOW info : {BoxTool(m_hDialog, box), AreaTool(m_hDialog, box)}) {
        info.lpszText = empty.data();
        SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void CPathBoxes::Refresh(HWND box) const {
    const std::wstring text = WindowText(box);
    const auto end = static_cast<WPARAM>(text.size());
    SendMessageW(box, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
    SetTipText(box, text);
}

void CPathBoxes::SetTipText(HWND box, const std::wstring& text) const {
    if (!m_hToolTip) return;
    std::wstring buffer = text;
    buffer.push_back(L'\0');
    for (TTTOOLINFOW info : {BoxTool(m_hDialog, box), AreaTool(m_hDialog, box)}) {
        info.lpszText = buffer.data();
        SendMessageW(m_hToolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

}  // namespace kw39::app
