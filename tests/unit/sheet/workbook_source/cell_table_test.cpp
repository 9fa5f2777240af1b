// The compact table and its two ways of being filled.
#include <gtest/gtest.h>

#include "sheet/cell_table.h"
#include "sheet/workbook_source.h"

namespace qm {
namespace {

void put(CellTableBuilder& b, std::uint32_t row, std::uint32_t column, const char* text) {
  b.text() += text;
  b.commit(row, column);
}

TEST(CellTable, GridKeepsOnlyTheUsedRowsAndColumns) {
  CellTableBuilder b(4, 5);
  put(b, 0, 0, "a");
  put(b, 0, 1, "");
  put(b, 1, 2, "c");  // cells left out in between are blank
  put(b, 2, 0, "d");
  put(b, 2, 1, "e");
  // Row 3 and columns 3-4 hold nothing.
  const CellTable t = b.finish("s");
  ASSERT_EQ(t.rows(), 3);
  ASSERT_EQ(t.columns(), 3);
  EXPECT_EQ(t.cell(0, 0), "a");
  EXPECT_EQ(t.cell(0, 1), "");
  EXPECT_EQ(t.cell(1, 2), "c");
  EXPECT_EQ(t.cell(2, 0), "d");
  EXPECT_EQ(t.cell(2, 1), "e");
  EXPECT_EQ(t.cell(2, 2), "");
  EXPECT_EQ(t.cell(3, 0), "");
  EXPECT_EQ(t.text(), "acde");
}

TEST(CellTable, GridRefusesCellsGoingBack) {
  CellTableBuilder b(2, 2);
  put(b, 1, 0, "x");
  EXPECT_THROW(put(b, 0, 1, "y"), WorkbookError);
}

TEST(CellTable, ScatteredCellsAreSorted) {
  CellTableBuilder b;
  put(b, 2, 1, "z");
  put(b, 0, 0, "a");
  put(b, 0, 3, "b");
  put(b, 0, 0, "A");  // the later one counts
  const CellTable t = b.finish("s");
  ASSERT_EQ(t.rows(), 3);
  ASSERT_EQ(t.columns(), 4);
  EXPECT_EQ(t.cell(0, 0), "A");
  EXPECT_EQ(t.cell(0, 3), "b");
  EXPECT_EQ(t.cell(2, 1), "z");
  EXPECT_EQ(t.cell(1, 1), "");
}

TEST(CellTable, EmptyBuilderGivesAnEmptyTable) {
  for (CellTableBuilder b : {CellTableBuilder(), CellTableBuilder(3, 3)}) {
    b.text() += "dropped";  // never committed
    const CellTable t = b.finish("s");
    EXPECT_EQ(t.rows(), 0);
    EXPECT_EQ(t.columns(), 0);
    EXPECT_EQ(t.cell(0, 0), "");
  }
}

TEST(CellTable, PartsMustFitTogether) {
  CellTableBuilder b(1, 2);
  put(b, 0, 0, "ab");
  put(b, 0, 1, "c");
  const CellTable t = b.finish("s");
  const auto again = CellTable::fromParts(t.rows(), t.columns(), t.text(), t.offsets());
  ASSERT_TRUE(again);
  EXPECT_EQ(again->cell(0, 0), "ab");
  EXPECT_EQ(again->cell(0, 1), "c");

  EXPECT_FALSE(CellTable::fromParts(1, 2, "abc", {0, 2}));        // too few offsets
  EXPECT_FALSE(CellTable::fromParts(1, 2, "abc", {0, 2, 4}));     // past the text
  EXPECT_FALSE(CellTable::fromParts(1, 2, "abc", {0, 2, 1}));     // going back
  EXPECT_FALSE(CellTable::fromParts(1, 2, "abc", {1, 2, 3}));     // not from the start
  EXPECT_FALSE(CellTable::fromParts(1, 2, "abcd", {0, 3, 2, 4}));  // too many, going back
  EXPECT_FALSE(CellTable::fromParts(-1, 2, "", {0}));
  EXPECT_FALSE(CellTable::fromParts(0, 2, "", {0}));
  EXPECT_TRUE(CellTable::fromParts(0, 0, "", {0}));
}

}  // namespace
}  // namespace qm
