// The versions written into every document come from the running program's
// version resource; this test program carries the same resource.
#include <gtest/gtest.h>

#include "platform/version.h"
#include "version_values.h"

namespace kw39::platform {
namespace {

TEST(VersionWin, ReadFromOwnVersionResource) {
    EXPECT_EQ(ReadProductVersion(), "1, 0, 0, 0");
    EXPECT_EQ(ReadFileVersion(), "2014, 9, 12, 0");
    // The same values as the build's single source.
    EXPECT_EQ(ReadProductVersion(), KW39_PRODUCT_VERSION_TEXT);
    EXPECT_EQ(ReadFileVersion(), KW39_FILE_VERSION_TEXT);
}

}  // namespace
}  // namespace kw39::platform
