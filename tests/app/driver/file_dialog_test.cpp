// The file dialogs and the folder browser of the main dialog, worked through
// their own controls as a user would.
#include <gtest/gtest.h>

#include <vector>

#include "driver/app_session.h"
#include "driver/driver_env.h"

namespace kw39::test {
namespace {

const std::wstring kOpenTitle = L"外部マスターを選択(CSVファイル)";
const std::wstring kSaveTitle = L"名前を付けて保存";
// The file-name field of a common file dialog: an edit box (edt1) in the
// older layout, a combo box (cmb13) in the newer one.
HWND FileNameField(HWND fileDialog) {
    if (HWND edit = GetDlgItem(fileDialog, 0x480)) return edit;
    return GetDlgItem(fileDialog, 0x47C);
}

// Types `path` into the file dialog and confirms it.
void ChooseFile(HWND fileDialog, const std::wstring& path) {
    const HWND field = FileNameField(fileDialog);
    ASSERT_TRUE(field) << "no file-name field";
    SetItemText(fileDialog, GetDlgCtrlID(field), path);
    Click(fileDialog, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(fileDialog); }, kStepTimeout));
}

// The display names of the file-type list (cmb1).
std::vector<std::wstring> FileTypes(HWND fileDialog) {
    const HWND list = GetDlgItem(fileDialog, 0x470);
    std::vector<std::wstring> names;
    DWORD_PTR count = 0;
    if (!list || !SendMessageTimeoutW(list, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count))
        return names;
    for (WPARAM i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &length);
        std::wstring name(length + 1, L'\0');
        SendMessageTimeoutW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name.data()),
                            SMTO_ABORTIFHUNG, 5000, &length);
        name.resize(length);
        names.push_back(name);
    }
    return names;
}

void CancelDialog(HWND window) {
    Click(window, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }, kStepTimeout));
}

TEST(Standalone, FileDialogsFillThePathBoxes) {
    const std::filesystem::path input = CopySamples(L"選択");
    // A second folder, so that a file dialog was last used elsewhere than in
    // the company file's folder.
    const std::filesystem::path other = input / L"別の月";
    std::filesystem::create_directory(other);
    std::filesystem::copy_file(input / L"KOJINQ.CSV", other / L"KOJINQ.CSV");
    const std::filesystem::path outside = other / L"KOJINQ_caf\x00E9\x301C.CSV";
    std::filesystem::copy_file(input / L"KOJINQ.CSV", outside);
    AppSession app;
    const HWND dlg = app.Dialog();
    ASSERT_TRUE(dlg);

    Click(dlg, IDC_COMPANY_BROWSE);
    HWND open = WaitOwnedDialog(dlg, kOpenTitle);
    ASSERT_TRUE(open) << "no file-open dialog with its title";
    EXPECT_EQ(FileTypes(open),
              (std::vector<std::wstring>{L"CSVﾌｧｲﾙ(*.CSV) ", L"すべてのﾌｧｲﾙ(*.*) "}));
    ChooseFile(open, (input / L"KAISHAQ.CSV").wstring());
    EXPECT_TRUE(WaitUntil(
        [&] { return ItemText(dlg, IDC_COMPANY_PATH) == (input / L"KAISHAQ.CSV").wstring(); },
        kStepTimeout));

    // A name without a CP932 spelling is taken as it is, not mangled.
    Click(dlg, IDC_EMPLOYEE_BROWSE);
    open = WaitOwnedDialog(dlg, kOpenTitle);
    ASSERT_TRUE(open);
    ChooseFile(open, outside.wstring());
    EXPECT_TRUE(WaitUntil([&] { return ItemText(dlg, IDC_EMPLOYEE_PATH) == outside.wstring(); },
                          kStepTimeout))
        << "chosen: " << ItemText(dlg, IDC_EMPLOYEE_PATH);

    // Save-As proposes company code and name from the company file, in the
    // company file's folder: accepted as it is, the file goes there.
    Click(dlg, IDC_OUTPUT_BROWSE);
    HWND save = WaitOwnedDialog(dlg, kSaveTitle);
    ASSERT_TRUE(save) << "no save dialog";
    EXPECT_EQ(FileTypes(save),
              (std::vector<std::wstring>{L"XMLﾌｧｲﾙ(*.XML) ", L"すべてのﾌｧｲﾙ(*.*) "}));
    const std::wstring proposed = L"0001株式会社ソラマメ&ハッカ商会.XML";
    EXPECT_EQ(TextOf(FileNameField(save)), proposed);
    ChooseFile(save, proposed);
    EXPECT_TRUE(
        WaitUntil([&] { return ItemText(dlg, IDC_OUTPUT_PATH) == (input / proposed).wstring(); },
                  kStepTimeout))
        << "saved to " << ItemText(dlg, IDC_OUTPUT_PATH);

    Click(dlg, IDC_EMPLOYEE_BROWSE);
    open = WaitOwnedDialog(dlg, kOpenTitle);
    ASSERT_TRUE(open);
    ChooseFile(open, (other / L"KOJINQ.CSV").wstring());
    EXPECT_TRUE(WaitUntil(
        [&] { return ItemText(dlg, IDC_EMPLOYEE_PATH) == (other / L"KOJINQ.CSV").wstring(); },
        kStepTimeout));

    // With an output path, Save-As starts in its folder.
    Click(dlg, IDC_OUTPUT_BROWSE);
    save = WaitOwnedDialog(dlg, kSaveTitle);
    ASSERT_TRUE(save);
    ChooseFile(save, L"出力.XML");
    const std::filesystem::path output = input / L"出力.XML";
    EXPECT_TRUE(
        WaitUntil([&] { return ItemText(dlg, IDC_OUTPUT_PATH) == output.wstring(); }, kStepTimeout))
        << "saved to " << ItemText(dlg, IDC_OUTPUT_PATH);

    // Cancel changes nothing.
    Click(dlg, IDC_PAYEE_BROWSE);
    open = WaitOwnedDialog(dlg, kOpenTitle);
    ASSERT_TRUE(open);
    CancelDialog(open);
    EXPECT_EQ(ItemText(dlg, IDC_PAYEE_PATH), L"");

    // The folder browser shows its instruction; cancelling it changes nothing.
    Click(dlg, IDC_SELECT_FOLDER);
    const HWND browser = WaitOwnedDialog(dlg);
    ASSERT_TRUE(browser) << "no folder browser";
    bool instructionShown = false;
    for (HWND child = GetWindow(browser, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        instructionShown =
            instructionShown ||
            TextOf(child).find(L"PCA給与のマスターファイルが格納されたフォルダを指定します") == 0;
    EXPECT_TRUE(instructionShown);
    CancelDialog(browser);
    EXPECT_EQ(ItemText(dlg, IDC_COMPANY_PATH), (input / L"KAISHAQ.CSV").wstring());
    EXPECT_EQ(ItemText(dlg, IDC_PAYEE_PATH), L"");
}

}  // namespace
}  // namespace kw39::test
