// Workbooks a real spreadsheet program saved (LibreOffice 7.4, see
// tests/fixtures/workbooks/make_office_fixtures.py): formulas read as their
// cached values, and the .xls and the .xlsx of one sheet read alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures.h"
#include "workbook/workbook_source.h"

namespace qm {
namespace {

using Lines = std::vector<std::string>;

// The sheet as TAB-joined lines: the column names, then every record.
Lines table(const std::string& file, const std::string& sheet) {
  WorkbookSource source;
  source.open(workbookFixture(file));
  source.openSheet(sheet);
  Lines lines;
  auto join = [](const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
    return line;
  };
  lines.push_back(join(source.GetFieldNames()));
  for (source.First(); !source.eof(); source.Next()) {
    std::vector<std::string> cells;
    for (std::size_t c = 0; c < source.GetFieldNames().size(); ++c)
      cells.emplace_back(source.text(static_cast<int>(c)));
    lines.push_back(join(cells));
  }
  return lines;
}

struct SheetCase {
  const char* sheet;
  Lines lines;
};

const SheetCase kOfficeSheets[] = {
    // Key, birth date, gender, photo number and age are formulas; 备注 holds
    // error, boolean and empty-text results; 入学日期 a yyyy\年m\月d\日 format.
    {"学生名单$",
     {"学号\t姓名\t身份证号\t出生日期\t性别\t照片号\t入学日期\t年龄\t备注\t学籍号",
      "S001\t张三\t110101201001051239\t20100105\t男\t1002\t2016-09-01\t14\t#DIV/0!\t20100001",
      "S002\t李四\t110101200912310022\t20091231\t女\t1003\t2015-09-01\t15\t#N/A\t20100002",
      "S003\t王五\t440306201106157717\t20110615\t男\t1004\t2017-09-01\t13\tTRUE\t20100003",
      "S004\t赵六\t310104201002290043\t20100229\t女\t1005\t2016-09-01\t14\t\t20100004",
      "S005\t钱七\t310104201003010049\t20100301\t女\t1006\t2016-09-01\t14\t#VALUE!\t20100005",
      "S006\t孙八\t510107201201011234\t20120101\t男\t1007\t2018-09-01\t12\t转学\t20100006"}},
    // Repeated headers get the smallest free number; the sheet's own 姓名1 keeps its name.
    {"重复列$",
     {"姓名\t身份证号\t姓名2\t性别\t身份证号1\t姓名1", "甲\t110101201001051239\t乙\t男\t110101200912310022\t丙"}},
    {"隐藏$", {"说明", "不显示的表"}},
    {"日期格式$", {"年月日\t年月\t月日\t普通", "2010-01-05\t2010-01-05\t2010-01-05\t40183"}},
};

class OfficeWorkbook : public ::testing::TestWithParam<const char*> {};

TEST_P(OfficeWorkbook, ListsEverySheetHiddenOnesToo) {
  WorkbookSource source;
  source.open(workbookFixture(GetParam()));
  EXPECT_EQ(source.GetTableNames(), (Lines{"学生名单$", "重复列$", "隐藏$", "共享公式$", "日期格式$"}));
}

TEST_P(OfficeWorkbook, SheetsReadAsTheProgramShowsThem) {
  for (const SheetCase& c : kOfficeSheets) EXPECT_EQ(table(GetParam(), c.sheet), c.lines) << c.sheet;
}

TEST_P(OfficeWorkbook, SharedFormulaFilledDownAColumn) {
  const Lines lines = table(GetParam(), "共享公式$");
  ASSERT_EQ(lines.size(), 41u);
  EXPECT_EQ(lines[1], "1\t2\t第1名");
  EXPECT_EQ(lines[17], "17\t34\t第17名");
  EXPECT_EQ(lines[40], "40\t80\t第40名");
}

INSTANTIATE_TEST_SUITE_P(SavedByLibreOffice, OfficeWorkbook, ::testing::Values("office.xls", "office.xlsx"));

TEST(OfficeWorkbooks, BuiltInChineseDateIdsWithoutFormatRecords) {
  // The XFs point at ids 31, 57 and 58 with no FORMAT record, as Chinese
  // Excel and WPS save them; a plain number beside them stays a number.
  EXPECT_EQ(table("office_builtin_dates.xls", "日期格式$"),
            (Lines{"年月日\t年月\t月日\t普通", "2010-01-05\t2010-01-05\t2010-01-05\t40183"}));
}

TEST(OfficeWorkbooks, DateSystem1904) {
  for (const char* file : {"office_1904.xls", "office_1904.xlsx"})
    EXPECT_EQ(table(file, "Sheet1$"), (Lines{"日期\t数", "2010-01-05\t1"})) << file;
}

TEST(OfficeWorkbooks, Excel95InItsCodePage) {
  WorkbookSource source;
  source.open(workbookFixture("excel95.xls"));
  EXPECT_EQ(source.GetTableNames(), (Lines{"学生$"}));  // the chart sheet is left out
  EXPECT_EQ(table("excel95.xls", "学生$"),
            (Lines{"姓名\t身份证号\t出生日期\t年龄\t备注", "张三\t110101201001051239\t2010-01-05\t14\tMale",
                   "李四\t110101200912310022\t2009-12-31\t14.5\t"}));
}

TEST(OfficeWorkbooks, DamagedCopiesFailWithTheirReason) {
  const struct {
    const char* file;
    const char* detail;
  } cases[] = {
      {"office_truncated.xls", "（文件不完整）"},
      {"office_fat_loop.xls", "（扇区链循环）"},
  };
  for (const auto& c : cases) {
    const std::string path = workbookFixture(c.file);
    WorkbookSource source;
    try {
      source.open(path);
      source.openSheet("学生名单$");
      ADD_FAILURE() << c.file << " read";
    } catch (const WorkbookError& e) {
      EXPECT_EQ(std::string(e.what()), "Excel文件已损坏或不完整：" + path + c.detail);
    }
  }
}

}  // namespace
}  // namespace qm
