// The Windows file system behind the core's FileSystem interface, on real
// files in a temporary folder. Paths are the UTF-16 names in UTF-8, whatever
// the system code page; wide literals spell them in the tests.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "platform/encoding_win.h"
#include "platform/file_system.h"
#include "platform/io_error.h"
#include "platform/native_path_win.h"
#include "support/read_through.h"

namespace kw39::platform {
namespace {

using test::ReadThrough;

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, base);
        m_wide = std::wstring(base) + L"kw39 テスト " + std::to_wstring(GetCurrentProcessId());
        RemoveTree(m_wide);
        CreateDirectoryW(m_wide.c_str(), nullptr);
        m_path = PathFromWide(m_wide).value();
    }
    ~TempFolder() { RemoveTree(m_wide); }
    const std::string& Path() const { return m_path; }
    const std::wstring& Wide() const { return m_wide; }
    std::string operator/(const std::wstring& name) const {
        return m_path + "\\" + PathFromWide(name).value();
    }

  private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW entry{};
        HANDLE find = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring path = folder + L"\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    DeleteFileW((L"\\\\?\\" + path).c_str());
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
        RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
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
    const std::string path = dir / L"社員データ.XML";
    const std::string bytes = "<A>表\r\n\n\x1A" + std::string(100000, 'x');
    WriteFile(fs, path, bytes);
    EXPECT_EQ(ReadThrough(fs, path), std::optional<std::string>(bytes));
    // The Japanese name is the real name on disk, not an ANSI-code-page guess.
    const std::wstring widePath = WidePath(path).value();
    EXPECT_NE(GetFileAttributesW(widePath.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FileSystemWin, StatTellsFilesFoldersAndUnreachablePaths) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    WriteFile(fs, dir / L"KOJINQ.CSV", "12345");

    const auto file = fs.Stat(dir / L"KOJINQ.CSV");
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->isDirectory);
    EXPECT_EQ(file->size, 5u);
    const auto folder = fs.Stat(dir.Path());
    ASSERT_TRUE(folder);
    EXPECT_TRUE(folder->isDirectory);

    EXPECT_FALSE(fs.Stat(dir / L"MISSING.CSV"));
    EXPECT_FALSE(fs.Stat(""));
    EXPECT_FALSE(fs.Stat(dir.Path() + "\\A\x81"));  // not UTF-8: names no file
    EXPECT_FALSE(fs.OpenRead(dir.Path())) << "a folder opened for reading";
    EXPECT_FALSE(fs.OpenRead(dir / L"MISSING.CSV"));
}

TEST(FileSystemWin, ExclusiveProbeSeesOtherHoldersAndKeepsContent) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    const std::string path = dir / L"出力.XML";
    WriteFile(fs, path, "old content");
    EXPECT_TRUE(fs.ProbeExclusiveWrite(path));
    EXPECT_EQ(ReadThrough(fs, path), std::optional<std::string>("old content"));

    // Another program holding the file open, even only for reading.
    const std::wstring wide = WidePath(path).value();
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
    for (const wchar_t* name : {L"KAISHAQ.CSV", L"kojinq.csv", L"月次GETUJIQ.Csv", L"NOTES.TXT",
                                L"DATA.CSVX", L"BUMONQ.CSV.BAK"})
        WriteFile(fs, dir / name, "x");
    CreateDirectoryW(WidePath(dir / L"SUB").value().c_str(), nullptr);
    WriteFile(fs, dir / L"SUB\\NOUFUQ.CSV", "x");

    std::vector<std::string> names = fs.ListCsvFiles(dir.Path()).value();
    std::sort(names.begin(), names.end());
    const std::vector<std::string> expected = {"KAISHAQ.CSV", "kojinq.csv",
                                               PathFromWide(L"月次GETUJIQ.Csv").value()};
    std::vector<std::string> sortedExpected = expected;
    std::sort(sortedExpected.begin(), sortedExpected.end());
    EXPECT_EQ(names, sortedExpected);
    EXPECT_FALSE(fs.ListCsvFiles(dir / L"MISSING"));
}

// Names that Shift_JIS cannot spell, or spells alike, are files of their own:
// listed, read and written under their real names, and shown with an escape.
TEST(FileSystemWin, NamesOutsideShiftJisAreFilesOfTheirOwn) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    const std::string fullwidth = dir / L"x\xFF5E.xml";  // FULLWIDTH TILDE, in CP932
    const std::string wave = dir / L"x\x301C.xml";       // WAVE DASH, not in CP932
    const std::string emoji = dir / L"KOJINQ_\U0001F600.CSV";
    WriteFile(fs, fullwidth, "keep");
    WriteFile(fs, wave, "wave");
    WriteFile(fs, emoji, "emoji");
    EXPECT_EQ(ReadThrough(fs, fullwidth), std::optional<std::string>("keep"));
    EXPECT_EQ(ReadThrough(fs, wave), std::optional<std::string>("wave"));
    EXPECT_FALSE(fs.SameFile(fullwidth, wave));
    EXPECT_FALSE(SameFileName(NameOfPath(fullwidth), NameOfPath(wave)));
    EXPECT_TRUE(SameFileName(NameOfPath(wave), PathFromWide(L"X\x301C.XML").value()));

    const std::vector<std::string> names = fs.ListCsvFiles(dir.Path()).value();
    ASSERT_EQ(names, std::vector<std::string>{NameOfPath(emoji)});
    EXPECT_EQ(ReadThrough(fs, JoinPath(dir.Path(), names[0])), std::optional<std::string>("emoji"));

    // Shown in Shift_JIS with an escape no Windows name can hold.
    EXPECT_EQ(ShownPath(NameOfPath(wave)), "x<U+301C>.xml");
    EXPECT_EQ(ShownPath(NameOfPath(fullwidth)), "x\x81\x60.xml");
    EXPECT_EQ(ShownPath(NameOfPath(emoji)), "KOJINQ_<U+1F600>.CSV");
    EXPECT_EQ(ShownPath("a\x1B\xFF"), "a<x1B><xFF>");
}

// The classic limit is the input check's alone, counted in Shift_JIS bytes;
// every other step reaches a file however long its path.
TEST(FileSystemWin, LongPathsReachTheRealFile) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    std::wstring folder = dir.Wide();
    for (int level = 0; level < 6; ++level) {
        folder += L"\\" + std::wstring(60, static_cast<wchar_t>(L'a' + level));
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
    }
    const std::string path = PathFromWide(folder + L"\\年調.XML").value();
    ASSERT_GT(path.size(), 400u);
    WriteFile(fs, path, "long");
    const auto status = fs.Stat(path);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->size, 4u);
    EXPECT_EQ(ReadThrough(fs, path), std::optional<std::string>("long"));
    const DestinationResult opened = fs.OpenDestination(path);
    ASSERT_TRUE(opened.destination);
    EXPECT_TRUE(opened.destination->Existing());

    EXPECT_EQ(ClassicPathBytes(PathFromWide(L"C:\\年調.XML").value()), 11u);
    EXPECT_EQ(ClassicPathBytes(PathFromWide(L"C:\\x\x301C").value()), 5u);
}

TEST(FileSystemWin, CreateNewIsExclusiveAndReplaceKeepsAttributes) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    WriteFile(fs, dir / L"new.tmp", "new");
    WriteFile(fs, dir / L"年調.XML", "older and longer");
    const std::wstring wideTarget = WidePath(dir / L"年調.XML").value();
    SetFileAttributesW(wideTarget.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(fs.CreateNew(dir / L"年調.XML"), nullptr);  // taken: neither opened nor truncated
    fs.Replace(dir / L"new.tmp", dir / L"年調.XML");
    EXPECT_EQ(ReadThrough(fs, dir / L"年調.XML"), std::optional<std::string>("new"));
    // Wine's ReplaceFileW moves the new file without the old one's attributes;
    // Windows keeps them (and the security descriptor).
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    if (!wine) {
        EXPECT_TRUE(GetFileAttributesW(wideTarget.c_str()) & FILE_ATTRIBUTE_HIDDEN)
            << "the replaced file's attributes were lost";
    }
    EXPECT_FALSE(fs.Stat(dir / L"new.tmp"));
    EXPECT_THROW(fs.Replace(dir / L"gone.tmp", dir / L"年調.XML"), IoError);

    fs.Remove(dir / L"年調.XML");
    EXPECT_FALSE(fs.Stat(dir / L"年調.XML"));
    EXPECT_THROW(fs.CreateNew(dir / L"NO SUCH FOLDER\\x.XML"), IoError);

    // The two CP932 codes of 髙 name one file, as the batch compares them.
    WriteFile(fs, dir / L"髙橋.XML", "x");
    EXPECT_TRUE(fs.SameFile(dir / L"髙橋.XML", dir / L"髙橋.xml"));
    EXPECT_EQ(FileNameKey("髙橋.XML"), FileNameKey("\xEE\xE0橋.xml"));
}

std::size_t EntryCount(const TempFolder& dir) {
    std::size_t count = 0;
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((dir.Wide() + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do ++count;
    while (FindNextFileW(find, &entry));
    FindClose(find);
    return count;
}

std::string WriteTemporary(WriteDestination& destination, const std::string& bytes) {
    const std::string name = TemporaryNameFor(NameOfPath(destination.Path()));
    auto file = destination.CreateTemporary(name);
    EXPECT_TRUE(file);
    if (!file) return name;
    file->Write(bytes.data(), bytes.size());
    file->Close();
    return name;
}

// The document is put in place through the temporary file's own handle, and
// only over the file that was there when it was checked.
TEST(FileSystemWin, DestinationReplacesByHandleAndOnlyWhatWasChecked) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    const std::string target = dir / L"年調\x301C.XML";
    WriteFile(fs, target, "old");
    const std::size_t entries = EntryCount(dir);
    const auto opened = fs.OpenDestination(target);
    ASSERT_TRUE(opened.destination);
    WriteDestination& destination = *opened.destination;
    // Judging whether the folder takes a new file creates none.
    EXPECT_TRUE(destination.TakesNewFiles());
    EXPECT_EQ(EntryCount(dir), entries);
    EXPECT_EQ(destination.Existing(), fs.Identity(target));

    destination.Commit(WriteTemporary(destination, "new"));
    EXPECT_EQ(ReadThrough(fs, target), std::optional<std::string>("new"));
    EXPECT_EQ(EntryCount(dir), entries);

    struct Case {
        const char* what;
        bool existing;
        void (*change)(FileSystem&, const std::string& target, WriteDestination&,
                       const std::string& temporary);
    };
    const Case cases[] = {
        {"replaced after the check", true,
         [](FileSystem& fs, const std::string& path, WriteDestination&, const std::string&) {
             // Moved aside, not removed: a new file could get the old one's number.
             const std::wstring wide = WidePath(path).value();
             ASSERT_TRUE(MoveFileW(wide.c_str(), (wide + L".old").c_str()));
             WriteFile(fs, path, "other");
         }},
        {"appeared after the check", false,
         [](FileSystem& fs, const std::string& path, WriteDestination&, const std::string&) {
             WriteFile(fs, path, "other");
         }},
        {"an input of the run", true,
         [](FileSystem& fs, const std::string& path, WriteDestination& destination,
            const std::string&) { destination.Protect(fs.Identity(path).value()); }},
        {"its temporary file renamed away and another planted", true,
         [](FileSystem& fs, const std::string&, WriteDestination&, const std::string& temporary) {
             const std::wstring wide = WidePath(temporary).value();
             ASSERT_TRUE(MoveFileW(wide.c_str(), (wide + L".moved").c_str()));
             WriteFile(fs, temporary, "decoy");
         }},
    };
    for (const Case& c : cases) {
        const std::string path = dir / L"\U0001F600.XML";
        fs.Remove(path);
        if (c.existing) WriteFile(fs, path, "checked");
        const auto again = fs.OpenDestination(path);
        ASSERT_TRUE(again.destination) << c.what;
        const std::string written = WriteTemporary(*again.destination, "document");
        c.change(fs, path, *again.destination, JoinPath(dir.Path(), written));
        const auto before = ReadThrough(fs, path);
        EXPECT_THROW(again.destination->Commit(written), TargetChangedError) << c.what;
        EXPECT_EQ(ReadThrough(fs, path), before) << c.what;
        again.destination->Remove(written);
        fs.Remove(JoinPath(dir.Path(), written));  // the decoy
        fs.Remove(JoinPath(dir.Path(), written) + ".moved");
        fs.Remove(path + ".old");
        EXPECT_EQ(EntryCount(dir), entries + 1) << c.what << ": a temporary file was left";
    }
}

TEST(FileSystemWin, SameFileSeesThroughSpellings) {
    TempFolder dir;
    FileSystem& fs = RealFileSystem();
    WriteFile(fs, dir / L"GETUJIQ.CSV", "monthly");
    WriteFile(fs, dir / L"KOJINQ.CSV", "monthly");  // same bytes, another file
    EXPECT_TRUE(fs.SameFile(dir / L"GETUJIQ.CSV", dir / L"getujiq.csv"));
    EXPECT_TRUE(fs.SameFile(dir / L"GETUJIQ.CSV", dir.Path() + "\\.\\GETUJIQ.CSV"));
    EXPECT_FALSE(fs.SameFile(dir / L"GETUJIQ.CSV", dir / L"KOJINQ.CSV"));
    EXPECT_FALSE(fs.SameFile(dir / L"GETUJIQ.CSV", dir / L"out.xml"));  // not there yet
    // Held open by another program without sharing for writing: still identified.
    const auto wide = WidePath(dir / L"GETUJIQ.CSV").value();
    HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(fs.SameFile(dir / L"GETUJIQ.CSV", dir / L"Getujiq.Csv"));
    CloseHandle(held);
}

}  // namespace
}  // namespace kw39::platform
