#include "run/folder_selection.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/file_system.h"
#include "support/test_support.h"

namespace kw39::test {
namespace {

const std::string kFixedLines =
    "以下のファイルが存在しない、または同一のファイルが複数存在するため選択できません。\n"
    "選択が必要な場合は、個別に選択をしてください。\n\n";

struct FolderCase {
    const char* name;
    std::vector<std::string> files;  // CP932 names created in the folder
    // Expected name chosen per slot ("" for none).
    std::array<std::string, 6> chosen;
    std::string message;
};

const FolderCase kFolderCases[] = {
    {"company and employee only",
     {"KAISHAQ.CSV", "KOJINQ.CSV"},
     {"KAISHAQ.CSV", "", "", "KOJINQ.CSV", "", ""},
     kFixedLines + "住民税納付先\n部門\n月次データ\n年末調整データ\n"},
    {"all six once each, any case, prefix anywhere in the name",
     {"KAISHAQ.CSV", "noufuq.csv", "2026_BumonQ.Csv", "KOJINQ.CSV", "GETUJIQ01.CSV",
      "x-NENCHOUQ.csv", "readme.txt", "KAISHAQ.TXT"},
     {"KAISHAQ.CSV", "noufuq.csv", "2026_BumonQ.Csv", "KOJINQ.CSV", "GETUJIQ01.CSV",
      "x-NENCHOUQ.csv"},
     ""},
    {"lower-case name kept as spelled on disk",
     {"kojinq.csv"},
     {"", "", "", "kojinq.csv", "", ""},
     kFixedLines + "会社情報\n住民税納付先\n部門\n月次データ\n年末調整データ\n"},
    {"two candidates for one slot",
     {"KAISHAQ.CSV", "KOJINQ.CSV", "KOJINQ_OLD.CSV"},
     {"KAISHAQ.CSV", "", "", "", "", ""},
     kFixedLines + "住民税納付先\n部門\n社員情報\n月次データ\n年末調整データ\n"},
    {"one file matching two slots changes nothing and says nothing",
     {"KAISHAQ_KOJINQ.CSV"},
     {"", "", "", "", "", ""},
     ""},
    {"empty folder",
     {},
     {"", "", "", "", "", ""},
     kFixedLines + "会社情報\n住民税納付先\n部門\n社員情報\n月次データ\n年末調整データ\n"},
    // "ガ" is 0x83 0x4B: its trail byte is "K", so byte-wise "ガAISHAQ" holds "KAISHAQ".
    {"a trail byte never starts a prefix",
     {"ガAISHAQ.CSV", "KOJINQ.CSV"},
     {"", "", "", "KOJINQ.CSV", "", ""},
     kFixedLines + "会社情報\n住民税納付先\n部門\n月次データ\n年末調整データ\n"},
    {"full-width letters are upper-cased but are not the ASCII prefix",
     {"ｋａｉｓｈａｑ.CSV", "kaishaq.CSV"},
     {"kaishaq.CSV", "", "", "", "", ""},
     kFixedLines + "住民税納付先\n部門\n社員情報\n月次データ\n年末調整データ\n"},
};

TEST(SelectFilesFromFolder, ChoosesOneFilePerSlotOrReports) {
    for (const FolderCase& c : kFolderCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        for (const std::string& name : c.files) {
            // Names on disk are in the system's encoding.
            WriteBytes(dir.File(*platform::Cp932ToUtf8(name)), "x");
        }
        const FolderSelection selection = SelectFilesFromFolder(dir.Path());
        for (std::size_t s = 0; s < 6; ++s) {
            SCOPED_TRACE(s);
            if (c.chosen[s].empty()) {
                EXPECT_FALSE(selection.paths[s].has_value());
            } else {
                EXPECT_EQ(selection.paths[s], platform::JoinPath(dir.Path(), c.chosen[s]));
            }
        }
        EXPECT_EQ(selection.message ? selection.message->text : "", c.message);
    }
}

TEST(SelectFilesFromFolder, SubfoldersAreNotSearched) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("sub"));
    WriteBytes(dir.File("sub/KAISHAQ.CSV"), "x");
    WriteBytes(dir.File("KOJINQ.CSV"), "x");
    const FolderSelection selection = SelectFilesFromFolder(dir.Path());
    EXPECT_FALSE(selection.paths[0].has_value());
    EXPECT_TRUE(selection.paths[3].has_value());
}

}  // namespace
}  // namespace kw39::test
