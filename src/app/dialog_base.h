// A small modal dialog of our own over the plain Win32 dialog manager: the
// static dialog procedure finds the C++ object, dispatches commands to virtual
// handlers and keeps exceptions from crossing into Windows.
#pragma once

#include <windows.h>

#include <string>

namespace kw39::app {

class CModalDialog {
  public:
    explicit CModalDialog(int templateId) : m_nTemplateId(templateId) {}
    virtual ~CModalDialog() = default;
    CModalDialog(const CModalDialog&) = delete;
    CModalDialog& operator=(const CModalDialog&) = delete;

    // Shows the dialog owned by `owner` (may be null) until it ends; the result
    // passed to EndDialog, IDCANCEL for Esc and the close box, or -1 when the
    // dialog could not be created.
    INT_PTR DoModal(HWND owner);

    HWND Handle() const { return m_hWnd; }

  protected:
    // After the controls exist and the data exchange has filled them. True lets
    // the dialog manager put the focus on the first tab stop.
    virtual bool OnInitDialog() { return true; }
    // Moves member values into the controls (`save` false) or back (true).
    virtual void DoDataExchange(bool save) { (void)save; }
    // A WM_COMMAND from a control or the keyboard; true when handled.
    virtual bool OnCommand(int id, int notifyCode);
    // A WM_SYSCOMMAND; true when handled, false for the default handling.
    virtual bool OnSysCommand(WPARAM command) {
        (void)command;
        return false;
    }
    // F1 (WM_HELP).
    virtual void OnHelpRequest() {}
    // Enter without a push button that takes it: data back, end with IDOK.
    virtual void OnOK();
    // Esc, the close box and the button with id IDCANCEL.
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Shows the message of an exception that reached the dialog procedure.
    virtual void OnException(const std::string& cp932Message);

    void EndDialog(INT_PTR result);
    void UpdateData(bool save) { DoDataExchange(save); }
    HWND Item(int id) const { return GetDlgItem(m_hWnd, id); }
    void SetItemText(int id, const std::wstring& text);
    std::wstring ItemText(int id) const;
    void EnableItem(int id, bool enable);
    // Keyboard focus to a control, the way the dialog manager moves it.
    void FocusItem(int id);

    // Data exchange of a radio group whose buttons have consecutive ids:
    // index 0 is `firstId`; -1 for none checked.
    void ExchangeRadio(bool save, int firstId, int lastId, int& index);

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    int m_nTemplateId;
    HWND m_hWnd = nullptr;
};

}  // namespace kw39::app
