// The document written employee by employee while the store holds one record
// at a time: the same bytes as the document of a store that holds them all,
// and the same promise when anything fails (the old output stays, nothing else
// is left behind).
#include "export/document_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/export_xml.h"
#include "platform/io_error.h"
#include "support/fault_file_system.h"
#include "support/test_support.h"
#include "write_fault_checks.h"

namespace kw39 {
namespace {

CFuyosya Dependant(const std::string& name) {
    CFuyosya fuyosya;
    fuyosya.m_strName = name;
    fuyosya.m_strZokugara = "子";
    fuyosya.m_strSeinengappi = "20100401";
    fuyosya.m_strFuyoukubun = "1";
    fuyosya.m_strSyougaisya = "0";
    return fuyosya;
}

CKyuuyoShouyo Payment(int no, const std::string& total) {
    CKyuuyoShouyo payment;
    payment.m_nNo = no;
    payment.m_strSousikyuugaku = total;
    payment.m_strHokenkoujogaku = "0";
    payment.m_strFuyousinzokusuu = "1";
    payment.m_strSansyutuzeigaku = "3000";
    return payment;
}

// Files one employee; the employees differ in what they have, so that a record
// reused for the next one would show anything left over from the last.
void FileEmployee(CExportXMLKw39& store, int n) {
    const std::string code = "E" + std::to_string(n);
    if (n % 3 != 2) store.SetSyainName(code, "社員&" + std::to_string(n));
    if (n % 2 == 0) {
        store.SetData(code, "東京都千代田区" + std::to_string(n), "住所(上段)");
        store.SetData(code, "0", "社保等申告社保控除分(支払)");
        store.SetData(code, "2", "年少扶養人数");
        for (int d = 0; d < n % 4; ++d)
            store.SetFuyosya(code, Dependant("扶養" + std::to_string(d)));
        for (int no = 1; no <= 18; ++no) {
            store.SetKyuuyoShouyo(code, Payment(no, std::to_string(n * 1000 + no)));
        }
    } else {
        store.SetData(code, "1", "性別");
    }
}

constexpr int kEmployees = 9;

std::string AllAtOnce(LinkMode mode) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    for (int n = 0; n < kEmployees; ++n) FileEmployee(store, n);
    StringSink sink;
    store.WriteDocumentTo(sink, mode, "1", "会社&<名>", "8");
    return sink.text;
}

void StreamEmployees(CExportXMLKw39& store, XmlDocumentFile& document) {
    for (int n = 0; n < kEmployees; ++n) {
        FileEmployee(store, n);
        store.WriteHeldSyain(document);
        EXPECT_EQ(store.FindSyain("E" + std::to_string(n)), nullptr);  // dropped once written
    }
}

TEST(XmlDocumentFile, StreamedDocumentEqualsTheWholeOne) {
    for (const LinkMode mode : {kModeStandard, kModeSimple}) {
        SCOPED_TRACE(mode);
        test::TempDir dir;
        platform::MessageLog log;
        CExportXMLKw39 store(log);
        const std::string output = dir.Write("out.xml", std::string(3'000'000, 'x'));
        const auto document = store.OpenDocument(output, mode, "1", "会社&<名>", "8");
        StreamEmployees(store, *document);
        document->Finish();
        EXPECT_EQ(test::ReadBytes(output), AllAtOnce(mode));
        EXPECT_EQ(test::FolderNames(dir.Path()), std::vector<std::string>{"out.xml"});
        EXPECT_TRUE(log.messages.empty());
    }
}

TEST(XmlDocumentFile, OutputAppearsOnlyWhenFinished) {
    test::TempDir dir;
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    const std::string output = dir.File("new.xml");
    {
        const auto document = store.OpenDocument(output, kModeStandard, "1", "c", "8");
        StreamEmployees(store, *document);
        EXPECT_FALSE(test::FileExists(output));
        // Abandoned: destroyed without Finish.
    }
    EXPECT_TRUE(test::FolderNames(dir.Path()).empty());
}

TEST(XmlDocumentFile, FailureKeepsTheOldOutputAndLeavesNoTemporaryFile) {
    test::ExpectEveryWriteFaultKeepsTheOldOutput(
        [](platform::FileSystem& fs, platform::MessageLog& log, const std::string& output) {
            CExportXMLKw39 store(log, fs);
            const auto document = store.OpenDocument(output, kModeStandard, "1", "c", "8");
            // Enough employees for the writer to pass on several pieces.
            for (int round = 0; round < 40; ++round) StreamEmployees(store, *document);
            document->Finish();
        });
}

}  // namespace
}  // namespace kw39
