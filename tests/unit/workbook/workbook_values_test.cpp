// How cell values read as text: numbers, dates of both date systems,
// booleans, and the cell kinds of the .xlsx format.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures.h"
#include "workbook/workbook_source.h"

namespace qm {
namespace {

using Names = std::vector<std::string>;

std::vector<std::string> column(WorkbookSource& source, const std::string& table, int field) {
  source.openSheet(table);
  std::vector<std::string> texts;
  for (source.First(); !source.eof(); source.Next()) texts.emplace_back(source.text(field));
  return texts;
}

// The "数值" sheet: one value per record, in the order make_fixtures.py writes them.
std::vector<std::string> expectedValues() {
  return {"42", "-7", "3", "1.75", "0.3", "0.333333333333333", "1.10101200001011E+17", "1E-05",
          "123456789012345", "2147483648", "2010-01-05", "1900-02-28", "1900-02-29", "1900-03-01",
          "2020-01-01 12:30:00", "06:00:00", "TRUE", "FALSE", " 空格 ", "", "0.5"};
}

TEST(WorkbookValues, XlsCellsAsText) {
  WorkbookSource source;
  source.open(workbookFixture("students.xls"));
  EXPECT_EQ(column(source, "数值$", 0), expectedValues());
}

TEST(WorkbookValues, XlsxCellsAsText) {
  WorkbookSource source;
  source.open(workbookFixture("students.xlsx"));
  EXPECT_EQ(column(source, "数值$", 0), expectedValues());
}

TEST(WorkbookValues, BooleansOfTheStudentSheet) {
  WorkbookSource xlsx;
  xlsx.open(workbookFixture("students.xlsx"));
  EXPECT_EQ(column(xlsx, "学生名单$", 9), (Names{"TRUE", "FALSE", "", ""}));
}

TEST(WorkbookValues, Dates1904System) {
  for (const char* file : {"dates1904.xls", "dates1904.xlsx"}) {
    WorkbookSource source;
    source.open(workbookFixture(file));
    EXPECT_EQ(column(source, "日期$", 0), (Names{"2010-01-05"})) << file;
  }
}

TEST(WorkbookValues, HandWrittenPackage) {
  WorkbookSource source;
  source.open(workbookFixture("handmade.xlsx"));
  // Workbook order, not part order; the chart sheet is no table.
  EXPECT_EQ(source.GetTableNames(), (Names{"类型 & 格式$", "第二$", "乱序$"}));
  source.openSheet("类型 & 格式$");
  EXPECT_EQ(source.GetFieldNames(), (Names{"种类", "值", "F3", "F4"}));
  const struct {
    const char *kind, *text;
  } cases[] = {
      {"inline", "行内<文本>"},
      {"rich", "富 文本"},  // the phonetic run is not part of the text
      {"formula string", "公式结果"},
      {"bool", "TRUE"},
      {"error", "#N/A"},
      {"custom date 1904", "2009-01-05"},  // serial 38356 counted from 1904-01-01
      {"red number", "2.5"},
      {"builtin date 1904", "1904-01-01"},
      {"elapsed time", "18:00:00"},
      {"quoted d", "7"},
      {"iso date", "2010-01-05"},
      {"formula number", "2"},
      {"no value", ""},
      {"", ""},  // row 15 is missing from the file: an empty record
      {"after gap", ""},
  };
  ASSERT_EQ(source.RecordCount(), static_cast<int>(std::size(cases)));
  for (int r = 1; r <= source.RecordCount(); ++r) {
    EXPECT_EQ(source.text(r, 0), cases[r - 1].kind) << r;
    EXPECT_EQ(source.text(r, 1), cases[r - 1].text) << cases[r - 1].kind;
  }
  EXPECT_EQ(source.text(15, 3), "4");
}

TEST(WorkbookValues, HeaderOnlySheetAndUnicodeCaseFolding) {
  WorkbookSource source;
  source.open(workbookFixture("handmade.xlsx"));
  source.openSheet("第二$");
  EXPECT_EQ(source.RecordCount(), 0);
  EXPECT_TRUE(source.eof());
  EXPECT_EQ(source.FindField("äRZTE иМЯ"), 1);
  EXPECT_EQ(source.FindField("ÄRZTE ИМЯ"), 1);
  EXPECT_EQ(source.FindField("Arzte Имя"), std::nullopt);
}

TEST(WorkbookValues, CellsOutOfOrderAreSortedAndTheLaterTwinWins) {
  WorkbookSource source;
  source.open(workbookFixture("handmade.xlsx"));
  source.openSheet("乱序$");
  EXPECT_EQ(source.GetFieldNames(), (Names{"甲", "乙"}));
  ASSERT_EQ(source.RecordCount(), 2);
  EXPECT_EQ(source.text(1, 0), "21");
  EXPECT_EQ(source.text(1, 1), "22");
  EXPECT_EQ(source.text(2, 0), "31");
  EXPECT_EQ(source.text(2, 1), "32");
}

}  // namespace
}  // namespace qm
