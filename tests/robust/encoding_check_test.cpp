// Input files that are not Shift_JIS text are refused by the input checks with
// a message that says so, instead of being converted into garbled names.
#include <gtest/gtest.h>

#include "pca/data_line_error.h"
#include "pca/text_encoding_check.h"
#include "platform/encoding.h"
#include "platform/sjis.h"
#include "robust_fixtures.h"
#include "run/input_slots.h"
#include "run/validate_input.h"

namespace kw39::test {
namespace {

using namespace std::string_literals;

// UTF-16 of a CP932 text (characters of the basic plane only, as in the samples).
std::string Utf16Of(const std::string& cp932, bool bigEndian, bool withMark) {
    const std::string utf8 = Utf8Of(cp932);
    std::string out;
    const auto put = [&](unsigned unit) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    if (withMark) put(0xFEFF);
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
        unsigned code = length == 1 ? c : length == 2 ? (c & 0x1F) : (c & 0x0F);
        for (std::size_t k = 1; k < length; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        put(code);
        i += length;
    }
    return out;
}

// The text up to and including the lead byte of its last double-byte character.
std::string CutInLastCharacter(const std::string& text) {
    std::size_t lead = std::string::npos;
    for (std::size_t i = 0; i < text.size(); i += platform::CharLength(text, i)) {
        if (platform::CharLength(text, i) == 2) lead = i;
    }
    return text.substr(0, lead + 1);
}

TextVerdict Check(const std::string& bytes, std::size_t piece) {
    TextEncodingCheck check;
    for (std::size_t i = 0; i < bytes.size(); i += piece) {
        check.Feed(std::string_view(bytes).substr(i, piece));
    }
    return check.Verdict();
}

TEST(TextEncodingCheck, Verdicts) {
    struct Case {
        const char* name;
        std::string bytes;
        TextProblem problem;
        std::size_t line;
    };
    const std::string employees = DemoFiles()[3];
    const Case cases[] = {
        {"empty", "", TextProblem::None, 0},
        {"ascii", "[10000]\r\n0001,ABC\r\n", TextProblem::None, 0},
        {"shift_jis with kanji and kana", "[10000]\r\n0001,株式会社ソラマメ,ｿﾗﾏﾒ\r\n",
         TextProblem::None, 0},
        {"tab", "a\tb\r\n", TextProblem::None, 0},
        // Blanks at a line end, but no character an XML document may hold.
        {"vertical tab", "a\r\nb\v\r\n", TextProblem::NotShiftJis, 2},
        {"form feed", "a\r\n\f", TextProblem::NotShiftJis, 2},
        // Two half-width kana that happen to form one UTF-8 character.
        {"shift_jis that is also valid two-byte utf-8", "ﾂｱ\r\n", TextProblem::None, 0},
        {"end-of-file byte at the end", "a\r\n\x1A", TextProblem::None, 0},
        {"end-of-file byte followed by blanks", "a\r\n\x1A\r\n \x1A", TextProblem::None, 0},
        {"utf-8 byte-order mark", "\xEF\xBB\xBF[10000]\r\n", TextProblem::Utf8, 1},
        {"utf-8 japanese", Utf8Of("[10000]\r\n0001,株式会社\r\n"), TextProblem::Utf8, 0},
        {"utf-8 sample file", Utf8Of(employees), TextProblem::Utf8, 0},
        {"utf-16le mark", Utf16Of("[10000]\r\n", false, true), TextProblem::Utf16, 1},
        {"utf-16be mark", Utf16Of("[10000]\r\n", true, true), TextProblem::Utf16, 1},
        {"utf-16le without mark", Utf16Of("[10000]\r\n", false, false), TextProblem::NulBytes, 1},
        {"nul in line 3", "a\r\nb\r\nc\0d\r\n"s, TextProblem::NulBytes, 3},
        {"control byte", "a\r\nb\x01\r\n", TextProblem::NotShiftJis, 2},
        {"escape byte", "\x1B[0m\r\n", TextProblem::NotShiftJis, 1},
        {"lead byte before a comma", "a\r\n\x88,b\r\n", TextProblem::NotShiftJis, 2},
        {"lead byte before the line end", "a\r\nb\x88\r\n", TextProblem::NotShiftJis, 2},
        {"lead byte at the end of the file", "a\r\nb\r\n\x88", TextProblem::NotShiftJis, 3},
        {"lead byte before the end-of-file byte", "a\r\n\x88\x1A", TextProblem::NotShiftJis, 2},
        {"lead and trail byte that name no character", "a\r\n\x85\x40\r\n",
         TextProblem::NotShiftJis, 2},
        {"an unassigned kanji code", "a\r\n\r\n\x88\x6C,b", TextProblem::NotShiftJis, 3},
        {"user-defined area, NEC and IBM extensions",
         "\xF0\x40\xF9\xFC,\x87\x40\xED\x40\xFA\x40\xFC\x4B\r\n", TextProblem::None, 0},
        {"undefined byte 0x80", "a\x80\r\n", TextProblem::NotShiftJis, 1},
        {"undefined byte 0xa0", "a\xA0\r\n", TextProblem::NotShiftJis, 1},
        {"undefined byte 0xfd", "\r\n\r\n\xFD", TextProblem::NotShiftJis, 3},
        {"overlong utf-8 is no utf-8", "a\xC0\x80", TextProblem::NotShiftJis, 1},
        {"data after the end-of-file byte", "a\r\n\x1A\r\nb\r\n", TextProblem::DataAfterEnd, 3},
        {"nothing after the end-of-file byte counts as text", "a\r\n\x1A\0\xFF"s,
         TextProblem::DataAfterEnd, 2},
    };
    for (const Case& c : cases) {
        for (const std::size_t piece :
             {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{1} << 16}) {
            SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
            const TextVerdict verdict = Check(c.bytes, piece);
            EXPECT_EQ(verdict.problem, c.problem);
            EXPECT_EQ(verdict.nLine, c.line);
        }
    }
}

// Reading may stop as soon as nothing that follows could save the file.
TEST(TextEncodingCheck, CertainRefusals) {
    struct Case {
        const char* name;
        std::string bytes;
        bool certain;
    };
    const Case cases[] = {
        {"shift_jis so far", "[10000]\r\n株式会社", false},
        {"utf-8 so far", Utf8Of("[10000]\r\n株式会社"), false},
        // The ideographic space in UTF-8 ends in a byte Shift_JIS does not define.
        {"utf-8 and broken shift_jis so far", Utf8Of("株\x81\x40"), false},
        {"broken as both", "\x88,\xC0\x80", true},
        {"nul", "a\0"s, true},
        {"control byte", "a\x02", true},
        {"utf-16 mark", "\xFF\xFE", true},
        {"utf-8 mark", "\xEF\xBB\xBF", true},
        {"utf-8 without mark", "\xEF\xBC\xA1", false},
        {"data after 0x1A is known only at the end",
         "\x1A"
         "a",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextEncodingCheck check;
        check.Feed(c.bytes);
        EXPECT_EQ(check.CertainlyRefused(), c.certain);
        if (c.certain) {
            EXPECT_NE(check.Verdict().problem, TextProblem::None);
        }
    }
}

// A device that never ends is refused without being read at all.
TEST(ValidateInputSetEncoding, AnEndlessDeviceIsRefused) {
    if (!FileExists("/dev/zero")) GTEST_SKIP() << "no /dev/zero";
    MemoryRun run;
    for (std::size_t s = 0; s < kSlotCount; ++s) run.request.inputPaths[s] = "";
    run.request.inputPaths[2] = "/dev/zero";
    const CheckResult check = CheckInputSet(run.request, platform::RealFileSystem());
    ASSERT_TRUE(check.message);
    EXPECT_EQ(check.message->text,
              "部門ファイルに、通常のファイルではないもの (フォルダ、デバイス、パイプなど) "
              "が指定されています。\n\n/dev/zero");
}

TEST(TextEncodingCheck, TheSampleCompanyIsShiftJis) {
    for (const std::string& file : DemoFiles()) {
        EXPECT_EQ(Check(file, 4096).problem, TextProblem::None);
    }
}

const char kAdvice[] =
    "PCA給与X から CSV 形式 (Shift_JIS) で書き出したファイルを選択し直してください。";

std::string Refusal(std::size_t slot, const std::string& path, const std::string& detail) {
    return std::string(InputSlots[slot].pszLabel) + "ファイルの文字コードが正しくありません。\n\n" +
           path + "\n" + detail + kAdvice;
}

// Every slot refuses a file that is not Shift_JIS, with the slot's label, the
// path and what the file is; the focus goes to the slot's browse button.
TEST(ValidateInputSetEncoding, EachSlotRefusesFilesThatAreNotShiftJis) {
    struct Case {
        const char* name;
        std::string (*make)(const std::string& sjis);
        std::string detail;
    };
    const Case cases[] = {
        {"utf-8 with mark", [](const std::string& s) { return "\xEF\xBB\xBF" + Utf8Of(s); },
         "UTF-8 で保存されたファイルです。"},
        {"utf-8", [](const std::string& s) { return Utf8Of(s); },
         "UTF-8 で保存されたファイルです。"},
        {"utf-16le", [](const std::string& s) { return Utf16Of(s, false, true); },
         "UTF-16 で保存されたファイルです。"},
        {"utf-16be", [](const std::string& s) { return Utf16Of(s, true, true); },
         "UTF-16 で保存されたファイルです。"},
        {"utf-16 without mark", [](const std::string& s) { return Utf16Of(s, false, false); },
         "UTF-16 で保存されたファイルか、テキストではないファイルです。"},
        {"cut in a character", [](const std::string& s) { return CutInLastCharacter(s); },
         ""},  // the line depends on the file: checked by its start below
        {"data after 0x1A", [](const std::string& s) { return "\r\n\x1A" + s; },
         "2 行目に、ファイルの終わりを示す文字 (0x1A) より後のデータがあります。"},
    };
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(InputSlots[slot].pszLabel) + ": " + c.name);
            MemoryRun run;
            run.SetInput(slot, c.make(DemoFiles()[slot]));
            const CheckResult check = CheckInputSet(run.request, run.faults);
            ASSERT_TRUE(check.message);
            const std::string& text = check.message->text;
            if (c.detail.empty()) {
                const std::string start = std::string(InputSlots[slot].pszLabel) +
                                          "ファイルの文字コードが正しくありません。\n\n" +
                                          run.InputPath(slot) + "\n";
                EXPECT_TRUE(StartsWith(text, start)) << text;
                EXPECT_TRUE(Contains(text, " 行目に Shift_JIS の文字ではないバイトがあります。"));
            } else {
                EXPECT_EQ(text, Refusal(slot, run.InputPath(slot), c.detail));
            }
            EXPECT_EQ(check.message->style, MessageStyle::Warning);
            EXPECT_EQ(check.field, RunField::Input);
            EXPECT_EQ(check.slot, slot);
        }
    }
}

// The line of a foreign byte is named; an earlier slot's refusal comes first;
// the encoding is reported rather than the missing tables of a UTF-16 file.
TEST(ValidateInputSetEncoding, OrderAndLines) {
    {
        MemoryRun run;
        std::string employees = DemoFiles()[3];
        employees.insert(employees.find("\r\n", employees.find("[10601]") + 9), "\x01");
        run.SetInput(3, employees);
        const CheckResult check = CheckInputSet(run.request, run.faults);
        ASSERT_TRUE(check.message);
        EXPECT_EQ(
            check.message->text,
            Refusal(3, run.InputPath(3), "4 行目に Shift_JIS の文字ではないバイトがあります。"));
    }
    {
        MemoryRun run;
        run.SetInput(1, Utf16Of(DemoFiles()[1], false, true));
        run.SetInput(3, "no tables");
        const CheckResult check = CheckInputSet(run.request, run.faults);
        ASSERT_TRUE(check.message);
        EXPECT_TRUE(StartsWith(check.message->text, "住民税納付先ファイルの文字コード"));
    }
    {
        // Well-formed Shift_JIS, one data line with NUL bytes inside.
        MemoryRun run;
        std::string payees = DemoFiles()[1];
        payees.insert(payees.size() - 2, std::string("\0\0\0", 3));
        run.SetInput(1, payees);
        const CheckResult check = CheckInputSet(run.request, run.faults);
        ASSERT_TRUE(check.message);
        EXPECT_TRUE(StartsWith(check.message->text, "住民税納付先ファイルの文字コード"));
    }
    {
        // A company block whose line is cut short by binary data: the file is
        // reported as what it is, not as a malformed line.
        MemoryRun run;
        run.SetInput(2, "[10000]\r\n\x01\x02\x03\r\n" + DemoFiles()[2]);
        const CheckResult check = CheckInputSet(run.request, run.faults);
        ASSERT_TRUE(check.message);
        EXPECT_EQ(
            check.message->text,
            Refusal(2, run.InputPath(2), "2 行目に Shift_JIS の文字ではないバイトがあります。"));
    }
    {
        // A malformed company line of a Shift_JIS file is still reported as such.
        MemoryRun run;
        run.SetInput(2, "[10000]\r\nonly-one-field\r\n" + DemoFiles()[2]);
        EXPECT_THROW(CheckInputSet(run.request, run.faults), DataLineError);
    }
    {
        // The sample company passes, with a 0x1A closing the last file.
        MemoryRun run;
        run.SetInput(5, DemoFiles()[5] + "\x1A");
        EXPECT_TRUE(CheckInputSet(run.request, run.faults).Passed());
    }
}

}  // namespace
}  // namespace kw39::test
