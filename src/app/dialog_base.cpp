#include "app/dialog_base.h"

#include <exception>

#include "app/win_text.h"
#include "platform/encoding_win.h"
#include "run/execute_command.h"

namespace kw39::app {

INT_PTR CModalDialog::DoModal(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nTemplateId), owner,
                           &CModalDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CModalDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CModalDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CModalDialog*>(lParam);
        self->m_hWnd = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<CModalDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!self) return FALSE;
    // No exception may unwind through the dialog manager: a command that fails
    // ends with one stop-icon message and the dialog stays usable.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& failure) {
        self->OnException(FailureMessage(failure).text);
    } catch (...) {
        self->OnException({});
    }
    return TRUE;
}

INT_PTR CModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            UpdateData(false);
            return OnInitDialog() ? TRUE : FALSE;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_SYSCOMMAND:
            if (!OnSysCommand(wParam)) return FALSE;
            SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, 0);
            return TRUE;
        case WM_HELP:
            OnHelpRequest();
            SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        default:
            (void)lParam;
            return FALSE;
    }
}

bool CModalDialog::OnCommand(int id, int notifyCode) {
    (void)notifyCode;
    switch (id) {
        case IDOK:
            OnOK();
            return true;
        case IDCANCEL:
            OnCancel();
            return true;
        default:
            return false;
    }
}

void CModalDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CModalDialog::OnException(const std::string& cp932Message) {
    std::wstring text = platform::Cp932ToWideLossy(cp932Message);
    if (text.empty()) text = CatalogueText(platform::MessageId::UnexpectedError);
    ShowMessageBox(m_hWnd, text, platform::MessageStyle::Error);
}

void CModalDialog::EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

void CModalDialog::SetItemText(int id, const std::wstring& text) {
    SetDlgItemTextW(m_hWnd, id, text.c_str());
}

std::wstring CModalDialog::ItemText(int id) const { return WindowText(Item(id)); }

void CModalDialog::EnableItem(int id, bool enable) {
    EnableWindow(Item(id), enable ? TRUE : FALSE);
}

void CModalDialog::FocusItem(int id) {
    if (HWND item = Item(id))
        SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

void CModalDialog::ExchangeRadio(bool save, int firstId, int lastId, int& index) {
    if (save) {
        index = -1;
        for (int id = firstId; id <= lastId; ++id)
            if (IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED) index = id - firstId;
    } else {
        for (int id = firstId; id <= lastId; ++id)
            CheckDlgButton(m_hWnd, id, id - firstId == index ? BST_CHECKED : BST_UNCHECKED);
    }
}

}  // namespace kw39::app
