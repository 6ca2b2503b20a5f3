// The desktop program started by the user: the dialog as it opens, the checks
// of the Execute command, a whole conversion and the file dialogs.
#include <gtest/gtest.h>

#include "driver/app_session.h"
#include "driver/driver_env.h"
#include "driver/screenshot.h"

namespace kw39::test {
namespace {

const std::wstring kGuidanceStandalone =
    L"連動元データ、出力先データを選択して"
    L"[実行]ボタンを押すと、年調･法定調書データの作成を開始します。";

// Waits until the control has the keyboard focus (the program moves it right
// after a message box closed).
bool HasFocus(HWND dlg, int id) {
    return WaitUntil([&] { return FocusOf(dlg) == GetDlgItem(dlg, id); }, kStepTimeout);
}

// The code page of this process, and so of the program it starts.
void ExpectLocaleOfThisRun() {
    const std::wstring expected = Env(L"KW39_EXPECT_ACP");
    if (!expected.empty()) {
        ASSERT_EQ(std::to_wstring(GetACP()), expected);
    }
}

TEST(Standalone, OpensWithItsStartValues) {
    ExpectLocaleOfThisRun();
    AppSession app;
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg) << "the main dialog did not appear";

    EXPECT_EQ(ItemText(dlg, IDC_YEAR), ExpectedDefaultYear());
    EXPECT_TRUE(ItemChecked(dlg, IDC_RADIO_STANDARD));
    EXPECT_FALSE(ItemChecked(dlg, IDC_RADIO_SIMPLE));
    EXPECT_EQ(ItemText(dlg, IDC_GUIDANCE), kGuidanceStandalone);
    EXPECT_TRUE(ItemEnabled(dlg, IDC_OUTPUT_PATH));
    EXPECT_TRUE(ItemEnabled(dlg, IDC_OUTPUT_BROWSE));
    for (int box : kInputBoxes) EXPECT_EQ(ItemText(dlg, box), L"");
    EXPECT_TRUE(HasFocus(dlg, IDC_SELECT_FOLDER));
    EXPECT_EQ(ItemText(dlg, IDC_SELECT_FOLDER), L"一括選択(&S)...");
    EXPECT_TRUE(SaveWindowPng(dlg, ScreenshotPath(L"standalone")));

    // The About box from the system menu.
    PostMessageW(dlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    const HWND about = WaitOwnedDialog(dlg, kAboutTitle);
    ASSERT_TRUE(about) << "no About box";
    bool versionShown = false;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        versionShown = versionShown || TextOf(child) == L"Velmora Version 1.0";
    EXPECT_TRUE(versionShown);
    EXPECT_TRUE(SaveWindowPng(about, ScreenshotPath(L"about")));
    Click(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kStepTimeout));

    Click(dlg, IDCANCEL);  // "終了(&Q)"
    EXPECT_EQ(app.Process().WaitExit(kStepTimeout), std::optional<DWORD>(0));
}

// The first character of a one-line edit box that is in view.
DWORD_PTR FirstInView(HWND dialog, int id) {
    DWORD_PTR first = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG,
                        5000, &first);
    return first;
}

// True when the last character of a one-line edit box is within its client area.
bool EndInView(HWND dialog, int id) {
    const HWND box = GetDlgItem(dialog, id);
    const auto length = static_cast<WPARAM>(TextOf(box).size());
    DWORD_PTR position = 0;
    SendMessageTimeoutW(box, EM_POSFROMCHAR, length - 1, 0, SMTO_ABORTIFHUNG, 5000, &position);
    const int x = static_cast<short>(LOWORD(position));
    RECT client{};
    GetClientRect(box, &client);
    return length > 0 && x >= 0 && x < client.right;
}

// What a clerk can do with values that do not fit: type a second year digit
// (at 96 DPI the box scrolls to show it), see the file name of a long path
// and the whole path in its tooltip.
TEST(Standalone, LongValuesStayVisible) {
    AppSession app;
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);

    SetItemText(dlg, IDC_YEAR, L"");
    TypeText(dlg, IDC_YEAR, L"27");
    EXPECT_TRUE(WaitUntil([&] { return ItemText(dlg, IDC_YEAR) == L"27"; }, kStepTimeout))
        << "typed 27, the box holds \"" << ItemText(dlg, IDC_YEAR) << "\"";
    EXPECT_TRUE(SaveWindowPng(dlg, ScreenshotPath(L"year-27")));

    const std::wstring longPath =
        (Paths().work / L"令和8年分 年末調整" / L"株式会社ソラマメ&ハッカ商会 本社 総務部 給与課" /
         L"PCA給与X からの CSV 出力 (12月支給分を含む)" / L"KAISHAQ_2026_12.CSV")
            .wstring();
    SetItemText(dlg, IDC_COMPANY_PATH, longPath);
    EXPECT_TRUE(WaitUntil(
        [&] { return FirstInView(dlg, IDC_COMPANY_PATH) > 0 && EndInView(dlg, IDC_COMPANY_PATH); },
        kStepTimeout))
        << "the file name of a long path is not in view";
    EXPECT_TRUE(SaveWindowPng(dlg, ScreenshotPath(L"long-path")));

    HoverOver(dlg, IDC_COMPANY_PATH);
    const HWND tip = WaitToolTip(app.Process().Id(), longPath);
    EXPECT_TRUE(tip) << "no tooltip with the whole path";
    if (tip) {
        EXPECT_TRUE(SaveWindowPng(dlg, ScreenshotPath(L"tooltip"), tip));
    }

    Click(dlg, IDCANCEL);
    EXPECT_EQ(app.Process().WaitExit(kStepTimeout), std::optional<DWORD>(0));
}

TEST(Standalone, RejectsBadYearAndMissingFiles) {
    AppSession app;
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);

    SetItemText(dlg, IDC_YEAR, L"0");
    Click(dlg, IDC_EXECUTE);
    MessageBoxSeen box = WaitMessageBox(dlg);
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.text, L"正しい申告年度を指定してください。");
    EXPECT_FALSE(box.hasCancel);
    ASSERT_TRUE(Answer(box, IDOK));
    EXPECT_TRUE(HasFocus(dlg, IDC_YEAR));

    SetItemText(dlg, IDC_YEAR, L"26");
    Click(dlg, IDC_EXECUTE);
    box = WaitMessageBox(dlg);
    EXPECT_EQ(box.text, L"連動に必要なマスターファイルが存在しません。\n\n会社情報\n社員情報\n");
    ASSERT_TRUE(Answer(box, IDOK));
    EXPECT_TRUE(HasFocus(dlg, IDC_COMPANY_BROWSE));

    // Save-As proposes a name from the company file, so it needs one first.
    Click(dlg, IDC_OUTPUT_BROWSE);
    box = WaitMessageBox(dlg);
    EXPECT_EQ(box.text, L"会社情報ファイルが選択されていません。");
    ASSERT_TRUE(Answer(box, IDOK));
    EXPECT_TRUE(HasFocus(dlg, IDC_COMPANY_BROWSE));
}

// The help file opens in whatever the system has for PDF files (under Wine
// usually nothing); the program reports nothing and stays usable.
TEST(Standalone, HelpReportsNothingAndKeepsTheDialog) {
    AppSession app;
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);
    Click(dlg, IDC_HELP_BUTTON);
    PumpMessages(2000);
    EXPECT_FALSE(FindOwnedDialog(dlg)) << "a message appeared";
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutW(dlg, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored));
    Click(dlg, IDCANCEL);
    EXPECT_EQ(app.Process().WaitExit(kStepTimeout), std::optional<DWORD>(0));
}

TEST(Standalone, EnterInTheYearBoxEndsTheProgram) {
    AppSession app;
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);
    PressEnter(dlg, IDC_YEAR);
    EXPECT_EQ(app.Process().WaitExit(kStepTimeout), std::optional<DWORD>(0));
}

// A year that is not that of the payment dates (2026, Reiwa 8) is asked about
// before the confirmation: No returns to the year box with nothing done, Yes
// goes on to the confirmation.
TEST(Standalone, AnotherYearThanThePaymentDatesIsAskedAbout) {
    const std::filesystem::path input = CopySamples(L"year-question");
    const std::filesystem::path output = FreshFolder(L"year-question-output") / L"out.XML";
    AppSession app;
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);
    SetItemText(dlg, IDC_YEAR, L"9");
    FillInputs(dlg, input);
    SetItemText(dlg, IDC_OUTPUT_PATH, output.wstring());

    Click(dlg, IDC_EXECUTE);
    MessageBoxSeen box = WaitMessageBox(dlg);
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.text,
              L"支給日の年は 2026 年 (令和8年) ですが、申告年度に 9 が指定されています。\n"
              L"このまま続けますか？");
    EXPECT_TRUE(box.hasYesNo);
    EXPECT_FALSE(box.hasCancel);
    EXPECT_TRUE(SaveWindowPng(box.window, ScreenshotPath(L"year-question")));
    ASSERT_TRUE(Answer(box, IDNO));
    EXPECT_TRUE(HasFocus(dlg, IDC_YEAR));
    PumpMessages(300);
    EXPECT_FALSE(FindOwnedDialog(dlg)) << "a message followed No";
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(ItemText(dlg, IDC_YEAR), L"9");

    Click(dlg, IDC_EXECUTE);
    box = WaitMessageBox(dlg);
    EXPECT_TRUE(box.hasYesNo);
    ASSERT_TRUE(Answer(box, IDYES));
    box = WaitMessageBox(dlg);
    EXPECT_EQ(box.text, L"処理を開始します。\nよろしいですか？");
    ASSERT_TRUE(Answer(box, IDCANCEL));
    PumpMessages(300);
    EXPECT_FALSE(std::filesystem::exists(output));

    Click(dlg, IDCANCEL);
    EXPECT_TRUE(app.Process().WaitExit(kStepTimeout));
}

// Runs under a Japanese and an English Wine locale: Japanese folder and file
// names must work whatever the system code page is.
TEST(Standalone, ConversionMatchesCommandLineProgram) {
    ExpectLocaleOfThisRun();
    const std::filesystem::path input = CopySamples(L"給与データ");
    const std::filesystem::path outputFolder = FreshFolder(L"出力先");
    const std::filesystem::path output = outputFolder / L"年調データ.XML";
    const std::string expected = CommandLineDocument(input, L"8", outputFolder / L"cli.XML");
    ASSERT_FALSE(expected.empty()) << "kw39pcaconv.exe wrote no document";

    AppSession app;
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);
    SetItemText(dlg, IDC_YEAR, L"8");
    FillInputs(dlg, input);
    SetItemText(dlg, IDC_OUTPUT_PATH, output.wstring());

    Click(dlg, IDC_EXECUTE);
    MessageBoxSeen box = WaitMessageBox(dlg);
    EXPECT_EQ(box.text, L"処理を開始します。\nよろしいですか？");
    EXPECT_TRUE(box.hasCancel);
    ASSERT_TRUE(Answer(box, IDCANCEL));
    PumpMessages(300);
    EXPECT_FALSE(std::filesystem::exists(output)) << "written although cancelled";

    Click(dlg, IDC_EXECUTE);
    box = WaitMessageBox(dlg);
    ASSERT_TRUE(Answer(box, IDOK));
    box = WaitMessageBox(dlg);
    EXPECT_EQ(box.text, L"正常に終了しました。");
    ASSERT_TRUE(Answer(box, IDOK));
    EXPECT_EQ(ReadBytes(output), std::optional<std::string>(expected));

    // The run changes no control; Clear empties the paths, not year and mode.
    EXPECT_EQ(ItemText(dlg, IDC_OUTPUT_PATH), output.wstring());
    Click(dlg, IDC_CLEAR);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(dlg, IDC_OUTPUT_PATH).empty(); }, kStepTimeout));
    for (int id : kInputBoxes) EXPECT_EQ(ItemText(dlg, id), L"") << "box " << id;
    EXPECT_EQ(ItemText(dlg, IDC_YEAR), L"8");
    EXPECT_TRUE(ItemChecked(dlg, IDC_RADIO_STANDARD));

    Click(dlg, IDCANCEL);
    EXPECT_TRUE(app.Process().WaitExit(kStepTimeout));
}

}  // namespace
}  // namespace kw39::test
