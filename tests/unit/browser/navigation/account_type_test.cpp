#include "browser/navigation/account_type.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct Case {
  const char* name;
  std::string html;
  std::optional<int> type;
};

class AccountTypeTest : public ::testing::TestWithParam<Case> {};

TEST_P(AccountTypeTest, ReadsTheSecondGbkByteAfterTheColon) {
  EXPECT_EQ(qm::readAccountType(GetParam().html), GetParam().type);
}

const Case kCases[] = {
    {"QuotedOne", "<head></head><body><script>var u={userType:\"1\"};</script></body>", 1},
    {"BlankOne", "<head></head><script>x={userType: 1}</script>", 1},
    {"QuotedTwo", "<head><title>主页</title></head><script>x={userType:\"2\"}</script>", 2},
    {"QuotedZero", "<script>x={userType:\"0\"}</script>", 0},
    // Text before the marker does not move the read relative to it.
    {"ChineseBefore", "<title>学籍管理系统首页</title><script>userType:\"3\"</script>", 3},
    // A Chinese character after the colon takes two bytes: the read lands on its second byte.
    {"ChineseAfterColon", "userType:学1", std::nullopt},
    {"BlankAfterColonThenChinese", "userType: 学", std::nullopt},
    {"FirstMarkerWins", "userType:\"2\" userType:\"1\"", 2},
    {"DigitRightAfterColon", "userType:1,", std::nullopt},
    {"NoMarkerTenthNotDigit", "<head><title>x</title></head>", std::nullopt},
    {"NoMarkerTenthDigit", "123456789712345", 7},
    // 学籍网 are six GBK bytes: the tenth byte is the "2", not the tenth character "5".
    {"NoMarkerTenthAfterChinese", "学籍网ab12345x", 2},
    // A character GBK lacks counts one byte ("?"): 学 2 + 1, so the tenth byte is the "7".
    {"NoMarkerUnmappedCountsOne", "学\U00020000" "1234567x", 7},
    {"MarkerAtTheEnd", "abc userType:\"", std::nullopt},
    {"MarkerCutShort", "userType:", std::nullopt},
    {"Empty", "", std::nullopt},
    {"ShortTextNoMarker", "123456789", std::nullopt},
    {"MultiByteAtPosition", "userType:\"学", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Cases, AccountTypeTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
