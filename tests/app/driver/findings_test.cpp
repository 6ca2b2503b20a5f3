// The findings of a run in the desktop program: the list against the report
// that the command-line program writes for the same files, the report saved
// from the list, and the mnemonic that "変換結果(&R)..." shares with "実行(&R)".
#include <gtest/gtest.h>

#include <algorithm>

#include "driver/app_session.h"
#include "driver/driver_env.h"
#include "driver/screenshot.h"

namespace kw39::test {
namespace {

const std::wstring kFindingsTitle = L"変換結果";
const std::wstring kSaveTitle = L"名前を付けて保存";

struct CommandLineReport {
    std::string bytes;       // the --report file
    std::wstring countLine;  // "報告: N 件 (...)" as the program printed it
};

std::wstring FromUtf8(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

// The document of both runs: the report's outcome line names it.
std::filesystem::path DocumentIn(const std::filesystem::path& outputFolder) {
    return outputFolder / L"年調データ.XML";
}

// kw39pcaconv.exe with --report for the files of `folder`; empty bytes when it failed.
CommandLineReport RunCommandLine(const std::filesystem::path& folder,
                                 const std::filesystem::path& outputFolder) {
    const std::filesystem::path report = outputFolder / L"cli_報告.csv";
    const std::filesystem::path transcript = outputFolder / L"cli.log";
    const std::wstring arguments = L"--folder \"" + folder.wstring() + L"\" --year 8 --yes" +
                                   L" --output \"" + DocumentIn(outputFolder).wstring() +
                                   L"\" --report \"" + report.wstring() + L"\"";
    const auto code = RunToEnd(Paths().cli.wstring(), arguments, kStartTimeout, transcript);
    if (!code || *code != 0) return {};
    // Redirected, the program writes UTF-8.
    const std::wstring log = FromUtf8(ReadBytes(transcript).value_or(std::string()));
    const std::size_t start = log.find(L"報告: ");
    const std::size_t end = log.find_first_of(L"\r\n", start);
    return {ReadBytes(report).value_or(std::string()),
            start == std::wstring::npos ? std::wstring() : log.substr(start, end - start)};
}

// The rows of the report file that are findings: all but the header and the
// company's outcome line of a single run.
std::size_t FindingLines(const std::string& report) {
    const auto lines = static_cast<std::size_t>(std::count(report.begin(), report.end(), '\n'));
    return lines < 2 ? 0 : lines - 2;
}

// Alt and a letter, as the keyboard sends it to the control with the focus.
void PressAlt(HWND dialog, wchar_t letter) {
    PostMessageW(FocusOf(dialog), WM_SYSCHAR, letter, 0x20000001);
}

bool FocusOn(HWND dialog, int id) {
    return WaitUntil([&] { return FocusOf(dialog) == GetDlgItem(dialog, id); }, kStepTimeout);
}

// The file-name field of the (older-layout or newer-layout) file dialog.
HWND FileNameField(HWND fileDialog) {
    if (HWND edit = GetDlgItem(fileDialog, 0x480)) return edit;
    return GetDlgItem(fileDialog, 0x47C);
}

// Types `path` into the save dialog and confirms it, also the question
// whether to replace an existing file.
void SaveAs(HWND saveDialog, const std::wstring& path) {
    SetItemText(saveDialog, GetDlgCtrlID(FileNameField(saveDialog)), path);
    Click(saveDialog, IDOK);
    if (std::filesystem::exists(path)) {
        const HWND replace = WaitOwnedDialog(saveDialog);
        ASSERT_TRUE(replace) << "no question whether to replace " << path;
        Click(replace, IDYES);
    }
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(saveDialog); }, kStepTimeout));
}

TEST(Standalone, FindingsListAndSavedReportMatchTheCommandLine) {
    const std::filesystem::path input = CopySamples(L"変換結果");
    const std::filesystem::path outputFolder = FreshFolder(L"変換結果の出力");
    const CommandLineReport expected = RunCommandLine(input, outputFolder);
    ASSERT_FALSE(expected.bytes.empty()) << "kw39pcaconv.exe wrote no report";
    ASSERT_GT(FindingLines(expected.bytes), 0u) << "the sample should have findings";

    AppSession app;
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);
    EXPECT_EQ(ItemText(dlg, IDC_FINDINGS), L"変換結果(&R)...");
    EXPECT_FALSE(ItemEnabled(dlg, IDC_FINDINGS));
    SetItemText(dlg, IDC_YEAR, L"8");
    FillInputs(dlg, input);
    SetItemText(dlg, IDC_OUTPUT_PATH, DocumentIn(outputFolder).wstring());

    // Before a run Alt+R is "実行(&R)" alone, and presses it.
    PressAlt(dlg, L'r');
    MessageBoxSeen box = WaitMessageBox(dlg);
    EXPECT_EQ(box.text, L"処理を開始します。\nよろしいですか？");
    ASSERT_TRUE(Answer(box, IDOK));
    box = WaitMessageBox(dlg);
    EXPECT_EQ(box.text, L"正常に終了しました。");
    ASSERT_TRUE(Answer(box, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return ItemEnabled(dlg, IDC_FINDINGS); }, kStepTimeout));
    EXPECT_TRUE(SaveWindowPng(dlg, ScreenshotPath(L"findings-button")));

    // Now two buttons share it: it moves the focus between them and presses neither.
    PressAlt(dlg, L'r');
    EXPECT_TRUE(FocusOn(dlg, IDC_FINDINGS));
    PressAlt(dlg, L'R');
    EXPECT_TRUE(FocusOn(dlg, IDC_EXECUTE));
    PumpMessages(500);
    EXPECT_FALSE(FindOwnedDialog(dlg)) << "a shared mnemonic pressed a button";

    Click(dlg, IDC_FINDINGS);
    const HWND findings = WaitOwnedDialog(dlg, kFindingsTitle);
    ASSERT_TRUE(findings) << "no findings dialog";
    const HWND list = GetDlgItem(findings, IDC_FINDINGS_LIST);
    wchar_t className[64] = {};
    GetClassNameW(list, className, 64);
    EXPECT_EQ(std::wstring(className), L"SysListView32");
    EXPECT_EQ(ListRowCount(list), FindingLines(expected.bytes));
    EXPECT_EQ(ListColumnCount(list), 4u);  // 社員コード, 氏名, 種類, 内容
    EXPECT_EQ(ItemText(findings, IDC_FINDINGS_SUMMARY), expected.countLine);
    EXPECT_TRUE(SaveWindowPng(findings, ScreenshotPath(L"findings")));

    // Saved from the list, the report is the command line's, byte for byte.
    Click(findings, IDC_FINDINGS_SAVE);
    HWND save = WaitOwnedDialog(findings, kSaveTitle);
    ASSERT_TRUE(save) << "no save dialog";
    EXPECT_EQ(TextOf(FileNameField(save)), L"0001株式会社ソラマメ&ハッカ商会_報告.csv");
    SaveAs(save, L"0001株式会社ソラマメ&ハッカ商会_報告.csv");
    const std::filesystem::path saved = outputFolder / L"0001株式会社ソラマメ&ハッカ商会_報告.csv";
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(saved); }, kStepTimeout));
    EXPECT_EQ(ReadBytes(saved), std::optional<std::string>(expected.bytes));

    // Never over a file of the run.
    const std::filesystem::path employees = input / L"KOJINQ.CSV";
    const auto employeeBytes = ReadBytes(employees);
    Click(findings, IDC_FINDINGS_SAVE);
    save = WaitOwnedDialog(findings, kSaveTitle);
    ASSERT_TRUE(save);
    SaveAs(save, employees.wstring());
    box = WaitMessageBox(findings);
    EXPECT_EQ(box.text,
              L"報告ファイルに、社員情報と同じファイルが指定されています。"
              L"別のファイル名を指定してください。\n\n報告ファイル: " +
                  employees.wstring() + L"\n社員情報: " + employees.wstring());
    ASSERT_TRUE(Answer(box, IDOK));
    EXPECT_EQ(ReadBytes(employees), employeeBytes);

    Click(findings, IDCANCEL);  // "閉じる"
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(findings); }, kStepTimeout));
    EXPECT_TRUE(ItemEnabled(dlg, IDC_FINDINGS));
    Click(dlg, IDC_CLEAR);
    EXPECT_TRUE(WaitUntil([&] { return !ItemEnabled(dlg, IDC_FINDINGS); }, kStepTimeout));

    Click(dlg, IDCANCEL);
    EXPECT_TRUE(app.Process().WaitExit(kStepTimeout));
}

}  // namespace
}  // namespace kw39::test
