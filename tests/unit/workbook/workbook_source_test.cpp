// The table view of a workbook: names, columns, records and the cursor, the
// same for the .xls and the .xlsx copy of one workbook.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures.h"
#include "workbook/workbook_source.h"

namespace qm {
namespace {

using Names = std::vector<std::string>;

class StudentsWorkbook : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { source.open(workbookFixture(GetParam())); }
  WorkbookSource source;
};

TEST_P(StudentsWorkbook, ListsSheetsAsTablesInWorkbookOrder) {
  EXPECT_TRUE(source.isOpen());
  EXPECT_FALSE(source.sheetOpen());
  EXPECT_EQ(source.GetTableNames(), (Names{"学生名单$", "Sheet1$", "数值$", "空表$"}));
}

TEST_P(StudentsWorkbook, FirstRowNamesTheColumns) {
  source.openSheet("学生名单$");
  // The column without a header gets the provider's name "F" + its position.
  EXPECT_EQ(source.GetFieldNames(),
            (Names{"姓名", "身份证号", "出生日期", "年龄", "身高", "IdCard", "备注 ", "备注", "F9", "在校"}));
}

TEST_P(StudentsWorkbook, RecordsAreTheRowsBelowTheHeaderAsText) {
  source.openSheet("学生名单$");
  // The empty middle row is a record; formatted empty rows after the data are not.
  ASSERT_EQ(source.RecordCount(), 4);
  const int name = source.FieldByName("姓名");
  const int id = source.FieldByName("身份证号");
  const int birth = source.FieldByName("出生日期");
  const int age = source.FieldByName("年龄");
  const int height = source.FieldByName("身高");
  const struct {
    const char *name, *id, *birth, *age, *height;
  } rows[] = {
      {"张三", "11010120100105123X", "2010-01-05", "12", "1.75"},
      {"李四", "", "", "0", "-2.5"},
      {"", "", "", "", ""},
      {"王五", " 110101201001051234 ", "2009-12-31", "13", "1.6"},  // cells are not trimmed
  };
  for (int r = 1; r <= 4; ++r) {
    const auto& want = rows[r - 1];
    EXPECT_EQ(source.text(r, name), want.name) << r;
    EXPECT_EQ(source.text(r, id), want.id) << r;
    EXPECT_EQ(source.text(r, birth), want.birth) << r;
    EXPECT_EQ(source.text(r, age), want.age) << r;
    EXPECT_EQ(source.text(r, height), want.height) << r;
  }
  EXPECT_EQ(source.text(1, source.FieldByName("F9")), "无名列");
  EXPECT_EQ(source.text(5, name), "");
  EXPECT_EQ(source.text(0, name), "");
  EXPECT_EQ(source.text(1, 99), "");
}

TEST_P(StudentsWorkbook, LookupIgnoresCaseButNotBlanks) {
  source.openSheet("学生名单$");
  EXPECT_EQ(source.FindField("idcard"), 5);
  EXPECT_EQ(source.FindField("IDCARD"), 5);
  EXPECT_EQ(source.FieldByName("IdCard"), 5);
  EXPECT_EQ(source.FindField("备注 "), 6);
  EXPECT_EQ(source.FindField("备注"), 7);
  EXPECT_EQ(source.FindField(" 姓名"), std::nullopt);
  EXPECT_EQ(source.FindField("姓"), std::nullopt);
  EXPECT_EQ(source.FindField(""), std::nullopt);
  try {
    source.FieldByName("学号");
    FAIL() << "no error";
  } catch (const WorkbookError& e) {
    EXPECT_STREQ(e.what(), "Field '学号' not found");
  }
}

TEST_P(StudentsWorkbook, CursorWalksEveryRecordOnce) {
  source.openSheet("学生名单$");
  const int name = source.FieldByName("姓名");
  std::vector<std::string> seen;
  std::vector<int> numbers;
  for (source.First(); !source.eof(); source.Next()) {
    seen.emplace_back(source.text(name));
    numbers.push_back(source.RecNo());
  }
  EXPECT_EQ(seen, (Names{"张三", "李四", "", "王五"}));
  EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4}));
  // Past the end: no record, empty cells, and Next stays there.
  EXPECT_EQ(source.RecNo(), 0);
  EXPECT_EQ(source.text(name), "");
  source.Next();
  EXPECT_TRUE(source.eof());
  source.Last();
  EXPECT_EQ(source.RecNo(), 4);
  EXPECT_EQ(source.text(name), "王五");
  source.First();
  EXPECT_EQ(source.RecNo(), 1);
  EXPECT_EQ(source.text(name), "张三");
}

TEST_P(StudentsWorkbook, AnotherSheetReplacesColumnsAndRecords) {
  source.openSheet("学生名单$");
  source.Next();
  source.openSheet("[Sheet1$]");  // the query's bracketed form
  EXPECT_EQ(source.GetFieldNames(), (Names{"编号", "名称"}));
  EXPECT_EQ(source.RecordCount(), 2);
  EXPECT_EQ(source.RecNo(), 1);
  EXPECT_EQ(source.text(source.FieldByName("名称")), "第一");
  EXPECT_EQ(source.FindField("姓名"), std::nullopt);
}

TEST_P(StudentsWorkbook, FixedTableIsSheet1) {
  source.openFixedTable();
  EXPECT_EQ(source.text(source.FieldByName("编号")), "1");
}

TEST_P(StudentsWorkbook, TableNamesMatchWithoutRegardToCase) {
  source.openSheet("SHEET1$");
  EXPECT_EQ(source.RecordCount(), 2);
}

TEST_P(StudentsWorkbook, UnknownTableFailsAndLeavesNoSheetOpen) {
  source.openSheet("Sheet1$");
  EXPECT_THROW(source.openSheet("Sheet1"), WorkbookError);  // the provider needs the "$"
  EXPECT_FALSE(source.sheetOpen());
  EXPECT_EQ(source.RecordCount(), 0);
  EXPECT_TRUE(source.GetFieldNames().empty());
  EXPECT_TRUE(source.eof());
  try {
    source.openSheet("Sheet9$");
    FAIL() << "no error";
  } catch (const WorkbookError& e) {
    EXPECT_STREQ(e.what(), "找不到工作表：Sheet9$");
  }
  EXPECT_TRUE(source.isOpen());
}

TEST_P(StudentsWorkbook, EmptySheetHasNoColumnsAndNoRecords) {
  source.openSheet("空表$");
  EXPECT_TRUE(source.sheetOpen());
  EXPECT_TRUE(source.GetFieldNames().empty());
  EXPECT_EQ(source.RecordCount(), 0);
  source.First();
  EXPECT_TRUE(source.eof());
  EXPECT_EQ(source.RecNo(), 0);
  EXPECT_EQ(source.FindField("值"), std::nullopt);
}

TEST_P(StudentsWorkbook, CloseForgetsWorkbookAndSheet) {
  source.openSheet("Sheet1$");
  source.close();
  EXPECT_FALSE(source.isOpen());
  EXPECT_FALSE(source.sheetOpen());
  EXPECT_TRUE(source.GetTableNames().empty());
  EXPECT_THROW(source.openSheet("Sheet1$"), WorkbookError);
}

TEST_P(StudentsWorkbook, OpeningAgainReplacesTheWorkbook) {
  source.openSheet("Sheet1$");
  source.open(workbookFixture("dates1904.xls"));
  EXPECT_FALSE(source.sheetOpen());
  EXPECT_EQ(source.GetTableNames(), (Names{"日期$"}));
}

TEST_P(StudentsWorkbook, MovedSourceKeepsItsPlace) {
  source.openSheet("学生名单$");
  source.Next();
  WorkbookSource moved(std::move(source));
  EXPECT_EQ(moved.RecNo(), 2);
  EXPECT_EQ(moved.text(0), "李四");
  EXPECT_FALSE(source.isOpen());  // NOLINT: a moved-from source is closed and usable
  source.open(workbookFixture(GetParam()));
  EXPECT_TRUE(source.isOpen());
}

INSTANTIATE_TEST_SUITE_P(BothFormats, StudentsWorkbook, ::testing::Values("students.xls", "students.xlsx"));

TEST(WorkbookSource, PathIsTrimmedLikeEveryCallerText) {
  WorkbookSource source;
  source.open(" \t" + workbookFixture("students.xls") + " ");
  EXPECT_TRUE(source.isOpen());
}

TEST(WorkbookSource, ConnectionAndQueryTexts) {
  EXPECT_EQ(connectionText("  /data/学生.xls "),
            "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/data/学生.xls;Mode=Share Deny None;"
            "Extended Properties=\"excel 8.0;HDR=Yes\"");
  EXPECT_EQ(queryText("学生名单$"), "Select * from [学生名单$]");
}

}  // namespace
}  // namespace qm
