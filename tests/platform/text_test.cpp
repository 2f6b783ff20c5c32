#include "platform/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, ConversionsRoundTripAndRepair) {
  const std::string mixed = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";  // a é 中 😀
  EXPECT_EQ(platform::Utf16ToUtf8(platform::Utf8ToUtf16(mixed)), mixed);
  EXPECT_EQ(platform::Utf8ToUtf16(mixed).size(), 5u);  // the emoji takes two units
  EXPECT_EQ(platform::MakeValidUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(platform::Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Text, TruncateCountsCharacters) {
  const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97";  // three characters
  EXPECT_EQ(platform::TruncateUtf8(chinese, 2), "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(platform::TruncateUtf8(chinese, 5), chinese);
  EXPECT_EQ(platform::TruncateUtf8("abc", 0), "");
  EXPECT_EQ(platform::Utf8Length(chinese), 3u);
}

}  // namespace
