#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "export/document_file.h"
#include "export/export_xml.h"
#include "platform/io_error.h"
#include "support/fault_file_system.h"
#include "support/test_support.h"
#include "write_fault_checks.h"

namespace kw39 {
namespace {

void FillStore(CExportXMLKw39& store) {
    for (int e = 0; e < 50; ++e) {
        const std::string code = std::to_string(e + 1);
        store.SetSyainName(code, "社員 & \"" + code + "\"");
        store.SetData(code, "<東京都>", "住所(上段)");
        CFuyosya dependant;
        dependant.m_strName = "O'Neil";
        store.SetFuyosya(code, dependant);
        for (int no = 1; no <= 18; ++no) {
            CKyuuyoShouyo payment;
            payment.m_nNo = no;
            payment.m_strSousikyuugaku = "250000";
            store.SetKyuuyoShouyo(code, payment);
        }
    }
}

std::string InMemory(const CExportXMLKw39& store, LinkMode mode) {
    StringSink sink;
    store.WriteDocumentTo(sink, mode, "1", "株式会社テスト", "26");
    return sink.text;
}

// The store's records written to `output` as a run writes them: the document
// opened beside it, the records moved in, the document put in place.
void WriteWhole(CExportXMLKw39& store, const std::string& output, LinkMode mode,
                const std::string& functionId, const std::string& company) {
    const std::unique_ptr<XmlDocumentFile> document =
        store.OpenDocument(output, mode, functionId, company, "26");
    store.WriteHeldSyain(*document);
    document->Finish();
}

TEST(WriteDocument, WritesTheDocumentAndReplacesAnOlderOutput) {
    test::TempDir dir;
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    FillStore(store);
    const std::string output = dir.File("out.xml");

    const std::string standard = InMemory(store, kModeStandard);
    const std::string simple = InMemory(store, kModeSimple);

    // A new output, then a longer old one replaced by a shorter document.
    WriteWhole(store, output, kModeStandard, "1", "株式会社テスト");
    EXPECT_EQ(test::ReadBytes(output), standard);
    test::WriteBytes(output, std::string(2'000'000, 'x'));
    FillStore(store);
    WriteWhole(store, output, kModeSimple, "1", "株式会社テスト");
    EXPECT_EQ(test::ReadBytes(output), simple);
    EXPECT_EQ(test::FolderNames(dir.Path()), std::vector<std::string>{"out.xml"});
}

TEST(WriteDocument, TemporaryFileLiesBesideTheOutput) {
    test::TempDir dir;
    platform::MessageLog log;
    test::FaultFileSystem fs(platform::RealFileSystem());
    CExportXMLKw39 store(log, fs);
    const std::string output = dir.File("out.xml");
    WriteWhole(store, output, kModeStandard, "1", "c");
    const std::vector<std::string>& created = fs.CreatedPaths();
    ASSERT_EQ(created.size(), 1u);
    EXPECT_NE(created[0], output);
    EXPECT_EQ(std::filesystem::path(created[0]).parent_path(), dir.Path());
    EXPECT_TRUE(created[0].starts_with(output));
    EXPECT_EQ(test::FolderNames(dir.Path()), std::vector<std::string>{"out.xml"});
}

TEST(WriteDocument, FailureKeepsTheOldOutputAndLeavesNoTemporaryFile) {
    test::ExpectEveryWriteFaultKeepsTheOldOutput(
        [](platform::FileSystem& fs, platform::MessageLog& log, const std::string& output) {
            CExportXMLKw39 store(log, fs);
            FillStore(store);
            WriteWhole(store, output, kModeStandard, "1", "c");
        });
}

TEST(WriteDocument, FailureWithoutAnOldOutputLeavesNothing) {
    test::TempDir dir;
    platform::MessageLog log;
    test::FaultFileSystem fs(platform::RealFileSystem());
    fs.Writes().closeFails = true;
    CExportXMLKw39 store(log, fs);
    EXPECT_THROW(WriteWhole(store, dir.File("new.xml"), kModeStandard, "1", "c"),
                 platform::IoError);
    EXPECT_TRUE(test::FolderNames(dir.Path()).empty());
}

TEST(WriteDocument, WrittenDocumentIsWellFormedXml) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
        FAIL() << "xmllint is not installed: apt-get install -y libxml2-utils";
    }
    test::TempDir dir;
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    for (const LinkMode mode : {kModeStandard, kModeSimple}) {
        FillStore(store);
        store.SetSyainName("<&'\">", "ソ表能&<>\"'");
        store.SetData("<&'\">", "A&B<C>\"D'E", "所属名称");
        const std::string output = dir.File("doc" + std::to_string(mode) + ".xml");
        WriteWhole(store, output, mode, "3", "A&B \"会社\" <株>");
        const std::string command = "xmllint --noout '" + output + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << output;
    }
}

}  // namespace
}  // namespace kw39
