#include "driver/app_session.h"

#include "driver/driver_env.h"

namespace kw39::test {

AppSession::AppSession(const std::wstring& arguments)
    : m_process(std::make_unique<ChildProcess>(Paths().app.wstring(), arguments)) {
    if (m_process->Started()) m_hDialog = WaitProcessDialog(m_process->Id(), kTitle);
}

std::filesystem::path CopySamples(const std::wstring& name) {
    const std::filesystem::path folder = FreshFolder(name);
    for (const wchar_t* file : kSampleFiles)
        std::filesystem::copy_file(Paths().samples / file, folder / file);
    return folder;
}

void FillInputs(HWND dialog, const std::filesystem::path& folder) {
    for (std::size_t slot = 0; slot < kInputBoxes.size(); ++slot)
        SetItemText(dialog, kInputBoxes[slot], (folder / kSampleFiles[slot]).wstring());
}

std::string CommandLineDocument(const std::filesystem::path& folder, const std::wstring& year,
                                const std::filesystem::path& output) {
    const std::wstring arguments = L"--folder \"" + folder.wstring() + L"\" --year " + year +
                                   L" --yes --output \"" + output.wstring() + L"\"";
    const auto code = RunToEnd(Paths().cli.wstring(), arguments, kStartTimeout);
    if (!code || *code != 0) return {};
    return ReadBytes(output).value_or(std::string());
}

std::filesystem::path ScreenshotPath(const std::wstring& name) {
    return Paths().work / L"screenshots" / (name + Env(L"KW39_SCREENSHOT_SUFFIX") + L".png");
}

}  // namespace kw39::test
