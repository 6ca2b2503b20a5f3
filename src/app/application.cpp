#include "app/application.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>

#include "app/command_line.h"
#include "app/main_dialog.h"
#include "app/win_text.h"
#include "platform/encoding_win.h"
#include "platform/native_path_win.h"
#include "platform/version.h"

namespace kw39::app {

namespace {

// COM for the user-interface thread (the folder browser needs it), released
// when the program ends.
class ComApartment {
  public:
    ComApartment() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_hr)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool Ok() const { return SUCCEEDED(m_hr); }

  private:
    HRESULT m_hr;
};

}  // namespace

int CKw39PCAConvApp::Run(std::wstring_view commandLine) {
    const ComApartment com;
    if (!com.Ok()) {
        std::fputs("ERROR - Could not initialize COM library\n", stdout);
        std::fflush(stdout);
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    const std::wstring_view tail = CommandLineTail(commandLine);
    // The output path is held as the host wrote it (UTF-16 in UTF-8): the
    // numbers and the blank that ends the path are ASCII in either form.
    const auto strictTail = platform::PathFromWide(tail);
    const bool hostedForm = ParseLaunchCommandLine(
        strictTail ? *strictTail : platform::WideToCp932Lossy(tail), platform::Today(), m_launch);
    if (hostedForm && m_launch.launchCode != kLaunchHosted) return 0;

    // A handle that is no window (any longer) is not an error: the dialog opens
    // without an owner, since a dialog or message box given a dead owner is
    // never shown. The host then simply learns nothing.
    const HWND given = hostedForm ? reinterpret_cast<HWND>(m_launch.hostWindow) : nullptr;
    const HWND host = given && IsWindow(given) ? given : nullptr;
    if (hostedForm && !strictTail) {
        // A lossy path could name another file; tell the user, with the name
        // as the host sent it, and let the host go on as after a cancelled
        // dialog.
        const std::wstring path(HostedOutputPath(tail));
        ShowMessageBox(host,
                       PathRefusal(platform::MessageId::HostPathNotUnicode, path,
                                   platform::MessageId::HostPathRefused),
                       platform::MessageStyle::Error);
        if (host) ReleaseHost(host, true);
        return 0;
    }

    if (host) EnableWindow(host, FALSE);
    CKw39PCAConvDlg dialog(m_launch);
    const INT_PTR result = dialog.DoModal(host);
    if (host) ReleaseHost(host, !(result == IDOK && dialog.DocumentWritten()));
    return 0;
}

void CKw39PCAConvApp::ReleaseHost(HWND host, bool cancelled) const {
    PostMessageW(host, m_launch.notifyMessage, static_cast<WPARAM>(m_launch.launchCode),
                 cancelled ? 1 : 0);
    SetForegroundWindow(host);
    EnableWindow(host, TRUE);
}

}  // namespace kw39::app
