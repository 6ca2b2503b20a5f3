#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "export/export_xml.h"
#include "platform/io_error.h"
#include "support/test_support.h"

namespace kw39 {
namespace {

// The real file system, with one step made to fail on demand.
enum class FailAt { Nothing, Create, Write, Close, Replace };

class FailingOutputFile : public platform::OutputFile {
  public:
    FailingOutputFile(std::unique_ptr<platform::OutputFile> real, FailAt failAt, std::string path)
        : m_real(std::move(real)), m_failAt(failAt), m_strPath(std::move(path)) {}
    void Write(const char* data, std::size_t size) override {
        if (m_failAt == FailAt::Write) {
            // Part of the bytes reach the disk before the device gives up.
            m_real->Write(data, size / 2);
            throw platform::WriteError(m_strPath);
        }
        m_real->Write(data, size);
    }
    void Close() override {
        m_real->Close();
        if (m_failAt == FailAt::Close) throw platform::WriteError(m_strPath);
    }

  private:
    std::unique_ptr<platform::OutputFile> m_real;
    FailAt m_failAt;
    std::string m_strPath;
};

class FailingFileSystem : public platform::FileSystem {
  public:
    explicit FailingFileSystem(FailAt failAt) : m_failAt(failAt) {}
    std::optional<platform::FileStatus> Stat(const std::string& path) override {
        return m_real.Stat(path);
    }
    std::unique_ptr<platform::InputFile> OpenRead(const std::string& path) override {
        return m_real.OpenRead(path);
    }
    std::unique_ptr<platform::OutputFile> Create(const std::string& path) override {
        if (m_failAt == FailAt::Create) throw platform::WriteError(path);
        created.push_back(path);
        return std::make_unique<FailingOutputFile>(m_real.Create(path), m_failAt, path);
    }
    bool ProbeExclusiveWrite(const std::string& path) override {
        return m_real.ProbeExclusiveWrite(path);
    }
    std::vector<std::string> ListCsvFiles(const std::string& folder) override {
        return m_real.ListCsvFiles(folder);
    }
    void Replace(const std::string& from, const std::string& to) override {
        if (m_failAt == FailAt::Replace) throw platform::WriteError(to);
        m_real.Replace(from, to);
    }
    void Remove(const std::string& path) noexcept override { m_real.Remove(path); }

    std::vector<std::string> created;

  private:
    platform::FileSystem& m_real = platform::RealFileSystem();
    FailAt m_failAt;
};

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

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

std::string InMemory(const CExportXMLKw39& store, int mode) {
    StringSink sink;
    store.WriteDocumentTo(sink, mode, "1", "株式会社テスト", "26");
    return sink.text;
}

TEST(WriteDocument, WritesTheDocumentAndReplacesAnOlderOutput) {
    test::TempDir dir;
    test::RecordingPort port;
    CExportXMLKw39 store(port);
    FillStore(store);
    const std::string output = dir.File("out.xml");

    // A new output, then a longer old one replaced by a shorter document.
    store.WriteDocument(output, kModeStandard, "1", "株式会社テスト", "26");
    EXPECT_EQ(test::ReadBytes(output), InMemory(store, kModeStandard));
    test::WriteBytes(output, std::string(2'000'000, 'x'));
    store.WriteDocument(output, kModeSimple, "1", "株式会社テスト", "26");
    EXPECT_EQ(test::ReadBytes(output), InMemory(store, kModeSimple));
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"out.xml"});
}

TEST(WriteDocument, TemporaryFileLiesBesideTheOutput) {
    test::TempDir dir;
    test::RecordingPort port;
    FailingFileSystem fs(FailAt::Nothing);
    CExportXMLKw39 store(port, fs);
    const std::string output = dir.File("out.xml");
    store.WriteDocument(output, kModeStandard, "1", "c", "26");
    ASSERT_EQ(fs.created.size(), 1u);
    EXPECT_NE(fs.created[0], output);
    EXPECT_EQ(std::filesystem::path(fs.created[0]).parent_path(), dir.Path());
    EXPECT_TRUE(fs.created[0].starts_with(output));
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"out.xml"});
}

TEST(WriteDocument, FailureKeepsTheOldOutputAndLeavesNoTemporaryFile) {
    for (FailAt failAt : {FailAt::Create, FailAt::Write, FailAt::Close, FailAt::Replace}) {
        SCOPED_TRACE(static_cast<int>(failAt));
        test::TempDir dir;
        test::RecordingPort port;
        FailingFileSystem fs(failAt);
        CExportXMLKw39 store(port, fs);
        FillStore(store);
        const std::string output = dir.File("out.xml");
        const std::string old = "old content that must survive\r\n";
        test::WriteBytes(output, old);
        try {
            store.WriteDocument(output, kModeStandard, "1", "c", "26");
            ADD_FAILURE() << "no exception";
        } catch (const platform::IoError& error) {
            EXPECT_EQ(error.Path(), output);
            EXPECT_NE(std::string(error.what()).find(output), std::string::npos);
        }
        EXPECT_EQ(test::ReadBytes(output), old);
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"out.xml"});
        EXPECT_TRUE(port.messages.empty());
    }
}

TEST(WriteDocument, FailureWithoutAnOldOutputLeavesNothing) {
    test::TempDir dir;
    test::RecordingPort port;
    FailingFileSystem fs(FailAt::Close);
    CExportXMLKw39 store(port, fs);
    EXPECT_THROW(store.WriteDocument(dir.File("new.xml"), kModeStandard, "1", "c", "26"),
                 platform::IoError);
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

TEST(WriteDocument, InvalidModeLeavesTheOutputAlone) {
    test::TempDir dir;
    test::RecordingPort port;
    CExportXMLKw39 store(port);
    const std::string output = dir.Write("out.xml", "old");
    EXPECT_THROW(store.WriteDocument(output, 0, "1", "c", "26"), std::invalid_argument);
    EXPECT_EQ(test::ReadBytes(output), "old");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"out.xml"});
}

TEST(WriteDocument, WrittenDocumentIsWellFormedXml) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "xmllint is not installed";
    }
    test::TempDir dir;
    test::RecordingPort port;
    CExportXMLKw39 store(port);
    FillStore(store);
    store.SetSyainName("<&'\">", "ソ表能&<>\"'");
    store.SetData("<&'\">", "A&B<C>\"D'E", "所属名称");
    for (int mode : {kModeStandard, kModeSimple}) {
        const std::string output = dir.File("doc" + std::to_string(mode) + ".xml");
        store.WriteDocument(output, mode, "3", "A&B \"会社\" <株>", "26");
        const std::string command = "xmllint --noout '" + output + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << output;
    }
}

}  // namespace
}  // namespace kw39
