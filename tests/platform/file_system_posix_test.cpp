#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/io_error.h"
#include "support/read_through.h"
#include "support/test_support.h"

namespace kw39::platform {
namespace {

using test::ReadBytes;
using test::ReadThrough;
using test::TempDir;

// A name that makes dir/name exactly `length` bytes long.
std::string PathOfLength(const TempDir& dir, std::size_t length) {
    return dir.File(std::string(length - dir.Path().size() - 1, 'p'));
}

TEST(PosixFileSystem, StatReportsFilesFoldersWhateverThePathLength) {
    TempDir dir;
    FileSystem& fs = RealFileSystem();
    const std::string file = dir.Write("a.csv", "12345");
    const auto status = fs.Stat(file);
    ASSERT_TRUE(status);
    EXPECT_FALSE(status->isDirectory);
    EXPECT_EQ(status->size, 5u);

    const auto folder = fs.Stat(dir.Path());
    ASSERT_TRUE(folder);
    EXPECT_TRUE(folder->isDirectory);

    EXPECT_FALSE(fs.Stat(dir.File("missing.csv")));
    EXPECT_FALSE(fs.Stat(""));

    // Only the input check counts long paths as unreachable: here a path of
    // any length sees the real file.
    const std::string tooLong = PathOfLength(dir, kMaxPathBytes);
    test::WriteBytes(tooLong, "x");
    EXPECT_TRUE(fs.Stat(tooLong));
    std::string dotted = dir.Path();
    while (dotted.size() < 2 * kMaxPathBytes) dotted += "/.";
    EXPECT_TRUE(fs.Stat(dotted + "/a.csv"));
}

std::string Bytes(const std::u8string& text) { return std::string(text.begin(), text.end()); }

// Names reach the system as they were given, and are shown with what Shift_JIS
// cannot spell exactly made visible: "～" (U+FF5E) and "〜" (U+301C) are two
// files and never look alike.
TEST(PosixFileSystem, NativeNamesReachTheSystemUnchanged) {
    TempDir dir;
    const std::string fullWidth = dir.Write(Bytes(u8"x～.csv"), "full-width tilde");
    const std::string wave = dir.Write(Bytes(u8"x〜.csv"), "wave dash");
    EXPECT_EQ(ReadThrough(RealFileSystem(), fullWidth),
              std::optional<std::string>("full-width tilde"));
    EXPECT_EQ(ReadThrough(RealFileSystem(), wave), std::optional<std::string>("wave dash"));
    EXPECT_FALSE(RealFileSystem().SameFile(fullWidth, wave));

    EXPECT_EQ(ShownPath(Bytes(u8"社員～.csv")), "社員～.csv");
    EXPECT_EQ(ShownPath(Bytes(u8"社員〜.csv")), "社員\\u301C.csv");
    EXPECT_EQ(ShownPath(Bytes(u8"a¥b−c")), "a\\u00A5b\\u2212c");
    EXPECT_EQ(ShownPath("\xF0\x9F\x98\x80"), "\\U0001F600");
    EXPECT_EQ(ShownPath("a\x1B[2J\nb\xFF"), "a\\x1B[2J\\x0Ab\\xFF");
    EXPECT_EQ(NativeName("社員.XML"), Bytes(u8"社員.XML"));
}

TEST(PosixFileSystem, OpenReadGivesTheBytesOfFilesOnly) {
    TempDir dir;
    FileSystem& fs = RealFileSystem();
    const std::string content = "a\r\nb\x1A";
    const std::string file = dir.Write("a.csv", content);
    EXPECT_EQ(ReadThrough(fs, file), std::optional<std::string>(content));
    EXPECT_EQ(fs.OpenRead(dir.Path()), nullptr);
    EXPECT_EQ(fs.OpenRead(dir.File("missing.csv")), nullptr);
    EXPECT_FALSE(ReadThrough(fs, dir.File("missing.csv")));
}

TEST(PosixFileSystem, ProbeExclusiveWriteLeavesFilesUnchanged) {
    TempDir dir;
    FileSystem& fs = RealFileSystem();
    const std::string file = dir.Write("out.xml", "old content");
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);

    EXPECT_TRUE(fs.ProbeExclusiveWrite(file));
    EXPECT_EQ(ReadBytes(file), "old content");
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    EXPECT_FALSE(fs.ProbeExclusiveWrite(dir.Path()));
    EXPECT_FALSE(fs.ProbeExclusiveWrite(dir.File("missing.xml")));
    EXPECT_FALSE(test::FileExists(dir.File("missing.xml")));

    // Held (locked) by another program.
    const int holder = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    EXPECT_FALSE(fs.ProbeExclusiveWrite(file));
    ::close(holder);
    EXPECT_TRUE(fs.ProbeExclusiveWrite(file));
    EXPECT_EQ(ReadBytes(file), "old content");
}

TEST(PosixFileSystem, ProbeExclusiveWriteFailsOnAReadOnlyFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anything";
    TempDir dir;
    const std::string file = dir.Write("out.xml", "x");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    EXPECT_FALSE(RealFileSystem().ProbeExclusiveWrite(file));
}

TEST(PosixFileSystem, ListCsvFilesMatchesTheExtensionInAnyCase) {
    TempDir dir;
    for (const char* name : {"a.csv", "B.CSV", "c.Csv", "d.txt", "e.csv.bak", "csv", "f_csv"}) {
        dir.Write(name, "");
    }
    test::WriteBytes(dir.File(Bytes(u8"社員.CSV")), "");
    std::vector<std::string> names = RealFileSystem().ListCsvFiles(dir.Path()).value();
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {"a.csv", "B.CSV", "c.Csv", Bytes(u8"社員.CSV")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_FALSE(RealFileSystem().ListCsvFiles(dir.File("missing")));
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

TEST(PosixFileSystem, DestinationsCreatePrivatelyAndReplaceOnlyWhatWasChecked) {
    TempDir dir;
    FileSystem& fs = RealFileSystem();
    const std::string target = dir.Write("out.xml", "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    {
        const DestinationResult opened = fs.OpenDestination(target);
        ASSERT_TRUE(opened.destination);
        WriteDestination& destination = *opened.destination;
        auto out = destination.CreateTemporary("out.xml.tmp");
        ASSERT_TRUE(out);
        EXPECT_EQ(ModeOf(dir.File("out.xml.tmp")), 0600u) << "readable by others while written";
        out->Write("new ", 4);
        out->Write("content", 7);
        out->Close();
        out->Close();  // a second close does nothing
        destination.Commit("out.xml.tmp");
        EXPECT_EQ(ReadBytes(target), "new content");
        EXPECT_EQ(ModeOf(target), 0640u) << "the user's own file lost its mode";
        EXPECT_FALSE(test::FileExists(dir.File("out.xml.tmp")));

        // A name that is taken, by a file or by a planted link, is neither
        // truncated nor followed.
        EXPECT_EQ(destination.CreateTemporary("out.xml"), nullptr);
        EXPECT_EQ(ReadBytes(target), "new content");
        const std::string victim = dir.Write("victim", "keep");
        std::filesystem::create_symlink(victim, dir.File("planted.tmp"));
        EXPECT_EQ(destination.CreateTemporary("planted.tmp"), nullptr);
        std::filesystem::create_symlink(dir.File("nowhere"), dir.File("dangling.tmp"));
        EXPECT_EQ(destination.CreateTemporary("dangling.tmp"), nullptr);
        EXPECT_FALSE(test::FileExists(dir.File("nowhere")));
        EXPECT_EQ(ReadBytes(victim), "keep");
    }

    // A file that replaces nothing gets what any new file gets.
    const mode_t mask = ::umask(027);
    {
        const DestinationResult opened = fs.OpenDestination(dir.File("fresh.xml"));
        ASSERT_TRUE(opened.destination);
        opened.destination->CreateTemporary("fresh.tmp")->Close();
        opened.destination->Commit("fresh.tmp");
        EXPECT_EQ(ModeOf(dir.File("fresh.xml")), 0640u);
    }
    ::umask(mask);

    // What is there at the moment of the replace must be what was checked:
    // another file put in its place, something that appeared where nothing
    // was, or a protected file (an input) is never replaced.
    struct Case {
        const char* name;
        bool existed;
        std::function<void(const std::string& path)> meanwhile;
        bool protect = false;
    };
    const Case cases[] = {
        {"exchanged", true,
         [&](const std::string& path) {
             test::WriteBytes(dir.File("other"), "other");
             std::filesystem::rename(dir.File("other"), path);
         }},
        {"appeared", false, [&](const std::string& path) { test::WriteBytes(path, "other"); }},
        {"a link put in its place", true,
         [&](const std::string& path) {
             std::filesystem::remove(path);
             std::filesystem::create_symlink(dir.File("victim"), path);
         }},
        {"protected", true, [](const std::string&) {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(std::string("changing-") + c.name);
        if (c.existed) test::WriteBytes(path, "old");
        const DestinationResult opened = fs.OpenDestination(path);
        ASSERT_TRUE(opened.destination);
        if (c.protect) opened.destination->Protect(*fs.Identity(path));
        opened.destination->CreateTemporary("changing.tmp")->Close();
        c.meanwhile(path);
        const std::string before = std::filesystem::is_symlink(path) ? "" : ReadBytes(path);
        EXPECT_THROW(opened.destination->Commit("changing.tmp"), TargetChangedError);
        opened.destination->Remove("changing.tmp");
        EXPECT_FALSE(test::FileExists(dir.File("changing.tmp")));
        if (!before.empty()) {
            EXPECT_EQ(ReadBytes(path), before);
        }
        EXPECT_EQ(ReadBytes(dir.File("victim")), "keep");
    }

    EXPECT_THROW(fs.Replace(dir.File("missing"), target), IoError);
    EXPECT_EQ(ReadBytes(target), "new content");
    EXPECT_THROW(fs.CreateNew(dir.File("no/such/folder.xml")), IoError);
    fs.Remove(target);
    EXPECT_FALSE(test::FileExists(target));
    fs.Remove(target);  // removing again is harmless
}

// A pipe or a device is never mistaken for a file: reading one could wait
// forever, and writing over one destroys it.
TEST(PosixFileSystem, SpecialFilesAreSeenAndNeverOpenedForReading) {
    TempDir dir;
    FileSystem& fs = RealFileSystem();
    const std::string fifo = dir.File("KOJINQ.CSV");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& special : {fifo, std::string("/dev/null")}) {
        const auto status = fs.Stat(special);
        ASSERT_TRUE(status) << special;
        EXPECT_TRUE(status->isSpecial) << special;
        EXPECT_FALSE(status->isDirectory) << special;
        EXPECT_EQ(fs.OpenRead(special), nullptr) << special;
    }
    EXPECT_FALSE(fs.Stat(dir.Write("a.csv", "x"))->isSpecial);
    EXPECT_FALSE(fs.Stat(dir.Path())->isSpecial);
}

TEST(PosixFileSystem, ResolveLinksFindsTheFileALinkFinallyNames) {
    TempDir dir;
    FileSystem& fs = RealFileSystem();
    std::filesystem::create_directory(dir.File("docs"));
    const std::string real = dir.Write("docs/real.xml", "x");
    std::filesystem::create_symlink("docs/real.xml", dir.File("first.xml"));  // relative
    std::filesystem::create_symlink(dir.File("first.xml"), dir.File("second.xml"));
    EXPECT_TRUE(fs.SameFile(fs.ResolveLinks(dir.File("second.xml")), real));
    EXPECT_EQ(fs.ResolveLinks(dir.File("second.xml")).rfind("real.xml"),
              fs.ResolveLinks(dir.File("second.xml")).size() - 8);
    EXPECT_EQ(fs.ResolveLinks(real), real);
    EXPECT_EQ(fs.ResolveLinks(dir.File("missing.xml")), dir.File("missing.xml"));
}

TEST(PosixFileSystem, SameFileSeesThroughSpellingsAndLinks) {
    TempDir dir;
    FileSystem& fs = RealFileSystem();
    const std::string monthly = dir.Write("GETUJIQ.CSV", "monthly");
    const std::string other = dir.Write("KOJINQ.CSV", "monthly");  // same bytes, another file
    std::filesystem::create_symlink(monthly, dir.File("link.xml"));
    std::filesystem::create_hard_link(monthly, dir.File("hard.xml"));

    EXPECT_TRUE(fs.SameFile(monthly, dir.Path() + "/./GETUJIQ.CSV"));
    EXPECT_TRUE(fs.SameFile(monthly, dir.File("link.xml")));
    EXPECT_TRUE(fs.SameFile(dir.File("hard.xml"), monthly));
    EXPECT_FALSE(fs.SameFile(monthly, other));
    EXPECT_FALSE(fs.SameFile(monthly, dir.File("out.xml")));             // not there yet
    EXPECT_TRUE(fs.SameFile(dir.File("out.xml"), dir.File("out.xml")));  // equal paths

    // A destination that does not exist yet is the same under another spelling
    // of its folder; names are compared as Linux compares them, byte by byte.
    EXPECT_TRUE(fs.SameDestination(dir.File("out.xml"), dir.Path() + "/./out.xml"));
    EXPECT_FALSE(fs.SameDestination(dir.File("OUT.xml"), dir.File("out.xml")));
    EXPECT_FALSE(fs.SameDestination(dir.File("out.xml"), dir.File("out2.xml")));
    EXPECT_FALSE(fs.SameDestination(monthly, dir.File("out.xml")));
    EXPECT_TRUE(fs.SameDestination(dir.File("link.xml"), monthly));

    // One path against many, what is learnt of it kept between the answers
    // (a report against every file of a batch).
    DestinationComparison report(fs, dir.File("link.xml"));
    EXPECT_FALSE(report.SameAs(dir.File("out.xml")));
    EXPECT_TRUE(report.SameAs(monthly));
    EXPECT_TRUE(report.SameAs(dir.File("hard.xml")));
    EXPECT_FALSE(report.SameAs(other));
    DestinationComparison fresh(fs, dir.File("out.xml"));
    EXPECT_FALSE(fresh.SameAs(monthly));
    EXPECT_TRUE(fresh.SameAs(dir.Path() + "/./out.xml"));
    EXPECT_FALSE(fresh.SameAs(dir.File("OUT.xml")));
}

// Names are told apart as the file system sees them: one Unicode character for
// the several CP932 codes of it, and without regard to case.
TEST(PosixFileSystem, FileNameKeyJoinsTheCodesOfOneCharacter) {
    const std::pair<std::string, std::string> same[] = {
        {"髙橋商事.XML", "\xEE\xE0橋商事.XML"},  // FBFC and EEE0
        {"\xED\x40.xml", "\xFA\x5C.XML"},        // 纊, and case
        {"\x81\xE0", "\x87\x90"},                // ≒
        {"\xFA\x40", "\x87\x54"},                // small and capital Roman one
        {"ａｂｃ", "ＡＢＣ"},
    };
    for (const auto& [a, b] : same) EXPECT_EQ(FileNameKey(a), FileNameKey(b)) << a;
    EXPECT_NE(FileNameKey("髙橋商事.XML"), FileNameKey("高橋商事.XML"));
    EXPECT_EQ(FolderOfPath("/a/b/c.xml"), "/a/b");
    EXPECT_EQ(FolderOfPath("/c.xml"), "/");
    EXPECT_EQ(FolderOfPath("c.xml"), "");
    EXPECT_EQ(NameOfPath("/a/b/c.xml"), "c.xml");
    EXPECT_EQ(NameOfPath("/a/b/"), "");
}

TEST(PosixFileSystem, JoinPath) {
    EXPECT_EQ(JoinPath("/tmp/in", "KOJINQ.CSV"), "/tmp/in/KOJINQ.CSV");
    EXPECT_EQ(JoinPath("", "KOJINQ.CSV"), "KOJINQ.CSV");
}

}  // namespace
}  // namespace kw39::platform
