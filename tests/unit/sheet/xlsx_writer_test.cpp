#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "sheet/sheet.h"
#include "sheet/xlsx_check.h"
#include "sheet/xlsx_writer.h"
#include "tests/unit/sheet/sample_sheet.h"
#include "tests/support/sheet_readers.h"
#include "tests/support/temp_folder.h"

using namespace qm;
using namespace qm::test;

TEST(XlsxWriter, CellsWidthsAndTextFormatReadBack) {
  TempFolder dir("xlsx");
  const Sheet sheet = sampleSheet();
  const std::string path = dir.file("学生.xlsx");
  writeXlsx(sheet, path);
  EXPECT_EQ(readFile(path).substr(0, 2), "PK");
  EXPECT_EQ(dir.entries(), 1u) << "temporary or scratch file left";

  const ReadBack got = readXlsxWithPython(path);
  const ReadBack want = expectedFrom(sheet);
  EXPECT_EQ(got.text, want.text);
  EXPECT_EQ(got.format, want.format);
  // Same stored width as the .xls COLINFO, in characters.
  for (int c : {1, 3, 4, 7}) {
    ASSERT_TRUE(got.widths.count(c)) << c;
    const double units = columnWidthUnits(parseColumnWidth(sheet.columnWidths()[c - 1]));
    EXPECT_NEAR(std::stod(got.widths.at(c)), units / 256.0, 1e-6) << c;
  }
}

TEST(XlsxWriter, HasNoOldRowBound) {
  TempFolder dir("xlsxrows");
  Sheet sheet;
  sheet.setText(1, 1, "首");
  sheet.setText(70000, 2, "末行");
  const std::string path = dir.file("rows.xlsx");
  writeXlsx(sheet, path);
  const ReadBack got = readXlsxWithPython(path);
  EXPECT_EQ(got.text.at({70000, 2}), "末行");
  EXPECT_EQ(got.text.at({1, 1}), "首");
}

TEST(XlsxWriter, DamagedOrCutFilesFailTheReadBackCheck) {
  TempFolder dir("xlsxcheck");
  Sheet sheet;
  for (int r = 1; r <= 2000; ++r) sheet.setText(r, 1, "学生" + std::to_string(r));
  const std::string path = dir.file("ok.xlsx");
  writeXlsx(sheet, path);
  EXPECT_NO_THROW(verifyXlsx(path));
  const std::string good = readFile(path);
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"cut before the zip directory", good.substr(0, good.size() / 2)},
      {"last byte missing", good.substr(0, good.size() - 1)},
      {"a byte changed inside a part", [&] { std::string b = good; b[b.size() / 3] ^= 0x5A; return b; }()},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    const std::string bad = dir.file("bad.xlsx");
    std::ofstream(bad, std::ios::binary) << c.bytes;
    EXPECT_THROW(verifyXlsx(bad), std::runtime_error) << c.what;
  }
}
