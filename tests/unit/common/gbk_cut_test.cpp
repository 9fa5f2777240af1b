#include "common/gbk_cut.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(GbkCut, CountsGbkBytesAndReportsTheMarker) {
  const struct {
    const char* text;
    const char* marker;
    int skip, length;
    bool found;
    std::string bytes;
  } cases[] = {
      {"ab=xyz", "=", 0, 2, true, "xy"},
      {"ab=xyz", "=", 1, 5, true, "yz"},      // cut short at the end
      {"ab=x", "=", 1, 1, true, ""},         // past the end
      {"学籍=12", "=", 0, 2, true, "12"},     // 学籍 are four bytes before the marker
      {"k=学1", "=", 1, 1, true, "\xa7"},     // the second byte of 学 (GBK D1A7)
      {"学=1", "学=", 0, 1, true, "1"},       // a Chinese marker counts its bytes
      {"0123456789", "none", 0, 3, false, "345"},  // missing: from 1-based byte bytes(marker) + skip
      {"0123456789", "none", -4, 2, false, ""},    // before the text: nothing
      {"", "=", 0, 1, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const GbkCut cut = cutAfterGbk(c.text, c.marker, c.skip, c.length);
    EXPECT_EQ(cut.markerFound, c.found);
    EXPECT_EQ(cut.bytes, c.bytes);
  }
}

TEST(GbkCut, AccountTypeWithAndWithoutTheMarker) {
  EXPECT_EQ(accountTypeDigit("x={userType:\"1\"}", true), 1);
  EXPECT_EQ(accountTypeDigit("x={userType:\"1\"}", false), 1);
  // The home page's 10th byte stands in for a missing marker only where it may.
  EXPECT_EQ(accountTypeDigit("123456789712345", false), 7);
  EXPECT_EQ(accountTypeDigit("123456789712345", true), std::nullopt);
  EXPECT_EQ(accountTypeDigit("userType:\"学", false), std::nullopt);
}

}  // namespace
}  // namespace qm
