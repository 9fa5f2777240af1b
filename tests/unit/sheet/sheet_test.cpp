#include <gtest/gtest.h>

#include <stdexcept>

#include "sheet/sheet.h"

using qm::Sheet;

TEST(Sheet, KeepsTextsFormatsAndOverwrites) {
  Sheet s;
  s.setText(1, 1, "姓名");
  s.setText(3, 2, "𠀀x");
  s.setText(1, 1, "学籍号");  // the later value wins
  s.setTextFormat(2, 5);        // format only: a used, empty cell
  EXPECT_EQ(s.text(1, 1), "学籍号");
  EXPECT_EQ(s.text(3, 2), "𠀀x");
  EXPECT_EQ(s.text(2, 5), "");
  EXPECT_TRUE(s.hasTextFormat(2, 5));
  EXPECT_FALSE(s.hasTextFormat(1, 1));
  EXPECT_EQ(s.rowCount(), 3);
  EXPECT_EQ(s.colCount(), 5);
  EXPECT_EQ(s.usedCells(), 3u);
}

TEST(Sheet, EmptyTextClearsTheValueButKeepsTheFormat) {
  Sheet s;
  s.setTextFormat(1, 1);
  s.setText(1, 1, "123");
  s.setText(1, 2, "abc");
  s.setText(1, 1, "");
  s.setText(1, 2, "");
  EXPECT_EQ(s.text(1, 1), "");
  EXPECT_TRUE(s.hasTextFormat(1, 1));
  EXPECT_FALSE(s.row(1)[1].used());
  EXPECT_EQ(s.usedCells(), 1u);
}

TEST(Sheet, IllFormedUtf8BecomesReplacementCharacters) {
  Sheet s;
  s.setText(1, 1, std::string("a\xFF" "b\xE4\xB8", 5));  // stray byte, cut-off 3-byte sequence
  s.setText(1, 2, "\xED\xA0\x80");                     // an encoded surrogate is not UTF-8
  EXPECT_EQ(s.text(1, 1), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(s.text(1, 2), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Sheet, RejectsCellsOutsideTheSheetAndCutsOverlongTexts) {
  Sheet s;
  EXPECT_THROW(s.setText(0, 1, "x"), std::runtime_error);
  EXPECT_THROW(s.setText(1, 0, "x"), std::runtime_error);
  EXPECT_THROW(s.setText(Sheet::kMaxRows + 1, 1, "x"), std::runtime_error);
  EXPECT_THROW(s.setTextFormat(1, Sheet::kMaxCols + 1), std::runtime_error);
  EXPECT_NO_THROW(s.setText(Sheet::kMaxRows, Sheet::kMaxCols, "x"));
  // The limit counts UTF-16 units: a character outside the BMP takes two.
  std::string atLimit;
  for (int i = 0; i < 32767; ++i) atLimit += "中";
  EXPECT_NO_THROW(s.setText(2, 1, atLimit));
  std::string pairs;
  for (int i = 0; i < 16384; ++i) pairs += "𠀀";
  // One unit over: the last pair goes whole rather than split.
  ASSERT_NO_THROW(s.setText(2, 2, pairs));
  EXPECT_EQ(s.text(2, 2), pairs.substr(0, pairs.size() - 4));
  // A 40,000-character field keeps its first 32,767 characters.
  const std::string field(40000, 'a');
  ASSERT_NO_THROW(s.setText(3, 1, field));
  EXPECT_EQ(s.text(3, 1), field.substr(0, 32767));
}

TEST(Sheet, ManyTextsStayIntactAcrossArenaChunks) {
  Sheet s;
  for (int r = 1; r <= 20000; ++r)
    for (int c = 1; c <= 5; ++c) s.setText(r, c, "行" + std::to_string(r) + "列" + std::to_string(c) + std::string(40, 'x'));
  for (int r : {1, 9999, 20000})
    for (int c = 1; c <= 5; ++c)
      EXPECT_EQ(s.text(r, c), "行" + std::to_string(r) + "列" + std::to_string(c) + std::string(40, 'x'));
}

TEST(ColumnWidth, ParsesPlainDecimalsOnly) {
  struct Case {
    const char* text;
    double value;  // < 0: rejected
  } cases[] = {{"9.75", 9.75}, {"10", 10}, {" 4.5 ", 4.5}, {"0", 0}, {"255", 255},
               {"", -1},       {"abc", -1}, {"9,75", -1}, {"-1", -1}, {"256", -1}, {"nan", -1}, {"1e2", -1}};
  for (const Case& c : cases) {
    if (c.value < 0) {
      EXPECT_THROW(qm::parseColumnWidth(c.text), std::runtime_error) << c.text;
    } else {
      EXPECT_DOUBLE_EQ(qm::parseColumnWidth(c.text), c.value) << c.text;
    }
  }
  Sheet s;
  EXPECT_THROW(s.setColumnWidth(1, "wide"), std::runtime_error);
  EXPECT_TRUE(s.columnWidths().empty());
}

TEST(ColumnWidth, StoredUnitsSnapToPixelsAndAddPadding) {
  // Excel stores its standard 8.43-character column as 2340 (64 pixels at a 7-pixel digit).
  struct Case {
    double chars;
    int units;
  } cases[] = {{8.43, 2340}, {9.75, 2669}, {1, 438}, {0.5, 219}, {0, 0}, {255, 65462}, {20, 5302}};
  for (const Case& c : cases) EXPECT_EQ(qm::columnWidthUnits(c.chars), c.units) << c.chars;
}
