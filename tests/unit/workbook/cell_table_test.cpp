// The compact table: cells in any order, shared strings held once, the cell
// text cap and the byte budget.
#include <gtest/gtest.h>

#include "workbook/cell_table.h"
#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"

namespace qm {
namespace {

void put(CellTableBuilder& b, std::uint32_t row, std::uint32_t column, const std::string& text) {
  b.text() += text;
  b.commit(row, column);
}

TEST(CellTable, KeepsOnlyTheRowsAndColumnsHoldingText) {
  CellTableBuilder b;
  put(b, 0, 0, "a");
  put(b, 0, 1, "");  // an empty text leaves no trace
  put(b, 1, 2, "c");
  put(b, 2, 0, "d");
  put(b, 5, 7, "");
  const CellTable t = b.finish("s");
  ASSERT_EQ(t.rows(), 3);
  ASSERT_EQ(t.columns(), 3);
  EXPECT_EQ(t.cell(0, 0), "a");
  EXPECT_EQ(t.cell(0, 1), "");
  EXPECT_EQ(t.cell(1, 2), "c");
  EXPECT_EQ(t.cell(2, 0), "d");
  EXPECT_EQ(t.cell(3, 0), "");
  EXPECT_EQ(t.cell(-1, 0), "");
}

TEST(CellTable, ScatteredCellsAreSortedAndTheLaterOneCounts) {
  CellTableBuilder b;
  put(b, 2, 1, "z");
  put(b, 0, 0, "a");
  put(b, 0, 3, "b");
  put(b, 0, 0, "A");
  const CellTable t = b.finish("s");
  ASSERT_EQ(t.rows(), 3);
  ASSERT_EQ(t.columns(), 4);
  EXPECT_EQ(t.cell(0, 0), "A");
  EXPECT_EQ(t.cell(0, 3), "b");
  EXPECT_EQ(t.cell(2, 1), "z");
  EXPECT_EQ(t.cell(1, 1), "");
}

TEST(CellTable, EmptyBuilderGivesAnEmptyTable) {
  CellTableBuilder b;
  b.text() += "dropped";  // never committed
  const CellTable t = b.finish("s");
  EXPECT_EQ(t.rows(), 0);
  EXPECT_EQ(t.columns(), 0);
  EXPECT_EQ(t.cell(0, 0), "");
}

TEST(CellTable, SharedStringIsHeldOnceForAllItsCells) {
  auto pool = std::make_shared<StringPool>();
  pool->text = std::string(32000, 'x');
  pool->end();
  pool->text += "短";
  pool->end();
  pool->end();  // an empty shared string
  CellTableBuilder b(pool);
  for (std::uint32_t r = 0; r < 1000; ++r) b.commitShared(r, 0, 0);
  b.commitShared(0, 1, 1);
  b.commitShared(0, 2, 2);   // empty: no trace
  b.commitShared(0, 3, 99);  // no such string: no trace
  const CellTable t = b.finish("s");
  ASSERT_EQ(t.rows(), 1000);
  ASSERT_EQ(t.columns(), 2);
  EXPECT_EQ(t.cell(999, 0).size(), 32000u);
  EXPECT_EQ(t.cell(999, 0).data(), t.cell(0, 0).data());  // the same bytes, not a copy
  EXPECT_EQ(t.cell(0, 1), "短");
  EXPECT_LT(t.bytesHeld(), 64u * 1024);
}

TEST(CellTable, CellTextIsCutAt32767Utf16UnitsOnACharacterBoundary) {
  struct Case {
    std::string text;
    std::size_t bytes;
  } cases[] = {
      {std::string(32767, 'a'), 32767},                      // at the limit: kept
      {std::string(40000, 'a'), 32767},                      // ASCII: one unit a byte
      {std::string(32766, 'a') + "\xF0\x9F\x98\x80", 32766},  // a pair would make 32768: dropped whole
      {std::string(32765, 'a') + "\xF0\x9F\x98\x80" + "b", 32769},
  };
  std::string han;
  for (int i = 0; i < 33000; ++i) han += "汉";
  CellTableBuilder b;
  std::uint32_t row = 0;
  for (const Case& c : cases) put(b, row++, 0, c.text);
  put(b, row, 0, han);
  const CellTable t = b.finish("s");
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(t.cell(static_cast<int>(i), 0).size(), cases[i].bytes) << i;
  EXPECT_EQ(t.cell(static_cast<int>(row), 0).size(), 32767u * 3);
}

TEST(CellTable, PassingTheBudgetFailsWithItsText) {
  CellTableBuilder b(nullptr, 100000);
  try {
    for (std::uint32_t r = 0; r < 100000; ++r) put(b, r, 0, "1234567890");
    b.finish("s");
    FAIL() << "no failure";
  } catch (const WorkbookError& e) {
    EXPECT_STREQ(e.what(), "工作簿的数据超过256 MB，无法读取。");
  }
}

TEST(CellTable, ExtentPastTheCellLimitIsRefused) {
  CellTableBuilder b;
  put(b, 0, 0, "a");
  put(b, 1048575, 16383, "z");
  EXPECT_THROW(b.finish("s"), WorkbookError);
}

}  // namespace
}  // namespace qm
