// What the driver is told by CTest through the environment, and small file
// helpers. Paths from a Linux build tree ("/work/...") are turned into the
// Windows form Wine maps them to ("Z:\work\...").
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kw39::test {

// The environment variable as text; empty when it is not set.
std::wstring Env(const wchar_t* name);

// A path as given (Windows form), or a Unix path in Wine's Z: form.
std::filesystem::path WindowsPath(const std::wstring& path);

struct DriverPaths {
    std::filesystem::path app;      // Kw39PCAConv.exe
    std::filesystem::path cli;      // kw39pcaconv.exe
    std::filesystem::path samples;  // the six PCA files of the demo company
    std::filesystem::path work;     // scratch space in the build tree
};

// The paths from KW39_APP_EXE, KW39_CLI_EXE, KW39_SAMPLES and KW39_WORK_DIR.
const DriverPaths& Paths();

// A fresh, empty folder `name` below the scratch space.
std::filesystem::path FreshFolder(const std::wstring& name);

std::optional<std::string> ReadBytes(const std::filesystem::path& file);

// The filing year the dialog proposes today, as text.
std::wstring ExpectedDefaultYear();

}  // namespace kw39::test
