#include "pca/header_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kw39 {
namespace {

TEST(HeaderLine, RecognisesSectionHeaders) {
    struct Case {
        std::string line;
        bool header;
        std::string code;  // HeaderTableCode, checked for header lines
    };
    const Case cases[] = {
        {"[10601]", true, "10601"},
        {"[10000] \t\r\n", true, "10000"},
        {"[10601]x", true, "10601x"},
        {"[10601][x]", true, "10601x"},
        {"[12345]", true, "12345"},
        {"[ーー1]", true, "ーー1"},  // five bytes between the brackets
        {" [10000]", false, ""},
        {"[10000],", false, ""},
        {"[10000],abc", false, ""},
        {"[1060]", false, ""},
        {"[1234]", false, ""},
        {"[106011]", false, ""},
        {"x[10601]", false, ""},
        {"", false, ""},
        {"   ", false, ""},
        // The trail byte of "ー" (0x815B) is not a "[": the first "[" is at 2.
        {"ー[10601]", false, ""},
        // "‐" is 0x81 0x5D: its trail byte at offset 6 is no "]" ...
        {"[1234\x81\x5D]", false, ""},
        // ... nor at offset 3, so the "]" at offset 6 is the first one.
        {"[1\x81\x5D"
         "12]",
         true,
         "1\x81\x5D"
         "12"},
        // The ideographic comma "、" is no comma.
        {"[10、1]", true, "10、1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsHeaderLine(c.line), c.header) << c.line;
        if (c.header) {
            EXPECT_EQ(HeaderTableCode(c.line), c.code) << c.line;
        }
    }
}

// Each line with its fields and what its quotes tell (. none, O an odd count,
// C a comma kept inside a field not wholly enclosed in quotes).
TEST(SplitCsvLine, QuoteAndCommaRules) {
    struct Case {
        const char* name;
        std::string line;
        std::vector<std::string> fields;
        char fault = '.';
    };
    const Case cases[] = {
        {"quoted comma", "a,\"b,c\",d", {"a", "b,c", "d"}},
        {"doubled quote", "\"x\"\"y\"", {"x``y"}},
        {"trailing comma", "a,", {"a", ""}},
        {"quote inside a field", "\"a\"b,c", {"a`b,c"}, 'C'},
        {"empty line", "", {""}},
        {"blank line", " \t ", {""}},
        {"only commas", ",,", {"", "", ""}},
        {"surrounding blanks of the line go", "  a , b  \r\n", {"a ", " b"}},
        {"blanks inside stay", "a, b ,c", {"a", " b ", "c"}},
        {"quoted empty", "\"\",x", {"", "x"}},
        {"all quoted", "\"0001\",\"社員 一郎\",\"\"", {"0001", "社員 一郎", ""}},
        {"unclosed quote", "\"a,b", {"a,b"}, 'O'},
        {"a quote in a bare field opens quoting", "a\",b", {"a,b"}, 'O'},
        {"and is dropped", "a\"b", {"ab"}, 'O'},
        {"a quote inside quoting", "\"a\"b\"", {"a`b"}, 'O'},
        {"quote counter resets per field", "\"a\",\"b\"", {"a", "b"}},
        {"lone quote", "\"", {""}, 'O'},
        {"double-byte text", "社員ー,表示", {"社員ー", "表示"}},
        {"trail byte 0x5C before a quote", "\"表\",ソ", {"表", "ソ"}},
        {"a lead byte takes the next byte along", "\x81,a", {"\x81,a"}},
        {"full-width blank stays", "　a　,b", {"　a　", "b"}},
        {"a quoted word inside a bare field",
         "6317,予\"貼\"工業,PCA,10",
         {"6317", "予貼`工業,PCA,10"},
         'C'},
        {"text after the closing quote", "1100,\"ソ表,能\"商会,x", {"1100", "ソ表,能`商会,x"}, 'C'},
        {"even quotes that close at the end", "\"ソ表,能\"商会,\"x\"", {"ソ表,能`商会,`x"}, 'C'},
        {"commas and doubled quotes in a quoted field", "\"a,\"\"b\"\"\",c", {"a,``b``", "c"}},
        {"a quoted field after blanks", "a, \"b,c\"", {"a", " b,c"}, 'C'},
        {"no comma kept, no finding", "1,a\"b\"c", {"1", "ab`c"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> fields = {"stale"};
        const QuoteFault fault = SplitCsvLine(c.line, fields);
        EXPECT_EQ(fields, c.fields) << c.name;
        const char told = fault == QuoteFault::OddCount             ? 'O'
                          : fault == QuoteFault::CommaOutsideQuotes ? 'C'
                                                                    : '.';
        EXPECT_EQ(told, c.fault) << c.name;
    }
}

TEST(SplitCsvLine, LinesOfAnyLength) {
    for (const std::size_t length : {4095u, 4096u, 10000u, 100000u}) {
        const std::string big(length, 'x');
        std::vector<std::string> fields;
        SplitCsvLine("a,\"" + big + "\"," + big, fields);
        ASSERT_EQ(fields.size(), 3u) << length;
        EXPECT_EQ(fields[0], "a");
        EXPECT_EQ(fields[1], big);
        EXPECT_EQ(fields[2], big);
    }
}

}  // namespace
}  // namespace kw39
