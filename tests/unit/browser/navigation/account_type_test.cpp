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

TEST_P(AccountTypeTest, ReadsTheSecondCharacterAfterTheColon) {
  EXPECT_EQ(qm::readAccountType(GetParam().html), GetParam().type);
}

const Case kCases[] = {
    {"QuotedOne", "<head></head><body><script>var u={userType:\"1\"};</script></body>", 1},
    {"BlankOne", "<head></head><script>x={userType: 1}</script>", 1},
    {"QuotedTwo", "<head><title>主页</title></head><script>x={userType:\"2\"}</script>", 2},
    {"QuotedZero", "<script>x={userType:\"0\"}</script>", 0},
    // Chinese text before the marker must not shift the position.
    {"ChineseBefore", "<title>学籍管理系统首页</title><script>userType:\"3\"</script>", 3},
    {"FirstMarkerWins", "userType:\"2\" userType:\"1\"", 2},
    {"DigitRightAfterColon", "userType:1,", std::nullopt},
    {"NoMarkerTenthNotDigit", "<head><title>x</title></head>", std::nullopt},
    {"NoMarkerTenthDigit", "123456789712345", 7},
    {"NoMarkerTenthAfterChinese", "学籍网ab12345x", 5},
    {"MarkerAtTheEnd", "abc userType:\"", std::nullopt},
    {"MarkerCutShort", "userType:", std::nullopt},
    {"Empty", "", std::nullopt},
    {"ShortTextNoMarker", "123456789", std::nullopt},
    {"MultiByteAtPosition", "userType:\"学", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Cases, AccountTypeTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
