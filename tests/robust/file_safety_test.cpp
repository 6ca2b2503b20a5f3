// Nothing the program writes may destroy or expose data: the report never
// replaces a file of the run, two companies never write one document, a
// device or a link is never written over, the output's location is checked
// before the run, temporary files are private and never outlive the run, and
// nothing it reads can make it wait forever. Driven through the real program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <future>
#include <optional>
#include <thread>

#include "platform/interrupt_cleanup.h"
#include "platform/replacement_file.h"
#include "robust_fixtures.h"
#include "run/input_slots.h"
#include "timed_program.h"

namespace kw39::test {
namespace {

constexpr int kLimit = 120;
const std::string kOld = "<old>\r\n";

TimedResult Convert(const std::vector<std::string>& args) {
    return RunTimed(KW39PCACONV_PATH, args, kLimit);
}

// The program started in the background, for a test that acts while it runs.
pid_t StartProgram(const std::vector<std::string>& args) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv = {const_cast<char*>(KW39PCACONV_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(KW39PCACONV_PATH, argv.data());
        ::_exit(127);
    }
    return child;
}

std::string Bytes(const std::u8string& text) { return std::string(text.begin(), text.end()); }

// The names in a folder that saw the events of `mask` while this object lived.
class FolderWatch {
  public:
    FolderWatch(const std::string& folder, std::uint32_t mask)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        EXPECT_GE(m_fd, 0);
        EXPECT_GE(::inotify_add_watch(m_fd, folder.c_str(), mask), 0);
    }
    ~FolderWatch() { ::close(m_fd); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        alignas(inotify_event) char buffer[1 << 14];
        ssize_t got = 0;
        while ((got = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                names.push_back(event->len ? event->name : "");
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return names;
    }

  private:
    int m_fd;
};

// `base` spelled with "/." repeated until the whole is at least `length` bytes.
std::string LongSpelling(const std::string& base, const std::string& name, std::size_t length) {
    std::string path = base;
    while (path.size() + name.size() + 1 < length) path += "/.";
    return path + "/" + name;
}

// The arguments of a run on `folder` that writes `target` through `option`:
// as its document (--output), or as its report beside a document in `dir`.
std::vector<std::string> WritingTo(const std::string& folder, const std::string& option,
                                   const std::string& target, const TempDir& dir) {
    return FolderRunArgs(
        folder, option == "--output"
                    ? std::vector<std::string>{"--output", target}
                    : std::vector<std::string>{"--output", dir.File("o.xml"), "--report", target});
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
        {"an input", FolderRunArgs(in, {"--output", out, "--report", in + "/KOJINQ.CSV"}),
         "社員情報"},
        {"the output under another spelling",
         FolderRunArgs(in, {"--output", out, "--report", dir.Path() + "/./out.xml"}),
         "出力先データ"},
        {"the output through a link",
         FolderRunArgs(in, {"--output", out, "--report", dir.File("link.xml")}), "出力先データ"},
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
            // Refused before any input is opened for writing (or read).
            const FolderWatch watch(in, IN_CLOSE_WRITE);
            const TimedResult result = Convert(c.args);
            EXPECT_TRUE(watch.Names().empty());
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

    // Linux tells names apart by their bytes: OUT.xml and out.xml are two files.
    const TimedResult result = Convert(
        FolderRunArgs(in, {"--output", dir.File("OUT.xml"), "--report", dir.File("out.xml")}));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Contains(ReadBytes(dir.File("OUT.xml")), "<REPORT>"));
    EXPECT_TRUE(Contains(ReadBytes(dir.File("out.xml")), Utf8Of("会社,社員コード")));
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
    // documents), a document the batch wrote is never replaced by it. The
    // first company is the larger, so that the second, converted at the same
    // time, mostly reaches the replacing of its document first: it is refused
    // in its turn all the same, its temporary file removed.
    std::filesystem::remove_all(root);
    WriteCompany(root + "/a");
    WriteBytes(root + "/a/KOJINQ.CSV", DemoEmployeesWith(3000));
    WriteCompany(root + "/b", "別会社");
    const std::string first = docs + "/" + Utf8Of("0001" + kDemoName + ".XML");
    const std::string link = docs + "/" + Utf8Of("0001別会社.XML");
    std::filesystem::create_symlink(first, link);
    result = Convert({"--year", "26", "--yes", "--batch", root, "--output-dir", docs});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_TRUE(Contains(result.err, Utf8Of("この一括変換で別の会社の書類として"))) << result.err;
    EXPECT_TRUE(
        Contains(ReadBytes(first), "<KOMONSAKINAME>" + ReplaceAll(kDemoName, "&", "&amp;")));
    EXPECT_EQ(FolderNames(docs).size(), 2u);  // the document and the link

    // A document's name that is a link to another company's export: each
    // document is checked against the inputs of every company.
    std::filesystem::remove_all(docs);
    std::filesystem::create_directory(docs);
    const std::string employees = ReadBytes(root + "/b/KOJINQ.CSV");
    std::filesystem::create_symlink(root + "/b/KOJINQ.CSV", first);
    result = Convert({"--year", "26", "--yes", "--batch", root, "--output-dir", docs});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_TRUE(Contains(result.err, Utf8Of("連動元データ（b の社員情報）と同じファイル")))
        << result.err;
    EXPECT_EQ(ReadBytes(root + "/b/KOJINQ.CSV"), employees);
}

TEST(FileSafety, OutputsThatAreNoPlainFile) {
    TempDir dir;
    const std::string in = dir.File("in");
    WriteCompany(in);
    const std::string fifo = dir.File("pipe.xml");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // However long its spelling, and through a short link to a long one.
    const std::string longFifo = LongSpelling(dir.Path(), "pipe.xml", 300);
    std::filesystem::create_symlink(longFifo, dir.File("short.xml"));
    for (const std::string& special : {std::string("/dev/null"), fifo, longFifo,
                                       dir.File("short.xml"), LongSpelling("/dev", "null", 300)}) {
        for (const std::string option : {"--output", "--report"}) {
            SCOPED_TRACE(special + " " + option);
            const TimedResult result = Convert(WritingTo(in, option, special, dir));
            EXPECT_EQ(result.status, 1) << result.err;
            EXPECT_TRUE(Contains(result.err, Utf8Of("通常のファイルではないもの"))) << result.err;
            EXPECT_TRUE(Contains(result.err, option + "\n"));
            struct stat st {};
            ASSERT_EQ(::stat(special.c_str(), &st), 0);
            EXPECT_FALSE(S_ISREG(st.st_mode));
            EXPECT_FALSE(FileExists(dir.File("o.xml")));
        }
    }
    // A long spelling of a folder is a folder, found before the run.
    const TimedResult folder =
        Convert(FolderRunArgs(in, {"--output", LongSpelling(dir.Path(), "in", 300)}));
    EXPECT_EQ(folder.status, 1) << folder.err;
    EXPECT_TRUE(Contains(folder.err, Utf8Of("出力先データにフォルダが指定されています。")));

    // A link stays a link: the file it names gets the new document, in place,
    // with its permissions; a temporary file is left in neither folder.
    std::filesystem::create_directory(dir.File("real"));
    const std::string target = dir.File("real/doc.xml");
    WriteBytes(target, kOld);
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    const std::string link = dir.File("link.xml");
    std::filesystem::create_symlink(target, link);
    const TimedResult followed = Convert(FolderRunArgs(in, {"--output", link}));
    ASSERT_EQ(followed.status, 0) << followed.err;
    EXPECT_TRUE(Contains(followed.err, Utf8Of("リンク先 (link target): ") + target + "\n"));
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
    ASSERT_EQ(Convert(FolderRunArgs(in, {"--output", hard})).status, 0);
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
        // A line feed after a character whose UTF-8 bytes look like Shift_JIS.
        {{"--output", dir.File(Bytes(u8"あ") + "\n.xml")},
         "出力先データのファイル名に、使用できない制御文字が含まれています。",
         "--output"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const TimedResult result = Convert(FolderRunArgs(in, c.more));
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_TRUE(Contains(result.err, Utf8Of(c.says))) << result.err;
        EXPECT_TRUE(Contains(result.err, std::string(c.option) + "\n")) << result.err;
        EXPECT_FALSE(Contains(result.err, Utf8Of("正常に終了しました。"))) << result.err;
        EXPECT_FALSE(FileExists(dir.File("out.xml")));
        EXPECT_FALSE(HasTemporaryFile(dir.Path()));
    }
}

// A link is followed once, to a regular file or to nothing: a chain, a loop
// or a long chain is refused before the run, naming the link and its target.
TEST(FileSafety, LinksAreFollowedOnceAndNeverAlongAChain) {
    TempDir dir;
    const std::string in = dir.File("in");
    WriteCompany(in);
    const std::string victim = dir.Write("victim.xml", "keep");
    std::filesystem::create_symlink(victim, dir.File("second.xml"));
    std::filesystem::create_symlink(dir.File("second.xml"), dir.File("first.xml"));
    std::filesystem::create_symlink(dir.File("loop.xml"), dir.File("loop.xml"));
    std::filesystem::create_symlink(victim, dir.File("c40.xml"));
    for (int i = 39; i >= 0; --i) {
        std::filesystem::create_symlink(dir.File("c" + std::to_string(i + 1) + ".xml"),
                                        dir.File("c" + std::to_string(i) + ".xml"));
    }
    for (const char* link : {"first.xml", "loop.xml", "c0.xml"}) {
        for (const std::string option : {"--output", "--report"}) {
            SCOPED_TRACE(std::string(link) + " " + option);
            const std::string path = dir.File(link);
            const std::string target = std::filesystem::read_symlink(path).string();
            const TimedResult result = Convert(WritingTo(in, option, path, dir));
            EXPECT_EQ(result.status, 1) << result.err;
            EXPECT_TRUE(Contains(result.err, Utf8Of("別のシンボリックリンク"))) << result.err;
            EXPECT_TRUE(Contains(result.err, Utf8Of("リンク: ") + path + "\n")) << result.err;
            EXPECT_TRUE(Contains(result.err, Utf8Of("リンク先: ") + target)) << result.err;
            EXPECT_TRUE(Contains(result.err, option + "\n"));
            EXPECT_TRUE(std::filesystem::is_symlink(path));
            EXPECT_EQ(ReadBytes(victim), "keep");
            EXPECT_FALSE(FileExists(dir.File("o.xml")));
        }
    }
}

// --check writes nothing: the output's folder is judged by its access rights
// and the sticky-folder rule, without a file created there, not even for a
// moment.
TEST(FileSafety, ACheckCreatesNoFile) {
    TempDir dir;
    const std::string in = dir.File("in");
    WriteCompany(in);
    std::filesystem::create_directory(dir.File("out"));
    const FolderWatch watch(dir.File("out"), IN_CREATE | IN_MOVED_TO);
    const TimedResult result = Convert(FolderRunArgs(
        in, {"--check", "--output", dir.File("out/o.xml"), "--report", dir.File("out/r.csv")}));
    EXPECT_EQ(result.status, 0) << result.err;
    // The report of a check is the one file it writes.
    std::vector<std::string> created = watch.Names();
    std::erase_if(created, [](const std::string& name) {
        return name == "r.csv" || name.starts_with("r.csv.~kw39-");
    });
    EXPECT_TRUE(created.empty()) << created.front();
    EXPECT_FALSE(FileExists(dir.File("out/o.xml")));
}

// Someone who may rename files in the output folder swaps the temporary file
// for a link to a private file of the clerk's while the document is written:
// the private file keeps its permissions, and nothing is put in place.
TEST(FileSafety, TheTemporaryFileSwappedForALinkChangesNothing) {
    TempDir dir;
    const std::string in = dir.File("in");
    WriteCompany(in);
    WriteBytes(in + "/KOJINQ.CSV", DemoEmployeesWith(60000));
    const std::string victim = dir.Write("private.txt", "secret");
    ASSERT_EQ(::chmod(victim.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("out"));
    const std::string out = dir.File("out/out.xml");
    const std::vector<std::string> args = FolderRunArgs(in, {"--output", out});
    const pid_t child = StartProgram(args);
    ASSERT_GE(child, 0);
    std::string temporary;
    const std::time_t deadline = std::time(nullptr) + kLimit;
    while (temporary.empty() && std::time(nullptr) < deadline &&
           ::waitpid(child, nullptr, WNOHANG) == 0) {
        for (const std::string& name : FolderNames(dir.File("out"))) {
            if (Contains(name, platform::kTemporaryMarker)) temporary = dir.File("out/" + name);
        }
    }
    bool swapped = false;
    if (!temporary.empty()) {
        std::filesystem::create_symlink(victim, dir.File("out/planted"));
        swapped = ::rename(dir.File("out/planted").c_str(), temporary.c_str()) == 0;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!swapped) GTEST_SKIP() << "the run ended before its temporary file could be swapped";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
    struct stat st {};
    ASSERT_EQ(::stat(victim.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadBytes(victim), "secret");
    EXPECT_FALSE(std::filesystem::is_symlink(out));
    EXPECT_FALSE(FileExists(out));
}

// Names are the system's own bytes, never converted through Shift_JIS: two
// names that one Shift_JIS spelling would merge are two files, for every
// option and for the folders of a batch, and a name Shift_JIS cannot spell
// still works and is shown with a visible escape.
TEST(FileSafety, NamesReachTheFileSystemAsTheyWereGiven) {
    TempDir dir;
    const std::string in = dir.File(Bytes(u8"in〜"));
    WriteCompany(in);
    const std::string tilde = dir.Write(Bytes(u8"x～.xml"), "keep");  // U+FF5E
    for (const char8_t* name : {u8"x〜.xml", u8"x¥y.xml", u8"x−.xml", u8"x‖—‾😀.xml"}) {
        const std::string out = dir.File(Bytes(name));
        SCOPED_TRACE(out);
        const TimedResult result =
            Convert(FolderRunArgs(in, {"--output", out, "--report", out + ".csv"}));
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(Contains(ReadBytes(out), "<REPORT>"));
        EXPECT_TRUE(FileExists(out + ".csv"));
    }
    EXPECT_EQ(ReadBytes(tilde), "keep");
    EXPECT_FALSE(FileExists(dir.File("x\\y.xml")));

    // Shown with what Shift_JIS cannot spell exactly made visible.
    const TimedResult missing =
        Convert(FolderRunArgs(in, {"--output", dir.File(Bytes(u8"no〜/out.xml"))}));
    EXPECT_EQ(missing.status, 1) << missing.err;
    EXPECT_TRUE(Contains(missing.err, "no\\u301C")) << missing.err;

    // A batch folder beside its look-alike reads its own export.
    const std::string root = dir.File("root");
    WriteCompany(root + "/" + Bytes(u8"A〜B"), "波商事");
    WriteCompany(root + "/" + Bytes(u8"A～B"), "波線商事");
    std::filesystem::create_directory(dir.File("docs"));
    const TimedResult batch =
        Convert({"--year", "26", "--yes", "--batch", root, "--output-dir", dir.File("docs")});
    EXPECT_EQ(batch.status, 0) << batch.err;
    EXPECT_TRUE(Contains(ReadBytes(dir.File("docs/" + Utf8Of("0001波商事.XML"))),
                         "<KOMONSAKINAME>波商事<"));
    EXPECT_TRUE(Contains(ReadBytes(dir.File("docs/" + Utf8Of("0001波線商事.XML"))),
                         "<KOMONSAKINAME>波線商事<"));
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
                     FolderRunArgs(in, {"--employee", input, "--output", dir.File("out.xml")}), 20);
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
// temporary files exist removes them and ends as the signal says; also the
// file of a second thread (a batch writes two companies' documents at once),
// which was started with the interruptions held and leaves them to the first.
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
            std::promise<void> written;
            std::optional<std::thread> second;
            {
                const platform::InterruptsHeld held;
                second.emplace([&] {
                    platform::ReplacementFile other(platform::RealFileSystem(),
                                                    dir.File("other.xml"));
                    other.File().Write("personal data", 13);
                    written.set_value();
                    for (;;) ::pause();
                });
            }
            written.get_future().wait();
            ::kill(::getpid(), signal);  // to the process: either thread may take it
            ::_exit(0);                  // not reached
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
    for (const std::string& arg : FolderRunArgs(in, {"--output", out})) args.push_back(arg);
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
    const std::vector<std::string> args = FolderRunArgs(in, {"--output", out});
    const pid_t child = StartProgram(args);
    ASSERT_GE(child, 0);
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
