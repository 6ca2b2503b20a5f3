#include "app/main_dialog.h"

#include <shellapi.h>

#include <array>

#include "app/about_dialog.h"
#include "app/file_dialogs.h"
#include "app/resource.h"
#include "app/wait_cursor.h"
#include "app/win_text.h"
#include "platform/encoding_win.h"
#include "run/execute_command.h"
#include "run/folder_selection.h"
#include "run/input_slots.h"
#include "run/run_description.h"
#include "run/validate_input.h"

namespace kw39::app {

namespace {

// The path box and the browse button of each input slot, in slot order.
struct SlotControls {
    int nEditId;
    int nBrowseId;
};
constexpr std::array<SlotControls, kSlotCount> kSlotControls = {{
    {IDC_COMPANY_PATH, IDC_COMPANY_BROWSE},
    {IDC_PAYEE_PATH, IDC_PAYEE_BROWSE},
    {IDC_DEPARTMENT_PATH, IDC_DEPARTMENT_BROWSE},
    {IDC_EMPLOYEE_PATH, IDC_EMPLOYEE_BROWSE},
    {IDC_MONTHLY_PATH, IDC_MONTHLY_BROWSE},
    {IDC_YEAREND_PATH, IDC_YEAREND_BROWSE},
}};

HICON LoadAppIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                         IMAGE_ICON, GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_SHARED));
}

bool IsPathBox(int id) {
    if (id == IDC_OUTPUT_PATH) return true;
    for (const SlotControls& slot : kSlotControls)
        if (slot.nEditId == id) return true;
    return false;
}

// Sets a flag for its lifetime.
class ScopedFlag {
  public:
    explicit ScopedFlag(bool& flag) : m_bFlag(flag) { m_bFlag = true; }
    ~ScopedFlag() { m_bFlag = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

  private:
    bool& m_bFlag;
};

}  // namespace

CKw39PCAConvDlg::CKw39PCAConvDlg(const LaunchContext& launch)
    : CModalDialog(IDD_KW39PCACONV_DIALOG), m_launch(launch) {}

std::string CKw39PCAConvDlg::ReadControlText(int id) {
    return platform::WideToCp932Lossy(ItemText(id));
}

RunRequest CKw39PCAConvDlg::ReadRequest() {
    RunRequest request;
    request.yearText = ReadControlText(IDC_YEAR);
    request.mode = IsDlgButtonChecked(Handle(), IDC_RADIO_STANDARD) == BST_CHECKED ? kModeStandard
                                                                                   : kModeSimple;
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        request.inputPaths[slot] = CorePath(ItemText(kSlotControls[slot].nEditId));
    }
    request.outputPath = CorePath(ItemText(IDC_OUTPUT_PATH));
    request.launch = m_launch;
    return request;
}

MessageAnswer CKw39PCAConvDlg::ShowMessage(const std::string& text, MessageStyle style) {
    if (!m_bRunning) return ShowMessageBox(Handle(), platform::Cp932ToWideLossy(text), style);
    CWaitCursor::Pause();
    const MessageAnswer answer = ShowMessageBox(Handle(), platform::Cp932ToWideLossy(text), style);
    CWaitCursor::Resume();
    return answer;
}

void CKw39PCAConvDlg::FocusField(RunField field, std::size_t slot) {
    switch (field) {
        case RunField::Year:
            FocusItem(IDC_YEAR);
            break;
        case RunField::Input:
            FocusItem(kSlotControls[slot].nBrowseId);
            break;
        case RunField::Output:
            FocusItem(IDC_OUTPUT_BROWSE);
            break;
        case RunField::None:
            break;
    }
}

void CKw39PCAConvDlg::DoDataExchange(bool save) {
    ExchangeRadio(save, IDC_RADIO_STANDARD, IDC_RADIO_SIMPLE, m_nMode);
}

bool CKw39PCAConvDlg::OnInitDialog() {
    if (HMENU systemMenu = GetSystemMenu(Handle(), FALSE)) {
        const std::wstring aboutText = LoadResourceString(IDS_ABOUTBOX);
        if (!aboutText.empty()) {
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
        }
    }

    m_hIcon = LoadAppIcon(SM_CXICON, SM_CYICON);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadAppIcon(SM_CXSMICON, SM_CYSMICON)));

    // Before any path is set: setting one refreshes the box's tooltip.
    m_pathBoxes.Create(Handle());
    for (const SlotControls& slot : kSlotControls) m_pathBoxes.Add(Item(slot.nEditId));
    m_pathBoxes.Add(Item(IDC_OUTPUT_PATH));

    if (m_launch.launchCode == kLaunchHosted) {
        // The host fixes the output file.
        for (int id : {IDC_OUTPUT_BROWSE, IDC_OUTPUT_GROUP, IDC_OUTPUT_LABEL, IDC_OUTPUT_PATH})
            EnableItem(id, false);
        SetItemText(IDC_OUTPUT_PATH, BoxPath(m_launch.hostOutputPath));
        SetItemText(IDC_GUIDANCE, CatalogueText(MessageId::GuidanceHosted));
    } else {
        SetItemText(IDC_GUIDANCE, CatalogueText(MessageId::GuidanceStandalone));
    }

    SetItemText(IDC_YEAR, platform::Cp932ToWideLossy(m_launch.defaultYear));
    m_mnemonics.emplace(Handle());
    return true;
}

bool CKw39PCAConvDlg::OnCommand(int id, int notifyCode) {
    // Whoever set the text (a file dialog, the folder selection, Clear, the
    // host's path), the box shows the file name and the tooltip the whole path.
    if (notifyCode == EN_CHANGE && IsPathBox(id)) {
        m_pathBoxes.Refresh(Item(id));
        return true;
    }
    if (notifyCode != BN_CLICKED) return false;
    switch (id) {
        case IDC_EXECUTE:
            OnExecute();
            return true;
        case IDC_HELP_BUTTON:
            OnHelp();
            return true;
        case IDC_FINDINGS:
            OnFindings();
            return true;
        case IDC_CLEAR:
            OnClear();
            return true;
        case IDC_SELECT_FOLDER:
            OnSelectFolder();
            return true;
        case IDC_OUTPUT_BROWSE:
            OnSaveAs();
            return true;
        default:
            break;
    }
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        if (kSlotControls[slot].nBrowseId == id) {
            OnBrowseInput(slot);
            return true;
        }
    }
    return CModalDialog::OnCommand(id, notifyCode);
}

bool CKw39PCAConvDlg::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
    CAboutDlg().DoModal(Handle());
    return true;
}

void CKw39PCAConvDlg::OnExecute() {
    ForgetFindings();
    const CWaitCursor wait;
    const ScopedFlag running(m_bRunning);
    const RunRequest request = ReadRequest();
    const auto answer = [this](const Question& question) {
        const MessageAnswer given = ShowMessage(question.message.text, question.message.style);
        return given == MessageAnswer::Ok || given == MessageAnswer::Yes;
    };
    const RunResult result = ExecuteRun(request, answer);
    for (const Message& message : result.messages) ShowMessage(message.text, message.style);
    if (result.field != RunField::None && result.focus) FocusField(result.field, result.slot);
    // Hosted: a confirmed run hands control back to the host whatever it
    // wrote; after a raised failure the dialog stays open.
    if (m_launch.launchCode == kLaunchHosted &&
        (result.Written() || result.outcome == CommandOutcome::NothingWritten)) {
        EndDialog(IDOK);
    }
    if (!result.Written()) return;
    m_bDocumentWritten = true;
    // The outcome line says what the command line's report says of the run.
    RunFindings run;
    run.report.Add({}, result, DescribeRun(request));
    run.request = request;
    m_findings = std::move(run);
    EnableItem(IDC_FINDINGS, true);
}

void CKw39PCAConvDlg::OnBrowseInput(std::size_t slot) {
    const int editId = kSlotControls[slot].nEditId;
    const FileDialogOptions options{CatalogueText(MessageId::ChooseInputTitle),
                                    CatalogueText(MessageId::CsvFilter), L"CSV", ItemText(editId)};
    const auto chosen = AskOpenFile(Handle(), options);
    if (!chosen || !PathForCore(Handle(), *chosen)) return;
    SetItemText(editId, *chosen);
}

void CKw39PCAConvDlg::OnSaveAs() {
    std::wstring initialName = ItemText(IDC_OUTPUT_PATH);
    if (initialName.empty()) {
        const OutputNameProposal proposal =
            ProposeOutputFileName(CorePath(ItemText(IDC_COMPANY_PATH)));
        if (proposal.name.empty()) {
            const CheckResult& failure = proposal.failure;
            ShowMessage(failure.message->text, failure.message->style);
            FocusField(failure.field, failure.slot);
            return;
        }
        // In the company file's folder, not wherever a file dialog was used last.
        initialName =
            FolderOf(ItemText(IDC_COMPANY_PATH)) + platform::Cp932ToWideLossy(proposal.name);
    }
    const FileDialogOptions options{CatalogueText(MessageId::SaveAsTitle),
                                    CatalogueText(MessageId::XmlFilter), L"XML", initialName};
    const auto chosen = AskSaveFile(Handle(), options);
    if (!chosen || !PathForCore(Handle(), *chosen)) return;
    SetItemText(IDC_OUTPUT_PATH, *chosen);
}

void CKw39PCAConvDlg::OnSelectFolder() {
    const auto folder =
        AskFolder(Handle(), CatalogueText(MessageId::FolderInstruction), m_strLastFolder);
    if (!folder) return;
    m_strLastFolder = *folder;
    const auto core = PathForCore(Handle(), *folder);
    if (!core) return;
    const FolderSelection selection = SelectFilesFromFolder(*core);
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        if (const auto& path = selection.paths[slot])
            SetItemText(kSlotControls[slot].nEditId, BoxPath(*path));
    }
    if (selection.message) ShowMessage(selection.message->text, selection.message->style);
}

void CKw39PCAConvDlg::OnClear() {
    ForgetFindings();
    for (const SlotControls& slot : kSlotControls) SetItemText(slot.nEditId, {});
    if (m_launch.launchCode == kLaunchStandalone) SetItemText(IDC_OUTPUT_PATH, {});
}

void CKw39PCAConvDlg::OnHelp() {
    std::wstring path(512, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    const std::size_t slash = path.rfind(L'\\');
    path.resize(slash == std::wstring::npos ? 0 : slash + 1);
    path += L"ONLINEHELP.PDF";
    // A missing help file or viewer is not reported.
    ShellExecuteW(Handle(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CKw39PCAConvDlg::OnFindings() {
    if (!m_findings) return;
    CFindingsDlg(*m_findings, ProposedReportPath(ReadRequest(), *m_findings)).DoModal(Handle());
}

void CKw39PCAConvDlg::ForgetFindings() {
    m_findings.reset();
    // A disabled button must not keep the focus, or the keyboard loses its place.
    if (GetFocus() == Item(IDC_FINDINGS)) FocusItem(IDC_EXECUTE);
    EnableItem(IDC_FINDINGS, false);
}

}  // namespace kw39::app
