// The numbers the scrapes read from list pages: the pager's page count (GBK
// bytes), the page-number box and the home page's user type.
#include <gtest/gtest.h>

#include "server/scrape/pager_text.h"

namespace qm {
namespace {

struct PagerCase {
  const char* text;
  std::optional<int> pages;
};

TEST(PageCountRule, CountsGbkBytesAroundTheNumber) {
  const PagerCase cases[] = {
      {"，共 5 页", 5},          // 2 + 2 + blank, number, blank + 2: 8 bytes around it in GBK
      {"，共 1 页", 1},
      {"，共 123 页", 123},
      {"，共 10000 页", 10000},
      {"共 5 页", std::nullopt},       // 7 bytes: nothing to read
      {"", std::nullopt},
      {"，共 x 页", std::nullopt},
      {"，共  页", std::nullopt},      // 8 bytes: an empty number
      {"，共 -2 页", -2},
      {"ab 42cdefg", 42},               // ASCII: 10 bytes, 2 after the first blank
      {"abcdefgh7", std::nullopt},      // no blank: read from the start ("a")
      {"12345678 9", 9},                // the cut stops at the end of the text
      {"第1页，共 3 页", std::nullopt}, // another wording: the cut holds "3 页"
  };
  for (const PagerCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(pageCountFromPagerText(c.text), c.pages);
  }
}

TEST(PageCountRule, CountsACharacterGbkLacksAsOneByte) {
  // U+20BB7 is not in GBK: it stands as "?", one byte, so the frame is 8 bytes.
  EXPECT_EQ(pageCountFromPagerText("\xF0\xA0\xAE\xB7共 6 页\xE3\x80\x82"), std::nullopt);
  EXPECT_EQ(pageCountFromPagerText("\xF0\xA0\xAE\xB7共 6 页"), std::nullopt);
  EXPECT_EQ(pageCountFromPagerText("\xF0\xA0\xAE\xB7" "a共 6 页"), 6);
}

TEST(WholeNumber, SignAndDigitsOnly) {
  EXPECT_EQ(wholeNumber("12"), 12);
  EXPECT_EQ(wholeNumber("+3"), 3);
  EXPECT_EQ(wholeNumber("-4"), -4);
  EXPECT_EQ(wholeNumber("0"), 0);
  for (const char* bad : {"", "+", "-", "++3", " 5", "5 ", "5a", "0x10", "99999999999"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(wholeNumber(bad), std::nullopt);
  }
}

TEST(UserType, SecondGbkByteAfterTheMarker) {
  const struct {
    const char* html;
    std::optional<int> type;
  } cases[] = {
      {"<script>var o = {userType: 1, x: 2};</script>", 1},
      {"<script>var o = {userType:'2'};</script>", 2},
      {"<title>学籍首页</title><script>userType:'2'</script>", 2},  // bytes before the marker do not move it
      {"userType:33", 3},
      {"userType:3x", std::nullopt},  // the character after the digit
      {"userType:", std::nullopt},
      {"userType:中4", std::nullopt},  // 中 is two bytes: the read lands on its second
      {"userType: 4", 4},
      // No marker: not the home page, whatever its 10th byte holds.
      {"<head>abc5def userType", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html);
    EXPECT_EQ(userTypeFromHomePage(c.html), c.type);
  }
}

}  // namespace
}  // namespace qm
