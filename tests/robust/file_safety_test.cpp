// Nothing the program writes may destroy or expose data: the report never
// replaces a file of the run, two companies never write one document, a
// device or a link is never written over, the output's location is checked
// before the run, temporary files are private and never outlive the run, and
// nothing it reads can make it wait forever. Driven through the real program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "platform/interrupt_cleanup.h"
#include "platform/replacement_file.h"
#include "robust_fixtures.h"
#include "run/input_slots.h"
#include "timed_program.h"

namespace kw39::test {
namespace {

constexpr int kLimit = 120;
const std::string kOld = "<old>\r\n";
const std::string kDemoName = "株式会社ソラマメ&ハッカ商会";

TimedResult Convert(const std::vector<std::string>& args) {
    return RunTimed(KW39PCACONV_PATH, args, kLimit);
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

// The sample company's six files in `folder`, under the names the folder
// selection looks for, with the company's name replaced by `name`.
void WriteCompany(const std::string& folder, const std::string& name = kDemoName) {
    std::filesystem::create_directories(folder);
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        WriteBytes(folder + "/" + InputSlots[s].pszPrefix + ".CSV",
                   Replace(DemoFiles()[s], kDemoName, name));
    }
}

bool HasTemporaryFile(const std::string& folder) {
    for (const std::string& name : FolderNames(folder)) {
        if (Contains(name, platform::kTemporaryMarker)) return true;
    }
    return false;
}

std::vector<std::string> Single(const std::string& in, const std::vector<std::string>& more) {
    std::vector<std::string> args = {"--year", "26", "--yes", "--folder", in};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(FileSafety, TheReportNeverReplacesAFileOfTheRun) {
    TempDir dir;
    const std::string in = dir.File("in");
    WriteCompany(in);
    const std::string employees = ReadBytes(in + "/KOJINQ.CSV");
    const std::string out = dir.File("out.xml");
    std::filesystem::create_symlink(out, dir.File("link.xml"));
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* clash;  // the other file's words in the message
    };
    const Case cases[] = {
        {"an input", Single(in, {"--output", out, "--report", in + "/KOJINQ.CSV"}), "社員情報"},
        {"the output under another spelling",
         Single(in, {"--output", out, "--report", dir.Path() + "/./out.xml"}), "出力先データ"},
        {"the output through a link",
         Single(in, {"--output", out, "--report", dir.File("link.xml")}), "出力先データ"},
        {"an input of a batch company",
         {"--year", "26", "--yes", "--batch", dir.Path(), "--output-dir", dir.File("docs"),
          "--report", in + "/NOUFUQ.CSV"},
         "in の住民税納付先"},
        {"a document of the batch",
         {"--year", "26", "--yes", "--batch", dir.Path(), "--output-dir", dir.File("docs"),
          "--report", dir.File(Utf8Of("docs/0001" + kDemoName + ".XML"))},
         "in の出力先データ"},
    };
    std::filesystem::create_directory(dir.File("docs"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool outputExists : {false, true}) {
            if (outputExists) WriteBytes(out, kOld);
            const TimedResult result = Convert(c.args);
            EXPECT_EQ(result.status, 1) << result.err;
            EXPECT_TRUE(Contains(result.err, Utf8Of(std::string("報告ファイルに、") + c.clash)))
                << result.err;
            EXPECT_TRUE(Contains(result.err, "--report\n")) << result.err;
            EXPECT_EQ(ReadBytes(in + "/KOJINQ.CSV"), employees);
            EXPECT_EQ(FileExists(out) ? ReadBytes(out) : "", outputExists ? kOld : "");
            EXPECT_TRUE(FolderNames(dir.File("docs")).empty());
        }
        std::filesystem::remove(out);
    }
}

TEST(FileSafety, BatchCompaniesNeverShareADocument) {
    TempDir dir;
    const std::string root = dir.File("root");
    const std::string docs = dir.File("docs");
    std::filesystem::create_directory(docs);
    // One name in the two CP932 codes of 髙 (FBFC and EEE0): one file name.
    WriteCompany(root + "/a", "髙橋商事");
    WriteCompany(root + "/b", "\xEE\xE0橋商事");
    TimedResult result = Convert({"--year", "26", "--yes", "--batch", root, "--output-dir", docs});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_TRUE(Contains(result.err, Utf8Of("2 社中 0 社を変換しました。"))) << result.err;
    EXPECT_TRUE(FolderNames(docs).empty());

    // Twelve copies of one company: each message lists ten others at most.
    std::filesystem::remove_all(root);
    for (int i = 0; i < 12; ++i) WriteCompany(root + "/c" + std::to_string(10 + i));
    result = Convert({"--year", "26", "--yes", "--batch", root, "--output-dir", docs});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(CountOf(result.err, Utf8Of(" 他 1 件")), 12u) << result.err;
    EXPECT_TRUE(FolderNames(docs).empty());

    // However two names come to mean one file (here a link among the
    // documents), a document the batch wrote is never replaced by it.
    std::filesystem::remove_all(root);
    WriteCompany(root + "/a");
    WriteCompany(root + "/b", "別会社");
    const std::string first = docs + "/" + Utf8Of("0001" + kDemoName + ".XML");
    std::filesystem::create_symlink(first, docs + "/" + Utf8Of("0001別会社.XML"));
    result = Convert({"--year", "26", "--yes", "--batch", root, "--output-dir", docs});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_TRUE(Contains(result.err, Utf8Of("この一括変換で別の会社の書類として"))) << result.err;
    EXPECT_TRUE(Contains(ReadBytes(first), "<KOMONSAKINAME>" + Replace(kDemoName, "&", "&amp;")));
}

TEST(FileSafety, OutputsThatAreNoPlainFile) {
    TempDir dir;
    const std::string in = dir.File("in");
    WriteCompany(in);
    const std::string fifo = dir.File("pipe.xml");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& special : {std::string("/dev/null"), fifo}) {
        SCOPED_TRACE(special);
        const TimedResult result = Convert(Single(in, {"--output", special}));
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_TRUE(Contains(result.err, Utf8Of("通常のファイルではないもの"))) << result.err;
        EXPECT_TRUE(Contains(result.err, "--output\n"));
        struct stat st {};
        ASSERT_EQ(::stat(special.c_str(), &st), 0);
        EXPECT_FALSE(S_ISREG(st.st_mode));
    }

    // A link stays a link: the file it names gets the new document, in place,
    // with its permissions; a temporary file is left in neither folder.
    std::filesystem::create_directory(dir.File("real"));
    const std::string target = dir.File("real/doc.xml");
    WriteBytes(target, kOld);
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    const std::string link = dir.File("link.xml");
    std::filesystem::create_symlink(target, link);
    ASSERT_EQ(Convert(Single(in, {"--output", link})).status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(Contains(ReadBytes(target), "<REPORT>"));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_FALSE(HasTemporaryFile(dir.Path()));
    EXPECT_FALSE(HasTemporaryFile(dir.File("real")));

    // A second (hard) name keeps the old content: only the given name is replaced.
    const std::string hard = dir.File("hard.xml");
    WriteBytes(target, kOld);
    std::filesystem::create_hard_link(target, hard);
    ASSERT_EQ(Convert(Single(in, {"--output", hard})).status, 0);
    EXPECT_EQ(ReadBytes(target), kOld);
    EXPECT_TRUE(Contains(ReadBytes(hard), "<REPORT>"));
}

TEST(FileSafety, OutputProblemsAreFoundBeforeTheRun) {
    TempDir dir;
    const std::string in = dir.File("in");
    WriteCompany(in);
    const std::string report = dir.File("report.csv");
    const std::string tooLong = dir.File(std::string(250, 'x') + ".xml");
    struct Case {
        std::vector<std::string> more;
        const char* says;
        const char* option;
    };
    const Case cases[] = {
        {{"--output", dir.File("missing/out.xml")}, "出力先のフォルダが存在しません。", "--output"},
        {{"--output", dir.File("out.xml/")},
         "出力先データにフォルダが指定されています。",
         "--output"},
        {{"--output", tooLong}, "出力先データを作成できません。", "--output"},
        {{"--output", dir.File("out.xml"), "--report", dir.File("missing/r.csv")},
         "出力先のフォルダが存在しません。",
         "--report"},
        {{"--output", dir.File("out.xml"), "--report", dir.File(std::string(250, 'r'))},
         "報告ファイルを作成できません。",
         "--report"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const TimedResult result = Convert(Single(in, c.more));
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_TRUE(Contains(result.err, Utf8Of(c.says))) << result.err;
        EXPECT_TRUE(Contains(result.err, std::string(c.option) + "\n")) << result.err;
        EXPECT_FALSE(Contains(result.err, Utf8Of("正常に終了しました。"))) << result.err;
        EXPECT_FALSE(FileExists(dir.File("out.xml")));
        EXPECT_FALSE(HasTemporaryFile(dir.Path()));
    }
}

// A pipe, a device or standard input named as an export is refused at once.
TEST(FileSafety, InputsThatAreNoPlainFileAreRefusedWithoutWaiting) {
    TempDir dir;
    const std::string in = dir.File("in");
    WriteCompany(in);
    const std::string fifo = dir.File("KOJINQ.CSV");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& input : {fifo, std::string("/dev/stdin")}) {
        SCOPED_TRACE(input);
        const TimedResult result =
            RunTimed(KW39PCACONV_PATH,
                     Single(in, {"--employee", input, "--output", dir.File("out.xml")}), 20);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_TRUE(Contains(result.err, Utf8Of("社員情報ファイルに、通常のファイルではないもの")))
            << result.err;
        EXPECT_TRUE(Contains(result.err, input)) << result.err;
        EXPECT_FALSE(FileExists(dir.File("out.xml")));
    }
}

TEST(FileSafety, AnUnreadableCompanyFolderFailsTheBatch) {
    // Root reads every folder: it runs the program as the unprivileged "nobody".
    const bool root = ::geteuid() == 0;
    const std::vector<std::string> asNobody = {"--reuid=65534", "--regid=65534", "--clear-groups",
                                               KW39PCACONV_PATH};
    if (root && (!FileExists("/usr/bin/setpriv") || RunTimed(
                                                        "/usr/bin/setpriv",
                                                        [&] {
                                                            std::vector<std::string> version =
                                                                asNobody;
                                                            version.push_back("--version");
                                                            return version;
                                                        }(),
                                                        kLimit)
                                                            .status != 0)) {
        GTEST_SKIP() << "root, and the program cannot be run as nobody here";
    }
    TempDir dir;
    WriteCompany(dir.File("root/a"));
    for (const std::string& folder : {dir.Path(), dir.File("root")}) ::chmod(folder.c_str(), 0777);
    ::chmod(dir.File("root/a").c_str(), 0);
    std::vector<std::string> args = {"--year",         "26",           "--yes",   "--batch",
                                     dir.File("root"), "--output-dir", dir.Path()};
    const TimedResult result = root ? RunTimed(
                                          "/usr/bin/setpriv",
                                          [&] {
                                              std::vector<std::string> all = asNobody;
                                              all.insert(all.end(), args.begin(), args.end());
                                              return all;
                                          }(),
                                          kLimit)
                                    : Convert(args);
    ::chmod(dir.File("root/a").c_str(), 0755);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_TRUE(Contains(result.err, Utf8Of("フォルダの内容を読み取れません。"))) << result.err;
}

// The mechanism: a process ended by any signal from outside while its
// temporary file exists removes it and ends as the signal says.
TEST(FileSafety, AnInterruptedRunRemovesItsTemporaryFile) {
    TempDir dir;
    const std::string target = dir.File("out.xml");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE,
                             SIGXCPU, SIGVTALRM, SIGPROF, SIGPOLL, SIGRTMIN, SIGRTMAX}) {
        SCOPED_TRACE(signal);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            platform::InstallInterruptCleanup();
            platform::ReplacementFile file(platform::RealFileSystem(), target);
            file.File().Write("personal data", 13);
            ::raise(signal);
            ::_exit(0);  // not reached
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_TRUE(FolderNames(dir.Path()).empty());
    }
}

// A file-size limit (ulimit -f) makes the write fail as any failed write
// does: a message, status 2, the old document kept and nothing else left.
TEST(FileSafety, AWriteBeyondTheFileSizeLimitFailsAsAWrite) {
    TempDir dir;
    const std::string in = dir.File("in");
    WriteCompany(in);
    const std::string out = dir.File("out/out.xml");
    std::filesystem::create_directory(dir.File("out"));
    WriteBytes(out, kOld);
    std::vector<std::string> args = {"-c", "ulimit -f 16 && exec \"$0\" \"$@\"", KW39PCACONV_PATH};
    for (const std::string& arg : Single(in, {"--output", out})) args.push_back(arg);
    const TimedResult result = RunTimed("/bin/sh", args, kLimit);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_TRUE(Contains(result.err, Utf8Of("ファイルの書き込みに失敗しました。"))) << result.err;
    EXPECT_EQ(ReadBytes(out), kOld);
    EXPECT_EQ(FolderNames(dir.File("out")), std::vector<std::string>{"out.xml"});
}

// The program itself, interrupted while it writes a large document.
TEST(FileSafety, TheProgramInterruptedWhileWritingLeavesNothing) {
    TempDir dir;
    const std::string in = dir.File("in");
    WriteCompany(in);
    WriteBytes(in + "/KOJINQ.CSV", DemoEmployeesWith(60000));
    const std::string out = dir.File("out.xml");
    WriteBytes(out, kOld);
    const std::vector<std::string> args = Single(in, {"--output", out});
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<char*> argv = {const_cast<char*>(KW39PCACONV_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(KW39PCACONV_PATH, argv.data());
        ::_exit(127);
    }
    bool seen = false;
    bool ended = false;
    const std::time_t deadline = std::time(nullptr) + kLimit;
    while (!seen && !ended && std::time(nullptr) < deadline) {
        seen = HasTemporaryFile(dir.Path()) && FolderNames(dir.Path()).size() == 3;
        if (!seen) ::usleep(200);
        ended = !seen && ::waitpid(child, nullptr, WNOHANG) == child;
    }
    if (seen) ::kill(child, SIGINT);
    int status = 0;
    if (!ended) ::waitpid(child, &status, 0);
    if (!seen) GTEST_SKIP() << "the run ended before its temporary file was seen";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_FALSE(HasTemporaryFile(dir.Path()));
    EXPECT_EQ(ReadBytes(out), kOld);
}

}  // namespace
}  // namespace kw39::test
