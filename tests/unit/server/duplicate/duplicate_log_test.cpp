#include "server/duplicate/duplicate_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "server/duplicate/duplicate_controls.h"

namespace qm {
namespace {

std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(DuplicateLog, SavedBytesAreGb18030WithCrLf) {
  struct Case {
    std::vector<std::string> lines;
    std::string bytes;
  } cases[] = {
      {{}, ""},
      {{"【1、张三】查重无问题。"},
       "\xA1\xBE" "1\xA1\xA2\xD5\xC5\xC8\xFD\xA1\xBF\xB2\xE9\xD6\xD8\xCE\xDE\xCE\xCA\xCC\xE2\xA1\xA3\r\n"},
      {{"a", "", "b"}, "a\r\n\r\nb\r\n"},
      // 𠀀 (U+20000) is not in GBK; GB18030 keeps it in four bytes.
      {{"\xF0\xA0\x80\x80"}, "\x95\x32\x82\x36\r\n"},
      // A name cell holding a line break: the file still has only CR LF ends.
      {{"x\ny", "p\r\nq", "r\rs"}, "x\r\ny\r\np\r\nq\r\nr\r\ns\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(duplicateLogBytes(c.lines), c.bytes);
}

TEST(DuplicateLog, SavingTwiceLeavesOnlyTheSecondContent) {
  char tmpl[] = "/tmp/qm_duplicate_logXXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::filesystem::path dir(tmpl);
  const std::string path = (dir / "结果.txt").string();
  ASSERT_TRUE(saveDuplicateLog(path, {"first line that is longer", "second"}));
  ASSERT_TRUE(saveDuplicateLog(path, {"【2、乙】验证码错误。"}));
  EXPECT_EQ(readFile(path), duplicateLogBytes({"【2、乙】验证码错误。"}));
  std::string error;
  EXPECT_FALSE(saveDuplicateLog((dir / "missing" / "x.txt").string(), {"x"}, &error));
  EXPECT_FALSE(error.empty());
  std::filesystem::remove_all(dir);
}

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
