// The sheet side of the page scrapes, fed with the tables a page read gives:
// the header once, column 1 trimmed, the end test, the visited rows' format,
// the details columns and the old format's row bound.
#include <gtest/gtest.h>

#include <stdexcept>

#include "server/scrape/scrape_sheet.h"
#include "sheet/spreadsheet_export.h"

namespace qm {
namespace {

// One table as the page read gives it: cells from the layout's first read
// cell, `first` at the layout's first copied cell.
TableCells tableOf(const ScrapeLayout& layout, const std::string& first, const std::string& tag) {
  TableCells cells;
  for (int c = layout.firstReadCell(); c <= layout.lastCell; ++c)
    cells.push_back(c == layout.firstCell ? first : tag + "-" + std::to_string(c));
  return cells;
}

PageTables page(const ScrapeLayout& layout, int firstIndex, int rows, bool withHeader, bool endMarker) {
  PageTables tables;
  if (withHeader) tables.push_back(tableOf(layout, " 姓名 ", "head"));
  for (int i = 0; i < rows; ++i)
    tables.push_back(tableOf(layout, " s" + std::to_string(firstIndex + i) + "\t", "r" + std::to_string(firstIndex + i)));
  if (endMarker) tables.push_back(tableOf(layout, " 第 ", "pager"));
  return tables;
}

class ScrapeSheetTest : public ::testing::Test {
 protected:
  void start(const std::string& name) {
    out_.setFileName(name);
    out_.startWorkbook();
  }
  std::string text(int r, int c) const { return std::string(out_.sheet()->text(r, c)); }
  SpreadsheetExport out_;
};

TEST_F(ScrapeSheetTest, OnePageOfSevenWithHeaderAndEndMarker) {
  const ScrapeLayout layout = inSchoolListLayout();
  start("a.xls");
  ScrapeSheet sheet(out_, layout, out_.version());
  EXPECT_EQ(sheet.table(), 6);
  sheet.writePage(page(layout, 1, 7, true, true));
  EXPECT_TRUE(sheet.pageDone());
  EXPECT_EQ(sheet.written(), 7);
  EXPECT_EQ(text(1, 1), "姓名");  // trimmed
  EXPECT_EQ(text(1, 2), "head-4");
  EXPECT_EQ(text(1, 13), "head-15");
  EXPECT_EQ(text(2, 1), "s1");
  EXPECT_EQ(text(8, 1), "s7");
  EXPECT_EQ(text(8, 13), "r7-15");
  // The end-marker row was visited: formatted, no text.
  for (int c = 1; c <= 13; ++c) {
    EXPECT_TRUE(out_.sheet()->hasTextFormat(9, c));
    EXPECT_EQ(text(9, c), "");
  }
  EXPECT_EQ(out_.sheet()->rowCount(), 9);
  EXPECT_EQ(out_.sheet()->colCount(), 13);
  EXPECT_EQ(out_.sheet()->columnWidths().at(0), "9.75");
  EXPECT_EQ(out_.sheet()->columnWidths().at(12), "4.88");
}

TEST_F(ScrapeSheetTest, TwentyRowsFillThePageWithoutAnEndMarker) {
  const ScrapeLayout layout = inSchoolListLayout();
  start("a.xls");
  ScrapeSheet sheet(out_, layout, out_.version());
  PageTables tables = page(layout, 1, 20, true, false);
  ASSERT_EQ(tables.size(), 21u);  // tables 6 to 26
  sheet.writePage(tables);
  EXPECT_TRUE(sheet.pageDone());
  EXPECT_EQ(sheet.written(), 20);
  EXPECT_EQ(out_.sheet()->rowCount(), 21);
}

TEST_F(ScrapeSheetTest, HeaderOnceThenTwentyTwentyFive) {
  const ScrapeLayout layout = inSchoolListLayout();
  start("a.xls");
  ScrapeSheet sheet(out_, layout, out_.version());
  sheet.writePage(page(layout, 1, 20, true, false));
  sheet.nextPage();
  EXPECT_EQ(sheet.page(), 2);
  EXPECT_EQ(sheet.table(), 7);
  sheet.writePage(page(layout, 21, 20, false, false));
  sheet.nextPage();
  sheet.writePage(page(layout, 41, 5, false, true));
  EXPECT_EQ(sheet.written(), 45);
  EXPECT_EQ(text(1, 1), "姓名");
  EXPECT_EQ(text(22, 1), "s21");
  EXPECT_EQ(text(46, 1), "s45");
  EXPECT_EQ(text(46, 2), "r45-4");
  EXPECT_EQ(text(47, 1), "");
  EXPECT_EQ(out_.sheet()->rowCount(), 47);
}

TEST_F(ScrapeSheetTest, EmptyCellEndsThePageAndCellsAfterColumnOneStayUntrimmed) {
  const ScrapeLayout layout = auditListLayout(2);
  start("a.xls");
  ScrapeSheet sheet(out_, layout, out_.version());
  PageTables tables = page(layout, 1, 2, true, false);
  (*tables[1])[1] = "  padded ";
  tables.push_back(tableOf(layout, " \t", "empty"));
  sheet.writePage(tables);
  EXPECT_EQ(sheet.written(), 2);
  EXPECT_EQ(text(2, 2), "  padded ");
  EXPECT_EQ(text(3, 10), "r2-11");
  EXPECT_EQ(out_.sheet()->colCount(), 10);
}

TEST_F(ScrapeSheetTest, MissingTableOrCellFails) {
  const ScrapeLayout layout = inSchoolListLayout();
  {
    start("a.xls");
    ScrapeSheet sheet(out_, layout, out_.version());
    PageTables tables = page(layout, 1, 3, true, false);  // the page stops short of an end marker
    EXPECT_THROW(sheet.writePage(tables), std::runtime_error);
  }
  {
    start("a.xls");
    ScrapeSheet sheet(out_, layout, out_.version());
    PageTables tables = page(layout, 1, 3, true, true);
    tables[2] = std::nullopt;  // no such table
    EXPECT_THROW(sheet.writePage(tables), std::runtime_error);
  }
  {
    start("a.xls");
    ScrapeSheet sheet(out_, layout, out_.version());
    PageTables tables = page(layout, 1, 3, true, true);
    (*tables[1])[12] = std::nullopt;  // cell 15 missing
    EXPECT_THROW(sheet.writePage(tables), std::runtime_error);
  }
}

TEST_F(ScrapeSheetTest, DetailsHeaderTitlesAndFetchedColumns) {
  const ScrapeLayout layout = studentDetailsLayout();
  ASSERT_EQ(layout.firstReadCell(), 2);
  ASSERT_EQ(layout.columns(), 14);
  start("a.xls");
  ScrapeSheet sheet(out_, layout, out_.version());
  PageTables tables = page(layout, 1, 1, true, true);
  EXPECT_EQ(sheet.visit(tables[0]), ScrapeSheet::Visit::Header);
  sheet.finishTable();
  EXPECT_EQ(sheet.visit(tables[1]), ScrapeSheet::Visit::Student);
  sheet.writeExtra({"20100101", "440100000000", "农业户口", "张建国", "2019级1班"});
  sheet.finishTable();
  EXPECT_EQ(sheet.visit(tables[2]), ScrapeSheet::Visit::EndOfPage);
  sheet.finishTable();
  EXPECT_TRUE(sheet.pageDone());
  EXPECT_EQ(text(1, 9), "head-11");
  const char* titles[] = {"出生日期", "户口所在地", "户口类型", "监护人姓名", "班级"};
  for (int c = 10; c <= 14; ++c) EXPECT_EQ(text(1, c), titles[c - 10]);
  EXPECT_EQ(text(2, 1), "s1");
  EXPECT_EQ(text(2, 9), "r1-11");
  EXPECT_EQ(text(2, 13), "张建国");
  EXPECT_EQ(text(2, 14), "2019级1班");
  EXPECT_EQ(out_.sheet()->columnWidths().at(13), "13.13");
  EXPECT_TRUE(out_.sheet()->hasTextFormat(3, 14));
}

TEST_F(ScrapeSheetTest, OldFormatEndsAtRow65536) {
  const ScrapeLayout layout = inSchoolListLayout();
  for (const char* name : {"a.xls", "a.xlsx"}) {
    SCOPED_TRACE(name);
    out_ = SpreadsheetExport();
    start(name);
    ScrapeSheet sheet(out_, layout, out_.version());
    sheet.writePage(page(layout, 1, 20, true, false));
    int pages = 1;
    while (!sheet.sheetFull() && pages < 3300) {
      sheet.nextPage();
      sheet.writePage(page(layout, pages * 20 + 1, 20, false, false));
      ++pages;
    }
    if (std::string(name) == "a.xls") {
      EXPECT_TRUE(sheet.sheetFull());
      EXPECT_EQ(out_.sheet()->rowCount(), ScrapeSheet::kOldFormatLastRow);
      EXPECT_EQ(sheet.written(), ScrapeSheet::kOldFormatLastRow - 1);
      EXPECT_EQ(pages, 3277);  // 65535 students: the last page stops after 15 rows
    } else {
      EXPECT_FALSE(sheet.sheetFull());
      EXPECT_EQ(out_.sheet()->rowCount(), 3300 * 20 + 1);
    }
  }
}

}  // namespace
}  // namespace qm
