// The Windows file system behind the core's FileSystem interface, on real
// files in a temporary folder. Paths are CP932 whatever the system code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "platform/encoding_win.h"
#include "platform/file_system.h"
#include "platform/io_error.h"

namespace kw39::platform {
namespace {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, base);
        m_wide = std::wstring(base) + L"kw39 テスト " + std::to_wstring(GetCurrentProcessId());
        RemoveTree(m_wide);
        CreateDirectoryW(m_wide.c_str(), nullptr);
        m_path = WideToCp932(m_wide).value();
    }
    ~TempFolder() { RemoveTree(m_wide); }
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

  private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW entry{};
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring path = folder + L"\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    DeleteFileW(path.c_str());
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring m_wide;
    std::string m_path;
};

void WriteFile(FileSystem& fs, const std::string& path, const std::string& bytes) {
    auto file = fs.CreateNew(path);
    ASSERT_TRUE(file) << path;
    file->Write(bytes.data(), bytes.size());
    file->Close();
}

TEST(FileSystemWin, WritesAndReadsBytesUnchanged) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    const std::string path = dir / "社員データ.XML";
    const std::string bytes = "<A>表\r\n\n\x1A" + std::string(100000, 'x');
    WriteFile(fs, path, bytes);
    EXPECT_EQ(ReadWholeFile(fs, path), std::optional<std::string>(bytes));
    // The Japanese name is the real name on disk, not an ANSI-code-page guess.
    const std::wstring widePath = Cp932ToWide(path).value();
    EXPECT_NE(GetFileAttributesW(widePath.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FileSystemWin, StatTellsFilesFoldersAndUnreachablePaths) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    WriteFile(fs, dir / "KOJINQ.CSV", "12345");

    const auto file = fs.Stat(dir / "KOJINQ.CSV");
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->isDirectory);
    EXPECT_EQ(file->size, 5u);
    const auto folder = fs.Stat(dir.Path());
    ASSERT_TRUE(folder);
    EXPECT_TRUE(folder->isDirectory);

    EXPECT_FALSE(fs.Stat(dir / "MISSING.CSV"));
    EXPECT_FALSE(fs.Stat(""));
    EXPECT_FALSE(fs.Stat(dir / "A\x81"));  // not CP932: names no file
    std::string longPath = dir / "";
    longPath += std::string(kMaxPathBytes - longPath.size(), 'a');
    EXPECT_FALSE(fs.Stat(longPath));  // 260 bytes: unreachable by rule
    EXPECT_FALSE(fs.OpenRead(dir.Path())) << "a folder opened for reading";
    EXPECT_FALSE(fs.OpenRead(dir / "MISSING.CSV"));
}

TEST(FileSystemWin, ExclusiveProbeSeesOtherHoldersAndKeepsContent) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    const std::string path = dir / "出力.XML";
    WriteFile(fs, path, "old content");
    EXPECT_TRUE(fs.ProbeExclusiveWrite(path));
    EXPECT_EQ(ReadWholeFile(fs, path), std::optional<std::string>("old content"));

    // Another program holding the file open, even only for reading.
    const std::wstring wide = Cp932ToWide(path).value();
    HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(fs.ProbeExclusiveWrite(path));
    CloseHandle(held);
    EXPECT_TRUE(fs.ProbeExclusiveWrite(path));

    EXPECT_FALSE(fs.ProbeExclusiveWrite(dir.Path())) << "a folder passed the probe";
}

TEST(FileSystemWin, ListsCsvFilesInAnyCaseOnly) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    for (const char* name : {"KAISHAQ.CSV", "kojinq.csv", "月次GETUJIQ.Csv", "NOTES.TXT",
                             "DATA.CSVX", "BUMONQ.CSV.BAK"})
        WriteFile(fs, dir / name, "x");
    CreateDirectoryW(Cp932ToWide(dir / "SUB").value().c_str(), nullptr);
    WriteFile(fs, dir / "SUB\\NOUFUQ.CSV", "x");

    std::vector<std::string> names = fs.ListCsvFiles(dir.Path()).value();
    std::sort(names.begin(), names.end());
    const std::vector<std::string> expected = {"KAISHAQ.CSV", "kojinq.csv", "月次GETUJIQ.Csv"};
    std::vector<std::string> sortedExpected = expected;
    std::sort(sortedExpected.begin(), sortedExpected.end());
    EXPECT_EQ(names, sortedExpected);
    EXPECT_FALSE(fs.ListCsvFiles(dir / "MISSING"));
}

TEST(FileSystemWin, NameOutsideCp932IsListedWithPlaceholder) {
    TempFolder dir;
    const std::wstring wideName = Cp932ToWide(dir.Path()).value() + L"\\KOJINQ_caf\x00E9.CSV";
    HANDLE file = CreateFileW(wideName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    const std::vector<std::string> names = RealFileSystem().ListCsvFiles(dir.Path()).value();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "KOJINQ_caf?.CSV");
    // The placeholder never opens some other file.
    EXPECT_FALSE(RealFileSystem().Stat(dir / names[0]));
}

TEST(FileSystemWin, CreateNewIsExclusiveAndReplaceKeepsAttributes) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    WriteFile(fs, dir / "new.tmp", "new");
    WriteFile(fs, dir / "年調.XML", "older and longer");
    const std::wstring wideTarget = Cp932ToWide(dir / "年調.XML").value();
    SetFileAttributesW(wideTarget.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(fs.CreateNew(dir / "年調.XML"), nullptr);  // taken: neither opened nor truncated
    fs.Replace(dir / "new.tmp", dir / "年調.XML");
    EXPECT_EQ(ReadWholeFile(fs, dir / "年調.XML"), std::optional<std::string>("new"));
    // Wine's ReplaceFileW moves the new file without the old one's attributes;
    // Windows keeps them (and the security descriptor).
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    if (!wine) {
        EXPECT_TRUE(GetFileAttributesW(wideTarget.c_str()) & FILE_ATTRIBUTE_HIDDEN)
            << "the replaced file's attributes were lost";
    }
    EXPECT_FALSE(fs.Stat(dir / "new.tmp"));
    EXPECT_THROW(fs.Replace(dir / "gone.tmp", dir / "年調.XML"), IoError);

    fs.Remove(dir / "年調.XML");
    EXPECT_FALSE(fs.Stat(dir / "年調.XML"));
    EXPECT_THROW(fs.CreateNew(dir / "NO SUCH FOLDER\\x.XML"), IoError);

    // The two CP932 codes of 髙 name one file, as the batch compares them.
    WriteFile(fs, dir / "髙橋.XML", "x");
    EXPECT_TRUE(fs.SameFile(dir / "髙橋.XML", dir / "\xEE\xE0橋.xml"));
    EXPECT_EQ(FileNameKey("髙橋.XML"), FileNameKey("\xEE\xE0橋.xml"));
}

TEST(FileSystemWin, SameFileSeesThroughSpellings) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    WriteFile(fs, dir / "GETUJIQ.CSV", "monthly");
    WriteFile(fs, dir / "KOJINQ.CSV", "monthly");  // same bytes, another file
    EXPECT_TRUE(fs.SameFile(dir / "GETUJIQ.CSV", dir / "getujiq.csv"));
    EXPECT_TRUE(fs.SameFile(dir / "GETUJIQ.CSV", dir.Path() + "\\.\\GETUJIQ.CSV"));
    EXPECT_FALSE(fs.SameFile(dir / "GETUJIQ.CSV", dir / "KOJINQ.CSV"));
    EXPECT_FALSE(fs.SameFile(dir / "GETUJIQ.CSV", dir / "out.xml"));  // not there yet
    // Held open by another program without sharing for writing: still identified.
    const auto wide = Cp932ToWide(dir / "GETUJIQ.CSV").value();
    HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(fs.SameFile(dir / "GETUJIQ.CSV", dir / "Getujiq.Csv"));
    CloseHandle(held);
}

}  // namespace
}  // namespace kw39::platform
