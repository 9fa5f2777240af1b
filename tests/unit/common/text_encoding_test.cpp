#include <gtest/gtest.h>

#include "common/text_encoding.h"
#include "common/trim.h"

using namespace qm;

TEST(TextEncoding, GbkRoundTripAndByteCounts) {
  struct Case { std::string utf8; std::size_t gbkBytes; } cases[] = {
      {"", 0}, {"abc", 3}, {"张三", 4}, {"学籍系统省份", 12}, {"2019级1班", 9},
      {"𠀀", 1},     // outside GBK: one "?"
      {"䶮", 1},     // rare name character that GBK lacks
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gbkByteLength(c.utf8), c.gbkBytes) << c.utf8;
  }
  EXPECT_EQ(utf8ToGbk("张三"), "\xD5\xC5\xC8\xFD");
  EXPECT_EQ(gbkToUtf8("\xD5\xC5\xC8\xFD"), "张三");
  EXPECT_EQ(utf8ToGbk("a䶮b"), "a?b");
}

TEST(TextEncoding, Gb18030KeepsCharactersGbkLacks) {
  const std::string name = "王䶮𠀀";
  std::string bytes = utf8ToGb18030(name);
  EXPECT_EQ(bytes.substr(0, 2), utf8ToGbk("王"));
  EXPECT_EQ(gb18030ToUtf8(bytes), name);
}

TEST(TextEncoding, BrokenInputNeverThrows) {
  EXPECT_EQ(gbkToUtf8("\xD5"), "\xEF\xBF\xBD");         // cut two-byte character
  EXPECT_EQ(utf8ToGbk("a\xFF" "b"), "a?b");              // stray byte
  EXPECT_EQ(utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");   // lone surrogate
  EXPECT_EQ(utf16ToUtf8(u"\xD840\xDC00"), "𠀀");
}

TEST(Trim, DropsCodesUpToThirtyTwo) {
  EXPECT_EQ(trimLow(" \t\r\n\x01 abc \x1f"), "abc");
  EXPECT_EQ(trimLow("\x7f" "a\x7f"), "\x7f" "a\x7f");
  EXPECT_EQ(trimLow("   "), "");
  EXPECT_EQ(trimLow(" 张 三 "), "张 三");
}
