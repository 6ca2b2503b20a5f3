// The desktop program started by Orvelle: this test plays the host window that
// passes "hwnd,message,3,output" and waits for the posted notification.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "driver/app_session.h"
#include "driver/driver_env.h"
#include "driver/screenshot.h"

namespace kw39::test {
namespace {

constexpr UINT kNotifyMessage = WM_USER + 1;
const std::wstring kGuidanceHosted =
    L"連動元データを選択して[実行]ボタンを押すと、年調･法定調書データの作成を開始します。";

struct Notification {
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Notification> g_notifications;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kNotifyMessage) {
        g_notifications.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A visible top-level window standing in for Orvelle's.
class HostWindow {
  public:
    HostWindow() {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &HostProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = L"Kw39TestHost";
            return RegisterClassW(&wc);
        }();
        m_hWnd = CreateWindowExW(0, MAKEINTATOM(atom), L"Orvelle (test host)",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 480, 360, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        g_notifications.clear();
        PumpMessages(200);
    }
    ~HostWindow() { DestroyWindow(m_hWnd); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    // The command line with which the host starts the program.
    std::wstring Arguments(int launchCode, const std::filesystem::path& output) const {
        const auto handle = static_cast<long long>(reinterpret_cast<INT_PTR>(m_hWnd));
        return std::to_wstring(handle) + L"," + std::to_wstring(kNotifyMessage) + L"," +
               std::to_wstring(launchCode) + L"," + output.wstring();
    }

  private:
    HWND m_hWnd = nullptr;
};

bool WaitNotification() {
    return WaitUntil([] { return !g_notifications.empty(); }, kStepTimeout);
}

TEST(Hosted, QuitNotifiesCancelAndEnablesHost) {
    HostWindow host;
    const std::filesystem::path output = FreshFolder(L"hosted-quit") / L"ORVELLE.XML";
    AppSession app(host.Arguments(3, output));
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg) << "the main dialog did not appear";

    EXPECT_FALSE(IsWindowEnabled(host.Handle())) << "host not disabled while the dialog is open";
    EXPECT_EQ(ItemText(dlg, IDC_OUTPUT_PATH), output.wstring());
    // The same findings button, usable only after a run that wrote its document.
    EXPECT_EQ(ItemText(dlg, IDC_FINDINGS), L"変換結果(&R)...");
    EXPECT_FALSE(ItemEnabled(dlg, IDC_FINDINGS));
    for (int id : {IDC_OUTPUT_PATH, IDC_OUTPUT_BROWSE, IDC_OUTPUT_GROUP, IDC_OUTPUT_LABEL})
        EXPECT_FALSE(ItemEnabled(dlg, id)) << "control " << id;
    EXPECT_EQ(ItemText(dlg, IDC_GUIDANCE), kGuidanceHosted);
    EXPECT_TRUE(SaveWindowPng(dlg, ScreenshotPath(L"hosted")));
    // The host's path can be long; its box is disabled, yet has the tooltip.
    HoverOver(dlg, IDC_OUTPUT_PATH);
    EXPECT_TRUE(WaitToolTip(app.Process().Id(), output.wstring())) << "no tooltip with the path";

    // Clear keeps the path the host gave.
    SetItemText(dlg, IDC_COMPANY_PATH, L"C:\\KAISHAQ.CSV");
    Click(dlg, IDC_CLEAR);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(dlg, IDC_COMPANY_PATH).empty(); }, kStepTimeout));
    EXPECT_EQ(ItemText(dlg, IDC_OUTPUT_PATH), output.wstring());

    Click(dlg, IDCANCEL);  // "終了(&Q)"
    ASSERT_TRUE(WaitNotification()) << "no notification posted";
    EXPECT_EQ(g_notifications.front().wParam, 3u);
    EXPECT_EQ(g_notifications.front().lParam, 1);
    EXPECT_TRUE(app.Process().WaitExit(kStepTimeout));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(host.Handle()) != FALSE; }, kStepTimeout));
    EXPECT_EQ(g_notifications.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST(Hosted, ConfirmedRunWritesClosesAndNotifiesOk) {
    const std::filesystem::path input = CopySamples(L"hosted-input");
    const std::filesystem::path outputFolder = FreshFolder(L"hosted-run");
    // A name that Shift_JIS cannot spell (WAVE DASH), beside the one it spells
    // alike (FULLWIDTH TILDE): the host's name is the file written.
    const std::filesystem::path output = outputFolder / L"ORVELLE\x301C.XML";
    const std::filesystem::path alike = outputFolder / L"ORVELLE\xFF5E.XML";
    std::ofstream(alike, std::ios::binary) << "keep";
    std::string expected = CommandLineDocument(input, L"8", outputFolder / L"cli.XML");
    ASSERT_FALSE(expected.empty()) << "kw39pcaconv.exe wrote no document";
    // The document names the way the program was started.
    const std::string standalone = "<FUNCTIONID>1</FUNCTIONID>";
    const std::size_t at = expected.find(standalone);
    ASSERT_NE(at, std::string::npos);
    expected.replace(at, standalone.size(), "<FUNCTIONID>3</FUNCTIONID>");

    HostWindow host;
    AppSession app(host.Arguments(3, output));
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);
    SetItemText(dlg, IDC_YEAR, L"8");
    FillInputs(dlg, input);
    Click(dlg, IDC_EXECUTE);
    const MessageBoxSeen confirm = WaitMessageBox(dlg);
    EXPECT_EQ(confirm.text, L"処理を開始します。\nよろしいですか？");
    ASSERT_TRUE(Answer(confirm, IDOK));

    // No completion message: the dialog closes by itself.
    ASSERT_TRUE(WaitNotification()) << "no notification posted";
    EXPECT_EQ(g_notifications.front().wParam, 3u);
    EXPECT_EQ(g_notifications.front().lParam, 0);
    EXPECT_TRUE(app.Process().WaitExit(kStepTimeout));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(host.Handle()) != FALSE; }, kStepTimeout));
    EXPECT_EQ(ReadBytes(output), std::optional<std::string>(expected));
    EXPECT_EQ(ReadBytes(alike), std::optional<std::string>("keep"));
}

// Ending the dialog without a written document must not tell the host "OK":
// it would import a missing file, or one left over from an earlier run.
TEST(Hosted, EnterEndsTheDialogButReportsNoDocument) {
    HostWindow host;
    const std::filesystem::path output = FreshFolder(L"hosted-enter") / L"ORVELLE.XML";
    AppSession app(host.Arguments(3, output));
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);
    PressEnter(dlg, IDC_YEAR);
    ASSERT_TRUE(WaitNotification()) << "no notification posted";
    EXPECT_EQ(g_notifications.front().wParam, 3u);
    EXPECT_EQ(g_notifications.front().lParam, 1);
    EXPECT_TRUE(app.Process().WaitExit(kStepTimeout));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(host.Handle()) != FALSE; }, kStepTimeout));
}

TEST(Hosted, RunWithoutEmployeesClosesAndReportsNoDocument) {
    // A company file and an employee file whose employee table has no rows.
    const std::filesystem::path input = FreshFolder(L"hosted-empty-input");
    std::filesystem::copy_file(Paths().samples / L"KAISHAQ.CSV", input / L"KAISHAQ.CSV");
    const std::string company = ReadBytes(input / L"KAISHAQ.CSV").value_or("");
    const std::size_t blockEnd = company.find("\n", company.find("\n") + 1);
    ASSERT_NE(blockEnd, std::string::npos);
    {
        std::ofstream employees(input / L"KOJINQ.CSV", std::ios::binary);
        employees << company.substr(0, blockEnd + 1) << "[10601]\r\n";
    }
    const std::filesystem::path output = FreshFolder(L"hosted-empty") / L"ORVELLE.XML";

    HostWindow host;
    AppSession app(host.Arguments(3, output));
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);
    SetItemText(dlg, IDC_YEAR, L"26");
    SetItemText(dlg, IDC_COMPANY_PATH, (input / L"KAISHAQ.CSV").wstring());
    SetItemText(dlg, IDC_EMPLOYEE_PATH, (input / L"KOJINQ.CSV").wstring());
    Click(dlg, IDC_EXECUTE);
    const MessageBoxSeen confirm = WaitMessageBox(dlg);
    ASSERT_EQ(confirm.text, L"処理を開始します。\nよろしいですか？");
    ASSERT_TRUE(Answer(confirm, IDOK));

    ASSERT_TRUE(WaitNotification()) << "no notification posted";
    EXPECT_EQ(g_notifications.front().lParam, 1);
    EXPECT_TRUE(app.Process().WaitExit(kStepTimeout));
    EXPECT_FALSE(std::filesystem::exists(output));
}

// A host that has gone (or a made-up handle) must not leave the clerk with
// nothing: the dialog opens on its own and is used as usual.
TEST(Hosted, HandleThatIsNoWindowStillOpensTheDialog) {
    const std::filesystem::path output = FreshFolder(L"hosted-no-window") / L"ORVELLE.XML";
    for (const wchar_t* handle : {L"123456", L"-7", L"99999999999"}) {
        AppSession app(std::wstring(handle) + L"," + std::to_wstring(kNotifyMessage) + L",3," +
                       output.wstring());
        const HWND dlg = app.Dialog();
        ASSERT_TRUE(dlg) << "no dialog for the handle " << handle;
        EXPECT_EQ(ItemText(dlg, IDC_OUTPUT_PATH), output.wstring());
        EXPECT_FALSE(ItemEnabled(dlg, IDC_OUTPUT_BROWSE));
        Click(dlg, IDCANCEL);
        EXPECT_EQ(app.Process().WaitExit(kStepTimeout), std::optional<DWORD>(0)) << handle;
    }
}

// A path that is no Unicode text (a lone surrogate) names no file the program
// could write; the clerk is told, with the path as the host sent it.
TEST(Hosted, PathThatIsNoTextIsNamedAsTheHostSentIt) {
    HostWindow host;
    const std::filesystem::path output = FreshFolder(L"hosted-cafe") / L"caf\xD800.xml";
    ChildProcess app(Paths().app.wstring(), host.Arguments(3, output));
    ASSERT_TRUE(app.Started());
    const MessageBoxSeen box = WaitMessageBox(host.Handle());
    ASSERT_TRUE(box.window) << "no message";
    EXPECT_EQ(box.text.rfind(L"連動先から指定された出力先データのパスに、", 0), 0u);
    EXPECT_NE(box.text.find(L"\n\n" + output.wstring() + L"\n\n"), std::wstring::npos);
    ASSERT_TRUE(Answer(box, IDOK));
    ASSERT_TRUE(WaitNotification()) << "no notification posted";
    EXPECT_EQ(g_notifications.front().lParam, 1);
    EXPECT_EQ(app.WaitExit(kStepTimeout), std::optional<DWORD>(0));
}

TEST(Hosted, OtherLaunchCodeEndsWithoutWindow) {
    HostWindow host;
    const std::filesystem::path output = FreshFolder(L"hosted-code1") / L"ORVELLE.XML";
    ChildProcess app(Paths().app.wstring(), host.Arguments(1, output));
    ASSERT_TRUE(app.Started());
    bool windowSeen = false;
    const bool ended = WaitUntil(
        [&] {
            windowSeen = windowSeen || FindProcessDialog(app.Id(), kTitle) != nullptr;
            return !app.Running();
        },
        kStartTimeout);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(windowSeen);
    PumpMessages(300);
    EXPECT_TRUE(g_notifications.empty());
    EXPECT_TRUE(IsWindowEnabled(host.Handle()));
}

}  // namespace
}  // namespace kw39::test
