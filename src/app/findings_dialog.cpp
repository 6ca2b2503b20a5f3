#include "app/findings_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/file_dialogs.h"
#include "app/resource.h"
#include "app/win_text.h"
#include "platform/encoding_win.h"
#include "run/findings_list.h"
#include "run/input_slots.h"
#include "run/output_location.h"
#include "run/report_file.h"
#include "run/report_guard.h"
#include "run/validate_input.h"

namespace kw39::app {

namespace {

// Widths of the first three columns in dialog units; the last takes the rest
// of the list's width, or what its longest text needs.
constexpr int kColumnWidths[] = {44, 70, 64};

int DialogUnitsToPixels(HWND dialog, int width) {
    RECT rect{0, 0, width, 0};
    MapDialogRect(dialog, &rect);
    return rect.right;
}

void AddColumns(HWND dialog, HWND list) {
    for (std::size_t column = 0; column < kFindingsColumns.size(); ++column) {
        std::wstring title = platform::Cp932ToWideLossy(std::string(kFindingsColumns[column]));
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.pszText = title.data();
        info.cx = column < std::size(kColumnWidths)
                      ? DialogUnitsToPixels(dialog, kColumnWidths[column])
                      : 0;
        SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    }
}

void AddRow(HWND list, int index, const FindingsRow& row) {
    for (std::size_t column = 0; column < row.size(); ++column) {
        std::wstring text = platform::Cp932ToWideLossy(row[column]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.iSubItem = static_cast<int>(column);
        item.pszText = text.data();
        SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0,
                     reinterpret_cast<LPARAM>(&item));
    }
}

// The last column as wide as its longest text, at least up to the list's edge.
void FitLastColumn(HWND list) {
    const int last = static_cast<int>(kFindingsColumns.size()) - 1;
    RECT client{};
    GetClientRect(list, &client);
    int used = 0;
    for (int column = 0; column < last; ++column)
        used += static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, last, LVSCW_AUTOSIZE);
    const auto needed = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, last, 0));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, last, std::max<LONG>(needed, client.right - used));
}

}  // namespace

std::wstring ProposedReportPath(const RunRequest& request, const RunFindings& findings) {
    std::string documentName;
    try {
        documentName = ProposeOutputFileName(request.inputPaths[0]).name;
    } catch (const std::exception&) {
        // The company file changed since the run: the name of the export will do.
    }
    if (documentName.empty()) {
        const auto& companies = findings.report.Companies();
        documentName = companies.empty() ? std::string() : companies.back().companyName;
    }
    return FolderOf(BoxPath(request.outputPath)) +
           platform::Cp932ToWideLossy(ReportFileName(documentName));
}

CFindingsDlg::CFindingsDlg(const RunFindings& findings, std::wstring proposedPath)
    : CModalDialog(IDD_FINDINGS),
      m_findings(findings),
      m_strProposedPath(std::move(proposedPath)) {}

bool CFindingsDlg::OnInitDialog() {
    FillList();
    return true;
}

void CFindingsDlg::FillList() {
    const FindingsList list = ListFindings(m_findings.report);
    SetItemText(IDC_FINDINGS_SUMMARY, platform::Cp932ToWideLossy(list.summary));
    const HWND view = Item(IDC_FINDINGS_LIST);
    SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP);
    AddColumns(Handle(), view);
    for (std::size_t row = 0; row < list.rows.size(); ++row)
        AddRow(view, static_cast<int>(row), list.rows[row]);
    FitLastColumn(view);
}

bool CFindingsDlg::OnCommand(int id, int notifyCode) {
    if (id == IDC_FINDINGS_SAVE && notifyCode == BN_CLICKED) {
        OnSave();
        return true;
    }
    return CModalDialog::OnCommand(id, notifyCode);
}

void CFindingsDlg::OnSave() {
    const FileDialogOptions options{CatalogueText(platform::MessageId::SaveAsTitle),
                                    CatalogueText(platform::MessageId::CsvFilter), L"CSV",
                                    m_strProposedPath};
    const auto chosen = AskSaveFile(Handle(), options);
    if (!chosen) return;
    const auto path = PathForCore(Handle(), *chosen);
    if (!path) return;
    // The checks of the command line's --report; the place checked is the
    // place written, and the run's files are protected when it is put there.
    platform::FileSystem& fs = platform::RealFileSystem();
    platform::PinnedFiles pins;
    platform::PinnedFileSystem checkedFs(fs, pins);
    auto problem = CheckReportPlace(*path, fs, pins);
    if (!problem) problem = CheckReportApart(*path, m_findings.request, checkedFs);
    // A failure to write is one Error message; the old file stays as it was.
    if (!problem) problem = WriteReportFile(*path, m_findings.report, checkedFs);
    if (problem) {
        ShowMessageBox(Handle(), platform::Cp932ToWideLossy(problem->text), problem->style);
        return;
    }
    m_strProposedPath = *chosen;
}

}  // namespace kw39::app
