// Small pieces of the desktop program that need no window.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/file_dialogs.h"
#include "app/win_text.h"

namespace kw39::app {
namespace {

TEST(CommandLineTail, SkipsTheProgramNameLikeTheCRuntime) {
    struct Case {
        std::wstring line;
        std::wstring tail;
    };
    const Case cases[] = {
        {L"Kw39PCAConv.exe", L""},
        {L"Kw39PCAConv.exe 4660,1025,3,C:\\out.xml", L"4660,1025,3,C:\\out.xml"},
        {L"\"C:\\Program Files\\Kw39\\Kw39PCAConv.exe\"  \t4660,1025,3,C:\\out.xml",
         L"4660,1025,3,C:\\out.xml"},
        {L"\"C:\\a b\\x.exe\"", L""},
        {L"\"C:\\unterminated 1,2,3,x", L""},
        {L"x.exe 1,2,3,C:\\出力 結果.xml", L"1,2,3,C:\\出力 結果.xml"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(CommandLineTail(c.line), c.tail) << c.line.size();
}

// The path as the host wrote it, for a message about a name that has no
// Shift_JIS spelling: the same field that "%d,%d,%d,%s" reads.
TEST(CommandLineTail, HostedOutputPathIsTheFourthField) {
    struct Case {
        std::wstring tail;
        std::wstring path;
    };
    const Case cases[] = {
        {L"4660,1025,3,C:\\caf\u00e9.xml", L"C:\\caf\u00e9.xml"},
        {L"-7, 1025, 3,\t C:\\出力\u2460\\a.xml  rest", L"C:\\出力\u2460\\a.xml"},
        {L"1,2,3,C:\\a,b.xml", L"C:\\a,b.xml"},
        {L"1,2,3,", L""},
        {L"1,2", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(HostedOutputPath(c.tail), c.path) << c.tail.size();
}

TEST(FileDialogs, FolderOfKeepsTheLastSeparator) {
    EXPECT_EQ(FolderOf(L"C:\\給与\\KAISHAQ.CSV"), L"C:\\給与\\");
    EXPECT_EQ(FolderOf(L"C:\\KAISHAQ.CSV"), L"C:\\");
    EXPECT_EQ(FolderOf(L"Z:/work/a/KAISHAQ.CSV"), L"Z:/work/a/");
    EXPECT_EQ(FolderOf(L"KAISHAQ.CSV"), L"");
}

TEST(FileDialogs, FilterPipesBecomeNuls) {
    const std::wstring filter = FilterFromPipes(L"CSVﾌｧｲﾙ(*.CSV) |*.CSV|すべてのﾌｧｲﾙ(*.*) |*.*|| ");
    using namespace std::string_literals;
    const std::wstring expected = L"CSVﾌｧｲﾙ(*.CSV) \0*.CSV\0すべてのﾌｧｲﾙ(*.*) \0*.*\0\0"s;
    ASSERT_GE(filter.size(), expected.size());
    EXPECT_EQ(filter.substr(0, expected.size()), expected);
    EXPECT_EQ(filter.substr(filter.size() - 2), std::wstring(2, L'\0'));
}

TEST(MessageBoxes, StylesMapToTheirFlags) {
    using platform::MessageStyle;
    EXPECT_EQ(MessageBoxFlags(MessageStyle::Warning), UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(MessageBoxFlags(MessageStyle::Confirm), UINT(MB_OKCANCEL | MB_ICONINFORMATION));
    EXPECT_EQ(MessageBoxFlags(MessageStyle::Info), UINT(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(MessageBoxFlags(MessageStyle::Error), UINT(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(MessageBoxFlags(MessageStyle::Question), UINT(MB_YESNO | MB_ICONQUESTION));
}

}  // namespace
}  // namespace kw39::app
