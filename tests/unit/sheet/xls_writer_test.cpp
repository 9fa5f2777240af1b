#include <gtest/gtest.h>

#include <stdexcept>

#include "sheet/sheet.h"
#include "sheet/xls/compound_file.h"
#include "sheet/xls/xls_writer.h"
#include "tests/unit/sheet/sample_sheet.h"
#include "tests/support/sheet_readers.h"
#include "tests/support/temp_folder.h"

using namespace qm;
using namespace qm::test;

TEST(XlsWriter, EveryCellWidthAndFormatReadsBackInFreexlAndXlrd) {
  TempFolder dir("xls");
  const Sheet sheet = sampleSheet();
  const std::string path = dir.file("学生.xls");
  writeXls(sheet, path);
  const ReadBack want = expectedFrom(sheet);

  const ReadBack xlrd = readWithXlrd(path);
  EXPECT_EQ(xlrd.rows, want.rows);
  EXPECT_EQ(xlrd.text, want.text);
  EXPECT_EQ(xlrd.format, want.format);  // "@" exactly on the marked cells, blanks included
  std::map<int, std::string> widths;
  for (std::size_t c = 0; c < sheet.columnWidths().size(); ++c)
    if (!sheet.columnWidths()[c].empty())
      widths[static_cast<int>(c) + 1] = std::to_string(columnWidthUnits(parseColumnWidth(sheet.columnWidths()[c])));
  EXPECT_EQ(xlrd.widths, widths);
  EXPECT_EQ(xlrd.widths.at(1), "2669");  // "9.75"

  const ReadBack freexl = readWithFreexl(path);
  EXPECT_EQ(freexl.rows, want.rows);
  EXPECT_EQ(freexl.cols, want.cols);
  EXPECT_EQ(freexl.text, want.text);
  EXPECT_EQ(dir.entries(), 1u) << "temporary file left";
}

TEST(XlsWriter, LongStringTableRunsOnInContinueRecords) {
  // Long strings in both forms, so that record ends fall inside 8-bit and
  // UTF-16 strings and at both parities of surrogate pairs.
  Sheet sheet;
  for (int i = 0; i < 40; ++i) {
    std::string text;
    if (i % 3 == 0) {
      text = std::string(700 + i * 37, static_cast<char>('a' + i % 26)) + "é";
    } else {
      for (int k = 0; k < 300 + i * 11; ++k) text += (k + i) % 5 == 0 ? "𠀀" : (k % 2 ? "䶮" : "中");
      if (i % 2) text = "x" + text;
    }
    sheet.setText(i + 1, 1, text);
    sheet.setText(i + 1, 2, "短" + std::to_string(i));
  }
  TempFolder dir("sst");
  const std::string path = dir.file("sst.xls");
  writeXls(sheet, path);
  const ReadBack want = expectedFrom(sheet);
  const ReadBack xlrd = readWithXlrd(path);
  EXPECT_GE(xlrd.continues, 5);
  EXPECT_EQ(xlrd.text, want.text);
  EXPECT_EQ(readWithFreexl(path).text, want.text);
}

TEST(XlsWriter, WorkbookPastSevenMegabytesUsesDifatAndReadsBack) {
  Sheet sheet;
  const int cols = 8;
  auto value = [](int r, int c) { return (c % 2 ? "学生" : "id") + std::to_string(r * 10 + c); };
  for (int r = 1; r <= 65536; ++r)
    for (int c = 1; c <= cols; ++c) sheet.setText(r, c, value(r, c));
  TempFolder dir("big");
  const std::string path = dir.file("big.xls");
  writeXls(sheet, path);
  const std::string bytes = readFile(path);
  ASSERT_GT(bytes.size(), 7u * 1024 * 1024);
  // The header's DIFAT sector count is not zero.
  const auto difat = static_cast<unsigned char>(bytes[72]) | static_cast<unsigned char>(bytes[73]) << 8;
  EXPECT_GT(difat, 0);

  const ReadBack got = readWithFreexl(path, false);
  EXPECT_EQ(got.rows, 65536);
  EXPECT_EQ(got.cols, cols);
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= cols; ++c) EXPECT_EQ(got.text.at({r, c}), value(r, c));
}

TEST(XlsWriter, CompoundLayoutCoversEverySectorExactly) {
  // Around the DIFAT thresholds: the FAT must map every sector and no more
  // FAT/DIFAT sectors than needed.
  for (std::uint64_t size : {0ull, 4096ull, 4097ull, 6'000'000ull, 7'100'000ull, 7'200'000ull, 14'500'000ull,
                             15'000'000ull, 300'000'000ull}) {
    const xls::CompoundLayout l = xls::layoutCompoundFile(size);
    EXPECT_GE(l.streamSize, std::max<std::uint64_t>(size, 4096));
    EXPECT_GE(std::uint64_t{l.fatSectors} * 128, l.totalSectors()) << size;
    EXPECT_LT(std::uint64_t{l.fatSectors - 1} * 128, l.totalSectors()) << size;
    EXPECT_GE(109 + std::uint64_t{l.difatSectors} * 127, l.fatSectors) << size;
    if (l.difatSectors > 0) EXPECT_LT(109 + std::uint64_t{l.difatSectors - 1} * 127, l.fatSectors) << size;
    else EXPECT_LE(l.fatSectors, 109u) << size;
  }
}

TEST(XlsWriter, OldFormatBoundsThrowAndWriteNothing) {
  TempFolder dir("bounds");
  struct Case {
    int row, col;
    bool fits;
  } cases[] = {{65536, 1, true}, {1, 256, true}, {65537, 1, false}, {1, 257, false}};
  for (const Case& c : cases) {
    Sheet sheet;
    sheet.setText(c.row, c.col, "末");
    const std::string path = dir.file("b" + std::to_string(c.row) + "_" + std::to_string(c.col) + ".xls");
    if (c.fits) {
      writeXls(sheet, path);
      const ReadBack got = readWithXlrd(path);
      EXPECT_EQ(got.text.at({c.row, c.col}), "末");
    } else {
      EXPECT_THROW(writeXls(sheet, path), std::runtime_error);
      EXPECT_FALSE(std::filesystem::exists(path));
    }
  }
  EXPECT_EQ(dir.entries(), 2u);
}

TEST(XlsWriter, EmptySheetIsAValidWorkbook) {
  TempFolder dir("empty");
  const std::string path = dir.file("empty.xls");
  writeXls(Sheet(), path);
  EXPECT_EQ(readWithXlrd(path).rows, 0);
  EXPECT_EQ(readWithFreexl(path).rows, 0);
}
