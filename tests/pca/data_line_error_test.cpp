#include "pca/data_line_error.h"

#include <gtest/gtest.h>

#include <string>

namespace kw39 {
namespace {

TEST(DataLineError, NamesTheFileAndTheLine) {
    const DataLineError error("/in/KOJINQ.CSV", 12, "理由です。");
    EXPECT_EQ(std::string(error.what()),
              "引数が正しくありません。\n/in/KOJINQ.CSV の 12 行目: 理由です。");
    EXPECT_EQ(error.Path(), "/in/KOJINQ.CSV");
    EXPECT_EQ(error.LineNumber(), 12u);
    // The command boundary catches it as an invalid argument.
    const std::invalid_argument& base = error;
    EXPECT_EQ(std::string(base.what()).rfind("引数が正しくありません。\n", 0), 0u);
}

}  // namespace
}  // namespace kw39
