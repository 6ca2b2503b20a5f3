#include "driver/driver_env.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include "platform/version.h"
#include "run/launch_context.h"

namespace kw39::test {

std::wstring Env(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(got);
    return value;
}

std::filesystem::path WindowsPath(const std::wstring& path) {
    if (path.empty() || path[0] != L'/') return path;
    std::wstring windows = L"Z:" + path;
    for (wchar_t& c : windows)
        if (c == L'/') c = L'\\';
    return windows;
}

const DriverPaths& Paths() {
    static const DriverPaths paths{
        WindowsPath(Env(L"KW39_APP_EXE")), WindowsPath(Env(L"KW39_CLI_EXE")),
        WindowsPath(Env(L"KW39_SAMPLES")), WindowsPath(Env(L"KW39_WORK_DIR"))};
    return paths;
}

std::filesystem::path FreshFolder(const std::wstring& name) {
    const std::filesystem::path folder = Paths().work / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    return folder;
}

std::optional<std::string> ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring ExpectedDefaultYear() {
    // The year text is plain ASCII digits, the same in CP932 and UTF-16.
    const std::string year = DefaultYear(platform::Today());
    return std::wstring(year.begin(), year.end());
}

}  // namespace kw39::test
