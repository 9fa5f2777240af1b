#include "server/duplicate/duplicate_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/duplicate/duplicate_controls.h"

namespace qm {
namespace {

TEST(DuplicateLog, LineTexts) {
  EXPECT_EQ(foundLine(12, "李四", "1", {"X中学"}), "【12、李四】共找到1条学籍。学籍所在学校：X中学。");
  EXPECT_EQ(foundLine(3, "甲", "3", {"A", "", "C"}), "【3、甲】共找到3条学籍。学籍所在学校：A;;C。");
  EXPECT_EQ(foundLine(3, "甲", "2", {}), "【3、甲】共找到2条学籍。学籍所在学校：。");
  EXPECT_EQ(duplicateLine(DuplicateLineKind::CaptchaRejected, 5, "乙"), "【5、乙】验证码错误。");
  const auto c = duplicateCounterTexts(7, 120);
  EXPECT_EQ(c.current + c.slash + c.total, "7/120");
}

TEST(DuplicateControls, TableRowsAndNames) {
  using S = DuplicateSituation;
  using C = DuplicateControl;
  auto row = [](S s) {
    std::string out;
    for (const auto& v : duplicateControlStates(s)) out += v ? (*v ? '1' : '0') : '-';
    return out;
  };
  // 打开 关闭 sheet-list 开始查重 停止 退出 filters
  EXPECT_EQ(row(S::FirstShown), "1000011");
  EXPECT_EQ(row(S::SheetReady), "0111011");
  EXPECT_EQ(row(S::SheetLacksField), "0110011");
  EXPECT_EQ(row(S::SheetOpenFailed), "01-0011");
  EXPECT_EQ(row(S::RunInProgress), "0000100");
  EXPECT_EQ(row(S::RunEnded), "0111011");
  EXPECT_EQ(row(S::WorkbookClosed), "1000011");
  EXPECT_TRUE(emptiesSheetList(S::WorkbookClosed));
  EXPECT_FALSE(emptiesSheetList(S::RunEnded));
  EXPECT_EQ(duplicateControlName(C::Open), "BitBtn2");
  EXPECT_EQ(duplicateControlName(C::Close), "BitBtn4");
  EXPECT_EQ(duplicateControlName(C::SheetList), "ComboBox2");
  EXPECT_EQ(duplicateControlName(C::Start), "Button1");
  EXPECT_EQ(duplicateControlName(C::Stop), "Button2");
  EXPECT_EQ(duplicateControlName(C::Exit), "Button4");
  EXPECT_EQ(duplicateControlName(C::Filters), "GroupBox4");
}

}  // namespace
}  // namespace qm
