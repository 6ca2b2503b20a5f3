// The catalogue of messages: every text once, keyed by id, with its gloss.
#include "platform/messages.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace kw39::platform {
namespace {

// Every message has its text, and every word the terminal, the report and the
// desktop program show has its English gloss; the values are put in once,
// also after a character whose trail byte is a brace ("ボ" is 0x83 0x7B).
TEST(MessagesTest, EveryTextHasItsGlossAndTakesItsValuesOnce) {
    const auto first = static_cast<std::size_t>(MessageId::KindFuyosyaLeftOut);
    const auto last = static_cast<std::size_t>(MessageId::XmlFilter);
    for (std::size_t id = 1; id <= last; ++id) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(JapaneseText(static_cast<MessageId>(id)).empty());
        if (id >= first) {
            EXPECT_FALSE(EnglishText(static_cast<MessageId>(id)).empty());
        }
    }
    EXPECT_EQ(JapaneseText(static_cast<MessageId>(last + 1)), "");

    EXPECT_EQ(Glossed(MessageId::BatchConverted, {"3", "2"}),
              "3 社中 2 社を変換しました。 (2 of 3 companies converted.)");
    EXPECT_EQ(TextOf(MessageId::FileOfFolder, {"{2}", "社員情報"}), "{2} の社員情報");
    EXPECT_EQ(Compose("ボ1}{1}ボ{2}", {"a", "b"}), "ボ1}aボb");
    EXPECT_EQ(Compose("{1}{9}", {"a"}), "a");
}

}  // namespace
}  // namespace kw39::platform
