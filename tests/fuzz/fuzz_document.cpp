// The document writer with arbitrary values: employees with fuzzed codes and
// names, values under fuzzed or real labels, dependants and payments, fuzzed
// frame values. The document must always be well-formed XML with CR LF lines.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "export/document_sink.h"
#include "export/export_xml.h"
#include "export/field_catalogue.h"
#include "fuzz_support.h"
#include "xml_check.h"

namespace {

const std::vector<const char*>& Labels() {
    static const std::vector<const char*> labels = [] {
        std::vector<const char*> all;
        for (const auto items : {kw39::HonninItems(), kw39::HaiguusyaItems(), kw39::KazokuItems(),
                                 kw39::KoujogakuItems(), kw39::KyuuyoItems(), kw39::ShouyoItems(),
                                 kw39::GoukeiItems()}) {
            for (const kw39::XMLITEMINFO& item : items) all.push_back(item.pszLabel);
        }
        return all;
    }();
    return labels;
}

std::string Text(FuzzedDataProvider& in) { return in.ConsumeRandomLengthString(64); }

void Fill(FuzzedDataProvider& in, kw39::CExportXMLKw39& store) {
    std::vector<std::string> codes;
    while (in.remaining_bytes() > 0 && codes.size() < 64) {
        if (codes.empty() || in.ConsumeBool()) codes.push_back(Text(in));
        const std::string& code =
            codes[in.ConsumeIntegralInRange<std::size_t>(0, codes.size() - 1)];
        switch (in.ConsumeIntegralInRange(0, 4)) {
            case 0:
                store.SetSyainName(code, Text(in));
                break;
            case 1: {
                const std::string value = Text(in);
                const char* label =
                    Labels()[in.ConsumeIntegralInRange<std::size_t>(0, Labels().size() - 1)];
                store.SetData(code, value, label);
                break;
            }
            case 2:
                store.SetData(code, Text(in), Text(in));
                break;
            case 3: {
                kw39::CFuyosya dependant;
                dependant.m_strName = Text(in);
                dependant.m_strZokugara = Text(in);
                dependant.m_strSeinengappi = Text(in);
                dependant.m_strFuyoukubun = Text(in);
                dependant.m_strSyougaisya = Text(in);
                store.SetFuyosya(code, dependant);
                break;
            }
            default: {
                kw39::CKyuuyoShouyo payment;
                payment.m_nNo = in.ConsumeIntegralInRange(-2, 25);
                payment.m_strSousikyuugaku = Text(in);
                payment.m_strHokenkoujogaku = Text(in);
                payment.m_strFuyousinzokusuu = Text(in);
                payment.m_strSansyutuzeigaku = Text(in);
                store.SetKyuuyoShouyo(code, payment);
                break;
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const kw39::LinkMode mode = in.ConsumeBool() ? kw39::kModeStandard : kw39::kModeSimple;
    const std::string functionId = Text(in);
    const std::string company = Text(in);
    const std::string year = Text(in);
    kw39::platform::MessageLog port;
    kw39::CExportXMLKw39 store(port);
    Fill(in, store);
    kw39::StringSink sink;
    store.WriteDocumentTo(sink, mode, functionId, company, year);
    const std::string problem = kw39::test::CheckXmlDocument(sink.text);
    if (!problem.empty()) kw39::fuzz::Broken("the document is not well-formed: " + problem);
    return 0;
}
