// Texts XML cannot hold, in an .xlsx: written as Excel escapes them, read back
// with every row, and a sheet part that does not parse or lacks rows is caught.
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "sheet/sheet.h"
#include "sheet/xlsx_check.h"
#include "sheet/xlsx_text.h"
#include "sheet/xlsx_writer.h"
#include "tests/support/sheet_readers.h"
#include "tests/support/temp_folder.h"

using namespace qm;
using namespace qm::test;

TEST(XlsxText, StoredFormFollowsExcel) {
  using namespace std::string_literals;
  struct Case {
    std::string text, stored;
  } cases[] = {
      {"张三", "张三"},
      {"a\0b"s, "a_x0000_b"},
      {"名\xEF\xBF\xBF", "名_xFFFF_"},
      {"\xEF\xBF\xBE", "_xFFFE_"},
      {"\x01\x1F\x7F", "_x0001__x001F_\x7F"},
      {"tab\tlf\ncr\r", "tab\tlf\ncr_x000D_"},
      {"_x0041_", "_x005F_x0041_"},
      {"_x00e9_x0041_", "_x005F_x00e9_x005F_x0041_"},
      {"_x0041\x01", "_x005F_x0041_x0001_"},  // the escape that follows would complete the form
      {"_x00G1_ _x12_ x_", "_x00G1_ _x12_ x_"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(xlsxStoredText(c.text), c.stored);
    EXPECT_EQ(xlsxReadText(c.stored), c.text) << c.stored;
  }
}

TEST(XlsxText, NamesXmlCannotHoldReadBackWithEveryRow) {
  TempFolder dir("xlsxtext");
  const std::string names[] = {"王\xEF\xBF\xBF", "李\xEF\xBF\xBE", std::string("赵\0钱", 7), "_x0041_孙", "周\r"};
  Sheet sheet;
  sheet.setText(1, 1, "姓名");
  const int rows = 500;
  for (int r = 2; r <= rows; ++r) {
    sheet.setTextFormat(r, 1);
    sheet.setText(r, 1, names[r % 5]);
    sheet.setText(r, 2, std::to_string(r));
  }
  const std::string path = dir.file("names.xlsx");
  ASSERT_NO_THROW(writeXlsx(sheet, path));
  const XlsxExpected counts = verifyXlsx(path);
  EXPECT_EQ(counts.rows, static_cast<std::uint64_t>(rows));
  // Python's XML parser refuses what XML cannot hold: the whole sheet reads.
  const ReadBack got = readXlsxWithPython(path);
  for (int r = 2; r <= rows; ++r) {
    ASSERT_TRUE(got.text.count({r, 1})) << r;
    EXPECT_EQ(xlsxReadText(got.text.at({r, 1})), names[r % 5]) << r;
    EXPECT_EQ(got.text.at({r, 2}), std::to_string(r));
  }
  // Counts that differ from what was written fail the check.
  EXPECT_THROW(verifyXlsx(path, XlsxExpected{counts.rows + 1, counts.cells}), std::runtime_error);
}

TEST(XlsxText, SheetPartThatDoesNotParseFailsTheCheck) {
  TempFolder dir("xlsxbadxml");
  Sheet sheet;
  sheet.setText(1, 1, "MARK");
  sheet.setText(2, 1, "后");
  const std::string good = dir.file("good.xlsx"), bad = dir.file("bad.xlsx");
  writeXlsx(sheet, good);
  // The same file with a raw U+FFFF where the marker stood, as a writer without escapes makes it.
  const std::string script =
      "import sys,zipfile\n"
      "src=zipfile.ZipFile(sys.argv[1]);dst=zipfile.ZipFile(sys.argv[2],'w',zipfile.ZIP_DEFLATED)\n"
      "for i in src.infolist():\n"
      "  d=src.read(i.filename)\n"
      "  if i.filename=='xl/worksheets/sheet1.xml': d=d.replace(b'MARK','\\uffff'.encode())\n"
      "  dst.writestr(i.filename,d)\n"
      "dst.close()\n";
  const std::string scriptPath = dir.file("inject.py");
  std::ofstream(scriptPath) << script;
  ASSERT_EQ(std::system(("python3 " + scriptPath + " " + good + " " + bad).c_str()), 0);
  EXPECT_NO_THROW(verifyXlsx(good));
  EXPECT_THROW(verifyXlsx(bad), std::runtime_error);
}
