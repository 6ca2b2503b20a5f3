// What the terminal shows of texts that hold control characters.
#include "platform/visible_text.h"

#include <gtest/gtest.h>

#include <string>

#include "cli/progress_line.h"
#include "cli/terminal.h"
#include "platform/messages.h"

namespace kw39::test {
namespace {

TEST(VisibleTextTest, ControlCharactersAreShownNotObeyed) {
    struct Case {
        std::string text;
        std::string message;  // VisibleText: the program's own line feeds kept
        std::string name;     // VisibleName: every control shown
    };
    const Case cases[] = {
        {"正常に終了しました。\n", "正常に終了しました。\n", "正常に終了しました。\\x0A"},
        {"a\x1b[2Jb", "a\\x1B[2Jb", "a\\x1B[2Jb"},
        {"\x1b]0;title\x07", "\\x1B]0;title\\x07", "\\x1B]0;title\\x07"},
        {"a\rb\tc\x7f", "a\\x0Db\\x09c\\x7F", "a\\x0Db\\x09c\\x7F"},
        {"x\n[2/2] y", "x\n[2/2] y", "x\\x0A[2/2] y"},
        // 0x80 is a C1 control once Windows has converted it; 0xA0 and 0xFD
        // are no CP932 characters.
        {"\x80\xa0\xfd", "\\x80\\xA0\\xFD", "\\x80\\xA0\\xFD"},
        // Double-byte characters whose trail byte is "\" or "[" stay whole.
        {"ソ表[", "ソ表[", "ソ表["},
        {"ｱｲ", "ｱｲ", "ｱｲ"},
        // A lead byte without its trail byte would swallow what follows.
        {"a\x83", "a\\x83", "a\\x83"},
        {"\x83\x1b[m", "\\x83\\x1B[m", "\\x83\\x1B[m"},
        {"\x83\n", "\\x83\n", "\\x83\\x0A"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform::VisibleText(c.text), c.message);
        EXPECT_EQ(platform::VisibleName(c.text), c.name);
    }
    // The progress line keeps its own carriage returns.
    EXPECT_EQ(platform::VisibleText("\ra\x1b\n", "\r\n"), "\ra\\x1B\n");

    // A message shows the names it quotes, their line feeds too; its own line
    // feeds stay, and its English line follows.
    const std::string file = "/in/a\nb/KOJINQ\x1b[2J.CSV";
    EXPECT_EQ(cli::FormatMessage(platform::MakeMessage(platform::MessageId::InputMissing,
                                                       platform::MessageStyle::Warning, {file})),
              "警告 (Warning): マスターファイルが存在しません。\n\n/in/a\\x0Ab/KOJINQ\\x1B[2J.CSV\n"
              "(The input file does not exist.)\n");

    // A folder name in the prefix of the progress line.
    std::string written;
    std::int64_t now = 0;
    cli::ProgressLine line([&](std::string_view text) { written += text; }, [&] { return now; });
    line.SetPrefix("[1/1] x\n\x1b[2J: ");
    now += 1000;
    line.Update("社員 1 / 2 名");
    EXPECT_EQ(written, "\r[1/1] x\\x0A\\x1B[2J: 社員 1 / 2 名");
}

}  // namespace
}  // namespace kw39::test
