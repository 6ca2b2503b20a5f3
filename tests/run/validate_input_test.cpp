#include "run/validate_input.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "pca/data_line_error.h"
#include "run/input_slots.h"
#include "run_fixtures.h"

namespace kw39::test {
namespace {

// What the user is sent to correct after a failed check.
struct Fix {
    RunField field = RunField::None;
    std::size_t slot = 0;
};
Fix InputFix(std::size_t slot) { return {RunField::Input, slot}; }
const Fix kOutputFix{RunField::Output};

struct Expected {
    bool ok = true;
    std::string message;  // "" when no message is shown
    MessageStyle style = MessageStyle::Warning;
    Fix fix;
};

// A failed check as the dialog applies it: its message, and the field to
// correct when it moves the focus there.
void ExpectCheck(const CheckResult& check, const Expected& expected) {
    EXPECT_EQ(check.Passed(), expected.ok);
    if (expected.message.empty()) {
        EXPECT_FALSE(check.message);
    } else {
        ASSERT_TRUE(check.message);
        EXPECT_EQ(check.message->text, expected.message);
        EXPECT_EQ(check.message->style, expected.style);
    }
    const RunField field = check.focus ? check.field : RunField::None;
    EXPECT_EQ(field, expected.fix.field);
    if (field == RunField::Input) {
        EXPECT_EQ(check.slot, expected.fix.slot);
    }
}

struct ValidationCase {
    const char* name;
    std::function<Expected(InputSet&)> setup;
};

Expected Pass() { return {}; }
Expected Warn(std::string text, Fix fix) {
    return {false, std::move(text), MessageStyle::Warning, fix};
}

// A file of the slot's kind with extra lines around its identifying table.
std::string SlotFileWith(std::size_t slot, std::string_view before, std::string_view after = "") {
    return std::string(before) + "[" + InputSlots[slot].pszTableCode + "]\r\n" + std::string(after);
}

const ValidationCase kValidationCases[] = {
    {"all six files of one company",
     [](InputSet& in) {
         in.PutAllValid();
         return Pass();
     }},
    {"only the two mandatory files",
     [](InputSet& in) {
         in.Put(0, ValidSlotFile(0));
         in.Put(3, ValidSlotFile(3));
         return Pass();
     }},
    {"missing company file",
     [](InputSet& in) {
         in.PutAllValid();
         const std::string path = in.dir.File("gone.csv");
         in.request.inputPaths[0] = path;
         return Warn("マスターファイルが存在しません。\n\n" + path, InputFix(0));
     }},
    {"missing payee file",
     [](InputSet& in) {
         in.PutAllValid();
         const std::string path = in.dir.File("nofu.csv");
         in.request.inputPaths[1] = path;
         return Warn("マスターファイルが存在しません。\n\n" + path, InputFix(1));
     }},
    {"an existing file whose path is 260 bytes or longer counts as missing",
     [](InputSet& in) {
         in.PutAllValid();
         const std::string name = std::string(250 - 4, 'k') + ".csv";
         const std::string path = in.Put(5, ValidSlotFile(5), name);
         EXPECT_GE(path.size(), 260u);
         return Warn("マスターファイルが存在しません。\n\n" + path, InputFix(5));
     }},
    {"company file without [10101] comes before the mandatory check",
     [](InputSet& in) {
         in.Put(0, CompanyBlock());
         return Warn("会社情報ファイルが正しくありません。", InputFix(0));
     }},
    {"employee file without a company block",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(3, PcaLines({"[10601]", "E001,001,山田,太郎"}));
         return Warn("社員情報ファイルが正しくありません。", InputFix(3));
     }},
    {"year-end file carrying another kind's table",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(5, ValidSlotFile(4));
         return Warn("年末調整データファイルが正しくありません。", InputFix(5));
     }},
    {"header followed by blanks and a tab is a header",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(0, PcaLines({"[10000]  \t", "0001,テスト商事", "[10101] ", "0001"}));
         return Pass();
     }},
    {"header preceded by a blank is not a header",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(0, PcaLines({"[10000]", "0001,テスト商事", " [10101]", "0001"}));
         return Warn("会社情報ファイルが正しくありません。", InputFix(0));
     }},
    {"company header preceded by a blank is not a company block",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(0, PcaLines({" [10000]", "0001,テスト商事", "[10101]", "0001"}));
         return Warn("会社情報ファイルが正しくありません。", InputFix(0));
     }},
    {"header followed by a comma is not a header",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(1, PcaLines({"[10000]", "0001,テスト商事", "[10501],x", "131016"}));
         return Warn("住民税納付先ファイルが正しくありません。", InputFix(1));
     }},
    {"closing bracket at offset 5 is not a header",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(2, PcaLines({"[10000]", "0001,テスト商事", "[1234]", "[1030]1", "001"}));
         return Warn("部門ファイルが正しくありません。", InputFix(2));
     }},
    {"the identifying table before the company block",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(3, SlotFileWith(3, "", "E001,001,山田,太郎\r\n") + CompanyBlock());
         return Pass();
     }},
    {"quoted company fields compare by their values",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(4, "[10000]\r\n\"0001\",\"テスト商事\"\r\n[10701]\r\n");
         return Pass();
     }},
    {"same code, different name",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(3, CompanyBlock("0001", "テスト商会") + "[10601]\r\n");
         return Warn("異なる会社のデータが選択されています。", InputFix(3));
     }},
    {"same name, different code",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(2, CompanyBlock("0002") + "[10301]\r\n");
         return Warn("異なる会社のデータが選択されています。", InputFix(2));
     }},
    {"two matching company blocks in one file",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(1, CompanyBlock() + "[10501]\r\n" + CompanyBlock());
         return Pass();
     }},
    {"second company block of a file differs from the first key of the list",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(4, CompanyBlock() + "[10701]\r\n" + CompanyBlock("0009"));
         return Warn("異なる会社のデータが選択されています。", InputFix(4));
     }},
    {"the first differing key decides the focus",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(2, CompanyBlock("0002") + "[10301]\r\n");
         in.Put(5, CompanyBlock("0003") + "[10801]\r\n");
         return Warn("異なる会社のデータが選択されています。", InputFix(2));
     }},
    {"a bad file is reported before a company mismatch of an earlier file",
     [](InputSet& in) {
         in.PutAllValid();
         in.Put(1, CompanyBlock("0002") + "[10501]\r\n");
         in.Put(4, CompanyBlock());
         return Warn("月次データファイルが正しくありません。", InputFix(4));
     }},
    {"no file chosen at all",
     [](InputSet&) {
         return Warn("連動に必要なマスターファイルが存在しません。\n\n会社情報\n社員情報\n",
                     InputFix(0));
     }},
    {"employee file missing",
     [](InputSet& in) {
         in.Put(0, ValidSlotFile(0));
         in.Put(4, ValidSlotFile(4));
         return Warn("連動に必要なマスターファイルが存在しません。\n\n社員情報\n", InputFix(3));
     }},
    {"company mismatch comes before the mandatory check",
     [](InputSet& in) {
         in.Put(0, ValidSlotFile(0));
         in.Put(2, CompanyBlock("0002") + "[10301]\r\n");
         return Warn("異なる会社のデータが選択されています。", InputFix(2));
     }},
    {"empty output path",
     [](InputSet& in) {
         in.PutAllValid();
         in.request.outputPath = "";
         return Warn("出力先データが選択されていません。\n\n", kOutputFix);
     }},
    {"output path names one of the chosen inputs",
     [](InputSet& in) {
         in.PutAllValid();
         const std::string monthly = in.request.inputPaths[4];
         in.request.outputPath = monthly;
         return Warn(
             "出力先データに連動元データ（月次データ）と同じファイルが指定されています。\n\n" +
                 monthly,
             kOutputFix);
     }},
    {"output path names an input under another spelling",
     [](InputSet& in) {
         in.PutAllValid();
         std::string company = in.request.inputPaths[0];
         company.insert(company.rfind('/'), "/.");
         in.request.outputPath = company;
         return Warn(
             "出力先データに連動元データ（会社情報）と同じファイルが指定されています。\n\n" +
                 company,
             kOutputFix);
     }},
    {"output path is a second name (hard link) of an input",
     [](InputSet& in) {
         in.PutAllValid();
         const std::string link = in.dir.File("link.xml");
         std::filesystem::create_hard_link(in.request.inputPaths[4], link);
         in.request.outputPath = link;
         return Warn(
             "出力先データに連動元データ（月次データ）と同じファイルが指定されています。\n\n" +
                 link,
             kOutputFix);
     }},
    {"mandatory check comes before the output check",
     [](InputSet& in) {
         in.Put(3, ValidSlotFile(3));
         in.request.outputPath = "";
         return Warn("連動に必要なマスターファイルが存在しません。\n\n会社情報\n", InputFix(0));
     }},
    {"output path naming an existing folder",
     [](InputSet& in) {
         in.PutAllValid();
         std::filesystem::create_directory(in.dir.File("folder.xml"));
         in.request.outputPath = in.dir.File("folder.xml");
         return Expected{
             false,
             "ファイルの保存に失敗しました。\n\n出力先データにフォルダが指定されています。"
             "ファイル名を指定してください。\n\n" +
                 in.dir.File("folder.xml"),
             MessageStyle::Error,
             {}};
     }},
    {"output path ending in a separator",
     [](InputSet& in) {
         in.PutAllValid();
         in.request.outputPath = in.dir.File("out.xml/");
         return Warn(
             "出力先データにフォルダが指定されています。ファイル名を指定してください。\n\n" +
                 in.dir.File("out.xml/"),
             kOutputFix);
     }},
    {"output path naming a device is never written over",
     [](InputSet& in) {
         in.PutAllValid();
         in.request.outputPath = "/dev/null";
         return Warn(
             "出力先データに、通常のファイルではないもの (デバイス、パイプなど) "
             "が指定されています。\n\n/dev/null",
             kOutputFix);
     }},
    {"output path holding a control character",
     [](InputSet& in) {
         in.PutAllValid();
         in.request.outputPath = in.dir.File("out\x1B[2J.xml");
         return Warn("出力先データのファイル名に、使用できない制御文字が含まれています。",
                     kOutputFix);
     }},
    {"an existing writable output file passes",
     [](InputSet& in) {
         in.PutAllValid();
         in.dir.Write("out.xml", "old");
         return Pass();
     }},
    {"an output in a folder that does not exist",
     [](InputSet& in) {
         in.PutAllValid();
         in.request.outputPath = in.dir.File("no/such/out.xml");
         return Warn("出力先のフォルダが存在しません。\n\n" + in.dir.File("no/such") +
                         "\n\nフォルダを作成してから実行してください。",
                     kOutputFix);
     }},
    {"an output whose temporary name is too long for the file system",
     [](InputSet& in) {
         in.PutAllValid();
         const std::string path = in.dir.File(std::string(250, 'x') + ".xml");
         in.request.outputPath = path;
         return Warn("出力先データを作成できません。\n\n" + path +
                         "\n\nフォルダに書き込みが許可されているか、ファイル名が長すぎないかを"
                         "確認してください。",
                     kOutputFix);
     }},
    {"an input path naming a folder or a pipe",
     [](InputSet& in) {
         in.PutAllValid();
         std::filesystem::create_directory(in.dir.File("dir.csv"));
         in.request.inputPaths[2] = in.dir.File("dir.csv");
         return Warn(
             "部門ファイルに、通常のファイルではないもの (フォルダ、デバイス、パイプなど) "
             "が指定されています。\n\n" +
                 in.dir.File("dir.csv"),
             InputFix(2));
     }},
};

TEST(ValidateInputSet, ChecksInOrderWithExactMessagesAndFocus) {
    for (const ValidationCase& c : kValidationCases) {
        SCOPED_TRACE(c.name);
        InputSet in;
        const Expected expected = c.setup(in);
        ExpectCheck(CheckInputSet(in.request), expected);
    }
}

TEST(ValidateInputSet, LockedOutputFailsAndStaysUnchanged) {
    InputSet in;
    in.PutAllValid();
    const std::string output = in.dir.Write("out.xml", "previous document");
    const int fd = ::open(output.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    const CheckResult locked = CheckInputSet(in.request);
    ::close(fd);
    EXPECT_EQ(locked.failure, CommandOutcome::InputRejected);
    ExpectCheck(locked, {false, "ファイルの保存に失敗しました。", MessageStyle::Error, {}});
    EXPECT_EQ(ReadBytes(output), "previous document");

    // Once the other program lets go, the same output passes and is still untouched.
    EXPECT_TRUE(CheckInputSet(in.request).Passed());
    EXPECT_EQ(ReadBytes(output), "previous document");
}

TEST(ValidateInputSet, LongLinesAreReadWhole) {
    // A 10,000-byte line whose 4096th byte starts "[10101]" would pass as a
    // header if lines were read in 4095-byte pieces.
    InputSet in;
    in.PutAllValid();
    const std::string longLine = std::string(4095, 'x') + "[10101]";
    in.Put(0, CompanyBlock() + longLine + "\r\n");
    ExpectCheck(CheckInputSet(in.request),
                Warn("会社情報ファイルが正しくありません。", InputFix(0)));
}

struct BadCompanyLine {
    const char* name;
    std::string content;
    std::size_t line;  // where the company line is (or should be)
};

// The company line must name code and name; the failure names file and line,
// and the file is closed again.
TEST(ValidateInputSet, CompanyLineWithoutTwoFieldsRaisesWithFileAndLine) {
    const BadCompanyLine cases[] = {
        {"one field", PcaLines({"[10601]", "E001", "[10000]", "0001", "x"}), 4},
        {"empty line after the header", PcaLines({"[10000]", "", "[10601]"}), 2},
        {"header is the last line", PcaLines({"[10601]", "E001", "[10000]"}), 4},
        {"a header line instead of the company line", PcaLines({"[10000]", "[10601]"}), 2},
    };
    for (const BadCompanyLine& c : cases) {
        SCOPED_TRACE(c.name);
        InputSet in;
        in.PutAllValid();
        const std::string path = in.Put(3, c.content);
        TrackingFileSystem fs;
        try {
            CheckInputSet(in.request, fs);
            ADD_FAILURE() << "no DataLineError";
        } catch (const DataLineError& e) {
            const std::string where =
                "引数が正しくありません。\n" + path + " の " + std::to_string(c.line) + " 行目: ";
            EXPECT_EQ(std::string(e.what()).substr(0, where.size()), where);
            EXPECT_EQ(e.Path(), path);
            EXPECT_EQ(e.LineNumber(), c.line);
        }
        EXPECT_EQ(fs.openInputs, 0);
    }
}

struct SuggestionCase {
    const char* name;
    std::function<Expected(InputSet&)> setup;
    std::string expectedName;  // when ok
};

TEST(SuggestOutputFileName, ProposesCodeAndNameOrExplains) {
    const SuggestionCase cases[] = {
        {"company block first",
         [](InputSet& in) {
             in.Put(0, CompanyBlock("0001", "ABC") + "[10101]\r\n");
             return Pass();
         },
         "0001ABC.XML"},
        {"lines before the first header are skipped",
         [](InputSet& in) {
             in.Put(0, "garbage,1\r\n\r\n[10000]\r\n\"0002\",\"A,B商事\"\r\n");
             return Pass();
         },
         "0002A,B商事.XML"},
        {"header with trailing blank",
         [](InputSet& in) {
             in.Put(0, "[10000] \r\n0003,名前 \r\n");
             return Pass();
         },
         "0003名前.XML"},
        {"empty company box",
         [](InputSet&) { return Warn("会社情報ファイルが選択されていません。", InputFix(0)); }, ""},
        {"company file missing",
         [](InputSet& in) {
             in.request.inputPaths[0] = in.dir.File("none.csv");
             return Warn("会社情報ファイルが存在しません。", InputFix(0));
         },
         ""},
        {"company file is a folder",
         [](InputSet& in) {
             std::filesystem::create_directory(in.dir.File("d.csv"));
             in.request.inputPaths[0] = in.dir.File("d.csv");
             return Warn(
                 "会社情報ファイルに、通常のファイルではないもの (フォルダ、デバイス、パイプなど) "
                 "が指定されています。\n\n" +
                     in.dir.File("d.csv"),
                 InputFix(0));
         },
         ""},
        {"first header is not the company block",
         [](InputSet& in) {
             in.Put(0, PcaLines({"[10101]", "0001", "[10000]", "0001,ABC"}));
             return Warn("会社情報ファイルが正しくありません。", InputFix(0));
         },
         ""},
        {"no header at all",
         [](InputSet& in) {
             in.Put(0, PcaLines({"0001,ABC", " [10000]", "0001,ABC"}));
             return Warn("会社情報ファイルが正しくありません。", InputFix(0));
         },
         ""},
    };
    for (const SuggestionCase& c : cases) {
        SCOPED_TRACE(c.name);
        InputSet in;
        const Expected expected = c.setup(in);
        const OutputNameProposal proposal = ProposeOutputFileName(in.request.inputPaths[0]);
        EXPECT_EQ(proposal.name, expected.ok ? c.expectedName : "");
        if (!expected.ok) ExpectCheck(proposal.failure, expected);
    }
}

// A company block without its name fails the proposal with the Error message
// of a malformed line, naming the file and the line; nothing is thrown.
TEST(SuggestOutputFileName, CompanyBlockWithoutNameFails) {
    for (const std::string& content : {PcaLines({"[10000]", "0001"}), PcaLines({"[10000]"})}) {
        InputSet in;
        const std::string path = in.Put(0, content);
        TrackingFileSystem fs;
        const OutputNameProposal proposal = ProposeOutputFileName(in.request.inputPaths[0], fs);
        EXPECT_EQ(proposal.name, "");
        EXPECT_EQ(proposal.failure.failure, CommandOutcome::Failed);
        ASSERT_TRUE(proposal.failure.message);
        EXPECT_EQ(proposal.failure.message->style, MessageStyle::Error);
        const std::string where = "引数が正しくありません。\n" + path + " の 2 行目: ";
        EXPECT_TRUE(proposal.failure.message->text.starts_with(where));
        EXPECT_EQ(fs.openInputs, 0);
    }
}

}  // namespace
}  // namespace kw39::test
