// One running Kw39PCAConv.exe with its main dialog, plus what the dialog tests
// share: the expected texts and the six sample paths.
#pragma once

#include <windows.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "app/resource.h"
#include "driver/automation.h"

namespace kw39::test {

inline const std::wstring kTitle = L"OrvellefromPCA給与X";
inline const std::wstring kAboutTitle = L"OrvellefromPCA給与Xのﾊﾞｰｼﾞｮﾝ情報";

// Edit boxes of the six input slots, in slot order.
inline constexpr std::array<int, 6> kInputBoxes = {IDC_COMPANY_PATH,    IDC_PAYEE_PATH,
                                                   IDC_DEPARTMENT_PATH, IDC_EMPLOYEE_PATH,
                                                   IDC_MONTHLY_PATH,    IDC_YEAREND_PATH};
// The demo company's files in slot order.
inline constexpr std::array<const wchar_t*, 6> kSampleFiles = {
    L"KAISHAQ.CSV", L"NOUFUQ.CSV", L"BUMONQ.CSV", L"KOJINQ.CSV", L"GETUJIQ.CSV", L"NENCHOUQ.CSV"};

class AppSession {
  public:
    explicit AppSession(const std::wstring& arguments = {});
    HWND Dialog() const { return m_hDialog; }
    ChildProcess& Process() { return *m_process; }

  private:
    std::unique_ptr<ChildProcess> m_process;
    HWND m_hDialog = nullptr;
};

// Copies the demo company's files into a fresh folder `name` of the scratch space.
std::filesystem::path CopySamples(const std::wstring& name);

// Fills the six input boxes with the files of `folder`.
void FillInputs(HWND dialog, const std::filesystem::path& folder);

// The document kw39pcaconv.exe writes for the files of `folder`, or "" when it failed.
std::string CommandLineDocument(const std::filesystem::path& folder, const std::wstring& year,
                                const std::filesystem::path& output);

// Where a test keeps its screenshot, for a person to look at.
std::filesystem::path ScreenshotPath(const std::wstring& name);

}  // namespace kw39::test
