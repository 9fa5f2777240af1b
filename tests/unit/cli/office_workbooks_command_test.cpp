// The commands on workbooks LibreOffice saved: the .xls and the .xlsx of one
// sheet give the same log, formulas read as their cached values, and a
// repeated header cannot make the run read another column than it names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "cli/cells_command.h"
#include "cli/check_command.h"
#include "cli/compare_command.h"

namespace qm::cli {
namespace {

std::string fixture(const std::string& name) {
  const char* root = std::getenv("QM_FIXTURES");
  return std::string(root != nullptr ? root : "QM_FIXTURES-not-set") + "/workbooks/" + name;
}

struct Outcome {
  int status;
  std::string out, err;
};

template <typename Command>
Outcome run(Command command, std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = command(args, out, err);
  return {status, out.str(), err.str()};
}

class OfficeFormats : public ::testing::TestWithParam<const char*> {};

TEST_P(OfficeFormats, RecordCheckerReadsFormulaDatesAndGenders) {
  // Birth date =MID(...), gender =IF(MOD(MID(...)...)): only the two faulty
  // records are logged.
  const Outcome r = run(runCheckCommand, {fixture(GetParam())});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "4、出生日期错误。身份证号码中的出生日期错误。\n5、身份证号码错误。\n");
  EXPECT_EQ(r.err, "检查结束！发现了一些错误。\n");
}

TEST_P(OfficeFormats, RepeatedHeaderReadsTheColumnTheBoxNames) {
  // 身份证号 twice: the first (a boy's ID, beside 性别 男) keeps the name, the
  // second (a girl's) is 身份证号1; the run reads the column named.
  Outcome r = run(runCheckCommand, {fixture(GetParam()), "--sheet", "重复列"});
  EXPECT_EQ(r.status, 0) << r.out;
  r = run(runCheckCommand, {fixture(GetParam()), "--sheet", "重复列", "--id", "身份证号1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "1、身份证号中的性别码与性别不一致。\n");
}

TEST_P(OfficeFormats, ComparisonAcrossFormatsOnFormulaKeys) {
  // The key 学号 is ="S"&TEXT(n,"000"); the other format is the base.
  const std::string self = fixture(GetParam());
  const std::string other = fixture(std::string(GetParam()).back() == 's' ? "office.xlsx" : "office.xls");
  const Outcome r = run(runCompareCommand, {other, self, "--pair1", "出生日期", "--pair2", "备注", "--pair3", "年龄"});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out,
            "1、S001:共找到1条数据。(1)出生日期相同。备注相同。年龄相同。\n"
            "2、S002:共找到1条数据。(1)出生日期相同。备注相同。年龄相同。\n"
            "3、S003:共找到1条数据。(1)出生日期相同。备注相同。年龄相同。\n"
            "4、S004:共找到1条数据。(1)出生日期相同。备注相同。年龄相同。\n"
            "5、S005:共找到1条数据。(1)出生日期相同。备注相同。年龄相同。\n"
            "6、S006:共找到1条数据。(1)出生日期相同。备注相同。年龄相同。\n");
}

TEST_P(OfficeFormats, CellsPrintsTheTableAndTheSheetNames) {
  Outcome r = run(runCellsCommand, {fixture(GetParam()), "--sheets"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "学生名单\n重复列\n隐藏\n共享公式\n日期格式\n");
  r = run(runCellsCommand, {fixture(GetParam()), "--sheet", "日期格式$"});
  EXPECT_EQ(r.out, "年月日\t年月\t月日\t普通\n2010-01-05\t2010-01-05\t2010-01-05\t40183\n");
  r = run(runCellsCommand, {fixture(GetParam())});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n', r.out.find('\n') + 1) + 1),
            "学号\t姓名\t身份证号\t出生日期\t性别\t照片号\t入学日期\t年龄\t备注\t学籍号\n"
            "S001\t张三\t110101201001051239\t20100105\t男\t1002\t2016-09-01\t14\t#DIV/0!\t20100001\n");
}

INSTANTIATE_TEST_SUITE_P(SavedByLibreOffice, OfficeFormats, ::testing::Values("office.xls", "office.xlsx"));

TEST(CellsCommand, EscapesAndFailures) {
  const struct {
    const char* cell;
    const char* written;
  } cases[] = {{"a\tb", "a\\tb"}, {"a\\b", "a\\\\b"}, {"x\r\ny", "x\\r\\ny"}, {"中文", "中文"}, {"", ""}};
  for (const auto& c : cases) {
    std::string line;
    appendEscapedCell(line, c.cell);
    EXPECT_EQ(line, c.written);
  }
  Outcome r = run(runCellsCommand, {fixture("office.xls"), "--sheet", "无此表"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("no sheet named '无此表'"), std::string::npos) << r.err;
  r = run(runCellsCommand, {fixture("office_fat_loop.xls")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "quillmere-batch cells: " + fixture("office_fat_loop.xls") + ": Excel文件已损坏或不完整：" +
                       fixture("office_fat_loop.xls") + "（扇区链循环）\n");
  EXPECT_EQ(run(runCellsCommand, {}).status, 2);
  EXPECT_EQ(run(runCellsCommand, {fixture("office.xls"), "--sheets", "--sheet", "x"}).status, 2);
}

TEST(CellsCommand, PrintsUpToTheLastNonEmptyRecordWithEveryColumn) {
  // The student sheet of the hand-written fixtures has an empty middle row
  // (kept) and cells missing at a row's end (still as many fields).
  const Outcome r = run(runCellsCommand, {fixture("students.xls")});
  ASSERT_EQ(r.status, 0);
  std::istringstream lines(r.out);
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 9) << line;
  }
  EXPECT_EQ(count, 5);
}

}  // namespace
}  // namespace qm::cli
