// The hand-over of finished records to the thread that makes their sections:
// the same bytes in the same order as sections made in turn, the records given
// back for reuse, and a failure of a section reported to the converting thread
// with its own type.
#include "export/section_thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/field_catalogue.h"
#include "export/syain_section.h"

namespace kw39 {
namespace {

std::unique_ptr<SYAINDATA> Record(int n) {
    auto syain = std::make_unique<SYAINDATA>();
    syain->strCode = "E" + std::to_string(n);
    syain->strName = "社員<" + std::to_string(n) + ">";
    syain->pDetail = std::make_unique<SYAINDETAIL>();
    syain->pDetail->aValues.resize(kAcceptedLabelCount);
    syain->pDetail->aValues[kHonninSlotBase] = std::to_string(n * 7);
    CKyuuyoShouyo payment;
    payment.m_nNo = 1;
    payment.m_strSousikyuugaku = std::to_string(n * 1000);
    syain->pDetail->aKyuuyo.push_back(payment);
    return syain;
}

// Takes bytes until `limit`, then throws what a full disk would not: the type
// of a failure must reach the caller unchanged.
class LimitedSink : public DocumentSink {
  public:
    explicit LimitedSink(std::size_t limit) : m_nLimit(limit) {}
    void Write(const char* data, std::size_t size) override {
        if (text.size() + size > m_nLimit) throw std::runtime_error("sink full");
        text.append(data, size);
    }
    std::string text;

  private:
    std::size_t m_nLimit;
};

TEST(SectionThread, SectionsArriveInOrderAndRecordsComeBackForReuse) {
    // Three records never start the thread; two hundred pass through it.
    for (const int records : {3, 200}) {
        for (const LinkMode mode : {kModeStandard, kModeSimple}) {
            SCOPED_TRACE(testing::Message() << records << " records, mode " << mode);
            StringSink expected;
            DocumentWriter inTurn(expected);
            for (int n = 0; n < records; ++n) WriteSyainSection(inTurn, *Record(n), mode);
            inTurn.Flush();

            StringSink sink;
            DocumentWriter writer(sink, 1);  // every section passed on at once
            std::set<const SYAINDATA*> handedOver;
            std::size_t givenBack = 0;
            {
                SectionThread sections(writer, mode, SectionThread::kWakeCount);
                for (int n = 0; n < records; ++n) {
                    std::unique_ptr<SYAINDATA> syain = Record(n);
                    handedOver.insert(syain.get());
                    const std::unique_ptr<SYAINDATA> spare = sections.Put(std::move(syain));
                    if (!spare) continue;
                    ++givenBack;
                    // Only a record handed over earlier, never the one just
                    // given, and blank: nothing of its employee reaches the next.
                    EXPECT_EQ(handedOver.count(spare.get()), 1u);
                    handedOver.erase(spare.get());
                    EXPECT_TRUE(spare->strCode.empty() && spare->strName.empty());
                    for (const std::string& value : spare->pDetail->aValues) {
                        EXPECT_TRUE(value.empty());
                    }
                    EXPECT_EQ(spare->pDetail->aValues.size(),
                              static_cast<std::size_t>(kAcceptedLabelCount));
                    EXPECT_TRUE(spare->pDetail->aKyuuyo.empty());
                }
                sections.Finish();
                EXPECT_THROW(sections.Put(Record(0)), std::logic_error);
            }
            writer.Flush();
            EXPECT_EQ(sink.text, expected.text);
            EXPECT_EQ(givenBack > 0, records > 100);
        }
    }
}

TEST(SectionThread, AFailedSectionIsReportedByALaterPutOrByFinish) {
    // A failure in the middle surfaces at a later hand-over, and again at
    // Finish, which still ends the thread; what was passed on is the start of
    // the sections in order.
    constexpr int kRecords = 1000;
    StringSink whole;
    DocumentWriter inTurn(whole);
    for (int n = 0; n < kRecords; ++n) WriteSyainSection(inTurn, *Record(n), kModeStandard);
    inTurn.Flush();

    LimitedSink sink(10'000);
    DocumentWriter writer(sink, 1);
    SectionThread sections(writer, kModeStandard, 2);
    bool thrown = false;
    for (int n = 0; n < kRecords && !thrown; ++n) {
        try {
            sections.Put(Record(n));
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "sink full");
            thrown = true;
        }
    }
    EXPECT_TRUE(thrown);
    EXPECT_THROW(sections.Put(Record(0)), std::runtime_error);
    EXPECT_THROW(sections.Finish(), std::runtime_error);
    EXPECT_GT(sink.text.size(), 5'000u);
    EXPECT_TRUE(whole.text.starts_with(sink.text));

    // A failure of the last section surfaces at Finish.
    LimitedSink small(100);
    DocumentWriter tail(small, 1);
    SectionThread last(tail, kModeSimple);
    last.Put(Record(1));
    EXPECT_THROW(last.Finish(), std::runtime_error);
    EXPECT_LE(small.text.size(), 100u);
}

}  // namespace
}  // namespace kw39
