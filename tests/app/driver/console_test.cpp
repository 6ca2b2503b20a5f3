// The console program kw39pcaconv.exe on Windows: arguments from the wide
// command line, reaching the file system unchanged, and messages in UTF-8 when
// its output is redirected. Runs under an English code page too, where narrow
// arguments would lose Japanese names.
#include <gtest/gtest.h>

#include <fstream>

#include "driver/app_session.h"
#include "driver/driver_env.h"

namespace kw39::test {
namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(ConsoleProgram, TakesJapanesePathsAndWritesUtf8) {
    const std::filesystem::path input = CopySamples(L"コンソール入力");
    const std::filesystem::path outputFolder = FreshFolder(L"コンソール出力");
    // WAVE DASH, which Shift_JIS cannot spell, beside FULLWIDTH TILDE, which
    // it spells like it; and a character outside the BMP.
    const std::filesystem::path output = outputFolder / L"結果\x301C\U0001F600.XML";
    const std::filesystem::path alike = outputFolder / L"結果\xFF5E\U0001F600.XML";
    std::ofstream(alike, std::ios::binary) << "keep";
    const std::filesystem::path transcript = outputFolder / L"transcript.txt";
    const std::wstring arguments = L"--folder \"" + input.wstring() + L"\" --year 26 --yes" +
                                   L" --output \"" + output.wstring() + L"\"";
    const auto code =
        RunToEnd(Paths().cli.wstring(), arguments, kStartTimeout, transcript.wstring());
    ASSERT_EQ(code, std::optional<DWORD>(0));
    const auto document = ReadBytes(output);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->rfind("<?xml", 0), 0u);
    EXPECT_EQ(ReadBytes(alike), std::optional<std::string>("keep"));
    const std::string messages = ReadBytes(transcript).value_or("");
    EXPECT_NE(messages.find(Utf8(u8"正常に終了しました。")), std::string::npos) << messages;
    // The summary shows the name with an escape, not as its look-alike.
    EXPECT_NE(messages.find(Utf8(u8"結果<U+301C><U+1F600>.XML")), std::string::npos) << messages;
}

}  // namespace
}  // namespace kw39::test
