#include "browser/tab_caption.h"

#include <gtest/gtest.h>

#include "common/text_encoding.h"

namespace qm {
namespace {

struct CaptionCase {
  const char* name;
  std::string title;
  std::string caption;
};

class TabCaptionTest : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(TabCaptionTest, FollowsTheByteRule) { EXPECT_EQ(tabCaption(GetParam().title), GetParam().caption); }

INSTANTIATE_TEST_SUITE_P(
    Titles, TabCaptionTest,
    ::testing::Values(
        CaptionCase{"Empty", "", std::string(26, ' ') + "..."},
        CaptionCase{"Short", "abc", "abc" + std::string(23, ' ') + "..."},
        CaptionCase{"Bytes24", std::string(24, 'x'), std::string(24, 'x') + "  ..."},
        CaptionCase{"Bytes25", std::string(25, 'x'), std::string(24, 'x') + "..."},
        // Twelve Chinese characters are 24 GBK bytes: shown whole with two blanks.
        CaptionCase{"Chinese12", "学籍管理系统学生信息查询", "学籍管理系统学生信息查询  ..."},
        // Thirteen are 26 bytes: cut after the twelfth.
        CaptionCase{"Chinese13", "学籍管理系统学生信息查询页", "学籍管理系统学生信息查询..."},
        // The 24th byte is the first half of a character: the whole character goes.
        CaptionCase{"CutInsideCharacter", "a学籍管理系统学生信息查询", "a学籍管理系统学生信息查..."},
        CaptionCase{"MixedShort", "登录 - Login", "登录 - Login" + std::string(26 - 12, ' ') + "..."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TabCaption, PaddedCaptionIs26GbkBytesBeforeTheDots) {
  for (std::string title : {"", "学籍", "x学籍y", "登录页面"}) {
    std::string caption = tabCaption(title);
    ASSERT_EQ(caption.substr(caption.size() - 3), "...");
    EXPECT_EQ(gbkByteLength(caption.substr(0, caption.size() - 3)), 26u) << title;
  }
}

TEST(TabCaption, CharacterGbkLacksCountsOneByteAndStaysAsItIs) {
  // U+20BB7 is outside GBK: one byte ("?") in the count, kept as written.
  const std::string rare = "\xF0\xA0\xAE\xB7";
  std::string title = rare + std::string(23, 'x') + "yz";
  EXPECT_EQ(tabCaption(title), rare + std::string(23, 'x') + "...");
}

}  // namespace
}  // namespace qm
