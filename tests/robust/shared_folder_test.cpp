// A shared folder where another user can plant files and links: what they
// plant never makes the document readable by them, never gives it to them,
// and never redirects the writing. These cases need two users, so they run as
// root (which makes files of another user, or runs the program as "nobody").
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>

#include "robust_fixtures.h"
#include "timed_program.h"

namespace kw39::test {
namespace {

constexpr int kSharedLimit = 120;
constexpr uid_t kOther = 65534;  // "nobody", another user than the runner
constexpr uid_t kThird = 65533;  // a third user, neither the runner nor nobody

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

constexpr const char* kAclName = "system.posix_acl_access";
constexpr std::uint32_t kNoId = 0xFFFFFFFF;

struct AclEntry {
    std::uint16_t tag;
    std::uint16_t perm;
    std::uint32_t id;
};

// An access ACL as the kernel keeps it in its extended attribute.
std::string AccessAcl(const std::vector<AclEntry>& entries) {
    std::string blob;
    const auto put = [&blob](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) blob += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(2, 4);  // the format's version
    for (const AclEntry& entry : entries) {
        put(entry.tag, 2);
        put(entry.perm, 2);
        put(entry.id, 4);
    }
    return blob;
}

// A file of another user, as they would plant it.
void Plant(const std::string& path, uid_t owner, mode_t mode) {
    WriteBytes(path, "");
    ASSERT_EQ(::chown(path.c_str(), owner, owner), 0);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

// Runs the program as "nobody"; nothing when that is not possible here.
std::optional<TimedResult> AsNobody(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--reuid=65534", "--regid=65534", "--clear-groups",
                                    KW39PCACONV_PATH};
    if (!FileExists("/usr/bin/setpriv")) return std::nullopt;
    std::vector<std::string> version = all;
    version.push_back("--version");
    if (RunTimed("/usr/bin/setpriv", version, kSharedLimit).status != 0) return std::nullopt;
    all.insert(all.end(), args.begin(), args.end());
    return RunTimed("/usr/bin/setpriv", all, kSharedLimit);
}

class SharedFolder : public testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "needs root to make files of another user";
        ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
        WriteCompany(in);
    }

    TempDir dir;
    const std::string in = dir.File("in");
};

// A file planted under the document's (or the report's) name gives the
// document neither its permissions nor its owner: it gets what a new file
// gets, and belongs to the user who ran the program. The user's own file
// keeps its mode and group.
TEST_F(SharedFolder, PlantedFilesGiveTheDocumentNothing) {
    const std::string out = dir.File("out.xml");
    const std::string report = dir.File("report.csv");
    Plant(out, kOther, 0666);
    Plant(report, kOther, 0666);
    const mode_t mask = ::umask(077);
    TimedResult result = RunTimed(
        KW39PCACONV_PATH, FolderRunArgs(in, {"--output", out, "--report", report}), kSharedLimit);
    ::umask(mask);
    EXPECT_EQ(result.status, 0) << result.err;
    for (const std::string& path : {out, report}) {
        const struct stat st = StatOf(path);
        EXPECT_EQ(st.st_mode & 07777, 0600u) << path;
        EXPECT_EQ(st.st_uid, 0u) << path;
        EXPECT_EQ(st.st_gid, 0u) << path;
    }

    // The user's own file: its mode, group and access ACL (here one more user
    // who may read it) stay.
    ASSERT_EQ(::chown(out.c_str(), 0, kOther), 0);
    ASSERT_EQ(::chmod(out.c_str(), 0640), 0);
    const std::string acl = AccessAcl({{0x01, 6, kNoId},
                                       {0x02, 4, kThird},
                                       {0x04, 4, kNoId},
                                       {0x10, 4, kNoId},
                                       {0x20, 0, kNoId}});
    const bool aclKept = ::setxattr(out.c_str(), kAclName, acl.data(), acl.size(), 0) == 0;
    result = RunTimed(KW39PCACONV_PATH, FolderRunArgs(in, {"--output", out}), kSharedLimit);
    EXPECT_EQ(result.status, 0) << result.err;
    const struct stat st = StatOf(out);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_gid, kOther);
    if (aclKept) {
        std::string now(256, '\0');
        const ssize_t length = ::getxattr(out.c_str(), kAclName, now.data(), now.size());
        ASSERT_GT(length, 0);
        now.resize(static_cast<std::size_t>(length));
        EXPECT_EQ(now, acl) << "the ACL of the user's own file was lost";
    }
    EXPECT_TRUE(Contains(ReadBytes(out), "<REPORT>"));
}

// Another user's link in a sticky, world-writable folder is not followed, as
// the kernel's protected_symlinks would refuse it: refused before the run,
// naming the link and its target, for the document and the report alike.
TEST_F(SharedFolder, AnotherUsersLinkIsNeverFollowed) {
    const std::string shared = dir.File("shared");
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string victim = dir.Write("private.txt", "secret");
    ASSERT_EQ(::chmod(victim.c_str(), 0600), 0);
    const std::string link = shared + "/out.xml";
    std::filesystem::create_symlink(victim, link);
    ASSERT_EQ(::lchown(link.c_str(), kOther, kOther), 0);
    for (const std::string option : {"--output", "--report"}) {
        SCOPED_TRACE(option);
        const TimedResult result =
            RunTimed(KW39PCACONV_PATH,
                     FolderRunArgs(in, option == "--output"
                                           ? std::vector<std::string>{"--output", link}
                                           : std::vector<std::string>{"--output", dir.File("o.xml"),
                                                                      "--report", link}),
                     kSharedLimit);
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_TRUE(Contains(result.err, Utf8Of("ほかのユーザーのシンボリックリンク")))
            << result.err;
        EXPECT_TRUE(Contains(result.err, Utf8Of("リンク: ") + link)) << result.err;
        EXPECT_TRUE(Contains(result.err, Utf8Of("リンク先: ") + victim)) << result.err;
        EXPECT_TRUE(Contains(result.err, option + "\n")) << result.err;
        EXPECT_EQ(ReadBytes(victim), "secret");
        EXPECT_EQ(StatOf(victim).st_mode & 07777, 0600u);
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        EXPECT_FALSE(FileExists(dir.File("o.xml")));
    }
}

// In a sticky folder only a file's owner may replace it: another user's file
// there is refused before the run, not after the whole conversion.
TEST_F(SharedFolder, AnotherUsersFileInAStickyFolderIsRefusedBeforeTheRun) {
    const std::string shared = dir.File("shared");
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string out = shared + "/out.xml";
    Plant(out, kThird, 0666);
    const std::optional<TimedResult> result = AsNobody(FolderRunArgs(in, {"--output", out}));
    if (!result) GTEST_SKIP() << "the program cannot be run as nobody here";
    EXPECT_EQ(result->status, 1) << result->err;
    EXPECT_TRUE(Contains(result->err, Utf8Of("ほかのユーザーのファイルのため置き換えられません")))
        << result->err;
    EXPECT_FALSE(Contains(result->err, Utf8Of("確認 (Confirm)"))) << result->err;
    EXPECT_EQ(StatOf(out).st_uid, kThird);
    EXPECT_FALSE(HasTemporaryFile(shared));
}

}  // namespace
}  // namespace kw39::test
