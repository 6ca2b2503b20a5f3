#include <gtest/gtest.h>

#include <string_view>

#include "export/document_sink.h"
#include "export/export_xml.h"
#include "support/test_support.h"

namespace kw39 {
namespace {

// The employees of the store's document, in the order written.
std::vector<std::string> Codes(const CExportXMLKw39& store) {
    StringSink sink;
    store.WriteDocumentTo(sink, kModeStandard, "1", "会社", "8");
    const std::string_view open = "<SYAIN CODE=\"";
    std::vector<std::string> codes;
    for (std::size_t at = sink.text.find(open); at != std::string::npos;
         at = sink.text.find(open, at + 1)) {
        const std::size_t start = at + open.size();
        codes.push_back(sink.text.substr(start, sink.text.find('"', start) - start));
    }
    return codes;
}

CKyuuyoShouyo Payment(int no, std::string total) {
    CKyuuyoShouyo payment;
    payment.m_nNo = no;
    payment.m_strSousikyuugaku = std::move(total);
    return payment;
}

TEST(ExportStore, EveryFilingOperationCreatesInFirstUseOrder) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    CFuyosya dependant;
    dependant.m_strName = "山田花子";
    store.SetKyuuyoShouyo("0004", Payment(1, "100"));
    store.SetData("0002", "営業部", "所属名称");
    store.SetFuyosya("0003", dependant);
    store.SetSyainName("0001", "山田太郎");
    store.SetData("0002", "1", "性別");
    store.SetSyainName("0004", "鈴木");
    store.SetData("a", "x", "所属名称");
    store.SetData("A", "y", "所属名称");  // codes are case-sensitive

    EXPECT_EQ(Codes(store), (std::vector<std::string>{"0004", "0002", "0003", "0001", "a", "A"}));
    EXPECT_EQ(store.FindSyain("0004")->strName, "鈴木");
    EXPECT_EQ(store.FindSyain("0001")->strName, "山田太郎");
    EXPECT_EQ(store.FindSyain("0003")->pDetail->aFuyosya.at(0).m_strName, "山田花子");
    EXPECT_EQ(CExportXMLKw39::LabelValue(*store.FindSyain("0002"), "所属名称"), "営業部");
    EXPECT_EQ(CExportXMLKw39::LabelValue(*store.FindSyain("A"), "所属名称"), "y");
    EXPECT_EQ(store.FindSyain("0005"), nullptr);
    EXPECT_TRUE(log.messages.empty());
}

TEST(ExportStore, LaterValueReplacesEarlierOneAndEmptyCounts) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    store.SetData("1", "first", "所属コード");
    store.SetData("1", "second", "所属コード");
    store.SetData("1", "kept", "計(税額)");
    store.SetData("1", "gone", "住所(上段)");
    store.SetData("1", "", "住所(上段)");
    const SYAINDATA& syain = *store.FindSyain("1");
    EXPECT_EQ(CExportXMLKw39::LabelValue(syain, "所属コード"), "second");
    EXPECT_EQ(CExportXMLKw39::LabelValue(syain, "計(税額)"), "kept");
    EXPECT_EQ(CExportXMLKw39::LabelValue(syain, "住所(上段)"), "");
    EXPECT_EQ(CExportXMLKw39::LabelValue(syain, "住所(下段)"), "");
    EXPECT_EQ(CExportXMLKw39::LabelValue(syain, "no such label"), "");
    // A per-dependant label is accepted and kept, though sections never print it.
    store.SetData("1", "name", "扶養親族の氏名");
    EXPECT_EQ(CExportXMLKw39::LabelValue(syain, "扶養親族の氏名"), "name");
    EXPECT_EQ(Codes(store).size(), 1u);
}

TEST(ExportStore, UnacceptedLabelStoresNothingAndCreatesNoEmployee) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    for (const char* label : {"給与・総支給金額", "賞与・算出税額", "社員コード", ""}) {
        store.SetData("0001", "1", label);
    }
    EXPECT_TRUE(Codes(store).empty());
    EXPECT_EQ(store.FindSyain("0001"), nullptr);
    store.SetData("0001", "1", "性別");
    store.SetData("0001", "2", "給与・総支給金額");
    EXPECT_EQ(Codes(store).size(), 1u);
    EXPECT_EQ(CExportXMLKw39::LabelValue(*store.FindSyain("0001"), "性別"), "1");
}

TEST(ExportStore, PaymentsGoToSalaryOrBonusByNumber) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    for (int no : {13, 14, 1, 18, 19, 25, 13}) {
        store.SetKyuuyoShouyo("0001", Payment(no, std::to_string(no * 100)));
    }
    const SYAINDETAIL& detail = *store.FindSyain("0001")->pDetail;
    auto numbers = [](const std::vector<CKyuuyoShouyo>& list) {
        std::vector<int> out;
        for (const auto& p : list) out.push_back(p.m_nNo);
        return out;
    };
    EXPECT_EQ(numbers(detail.aKyuuyo), (std::vector<int>{13, 1, 13}));
    EXPECT_EQ(numbers(detail.aShouyo), (std::vector<int>{14, 18}));
    EXPECT_EQ(detail.aShouyo[1].m_strSousikyuugaku, "1800");
    ASSERT_EQ(log.messages.size(), 2u);
    for (const auto& message : log.messages) {
        EXPECT_EQ(message.text, "[SetKyuuyoShouyo]\nPROGRAM ERROR");
        EXPECT_EQ(message.style, MessageStyle::Warning);
    }
}

TEST(ExportStore, RejectedPaymentStillCreatesTheEmployee) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    store.SetKyuuyoShouyo("0009", Payment(19, "1"));
    ASSERT_NE(store.FindSyain("0009"), nullptr);
    EXPECT_TRUE(store.FindSyain("0009")->pDetail->aKyuuyo.empty());
    EXPECT_TRUE(store.FindSyain("0009")->pDetail->aShouyo.empty());
    EXPECT_EQ(log.messages.size(), 1u);
}

TEST(ExportStore, KeepsCopiesOfRecords) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    CFuyosya dependant;
    dependant.m_strName = "A";
    store.SetFuyosya("1", dependant);
    dependant.m_strName = "B";
    store.SetFuyosya("1", dependant);
    CKyuuyoShouyo payment = Payment(3, "300");
    store.SetKyuuyoShouyo("1", payment);
    payment.m_strSousikyuugaku = "changed";
    const SYAINDETAIL& detail = *store.FindSyain("1")->pDetail;
    ASSERT_EQ(detail.aFuyosya.size(), 2u);
    EXPECT_EQ(detail.aFuyosya[0].m_strName, "A");
    EXPECT_EQ(detail.aFuyosya[1].m_strName, "B");
    EXPECT_EQ(detail.aKyuuyo.at(0).m_strSousikyuugaku, "300");
}

TEST(ExportStore, AddSyainKeepsCodesUnique) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    SYAINDATA& first = store.AddSyain("7");
    EXPECT_EQ(first.strCode, "7");
    EXPECT_EQ(first.strName, "");
    EXPECT_EQ(first.pDetail->aValues.size(), static_cast<std::size_t>(kAcceptedLabelCount));
    EXPECT_EQ(&store.AddSyain("7"), &first);
    EXPECT_EQ(store.FindSyain("7"), &first);
    EXPECT_EQ(Codes(store).size(), 1u);
}

}  // namespace
}  // namespace kw39
