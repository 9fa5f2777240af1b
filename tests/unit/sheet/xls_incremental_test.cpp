// The .xls bytes must not depend on when rows were prepared: the fixtures
// under tests/fixtures/sheet/ were written by the first, whole-sheet writer,
// and every way of preparing rows must reproduce them byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <vector>
#include <zlib.h>

#include "sheet/spreadsheet_export.h"
#include "sheet/xls/xls_builder.h"
#include "sheet/xls/xls_writer.h"
#include "tests/support/sheet_readers.h"
#include "tests/support/temp_folder.h"
#include "tests/unit/sheet/xls_fixtures.h"

using namespace qm;
using namespace qm::test;

namespace {

std::string golden(const std::string& name) {
  const char* dir = std::getenv("QM_FIXTURES");
  const std::string path = std::string(dir ? dir : "tests/fixtures") + "/sheet/" + name + ".xls.gz";
  gzFile f = gzopen(path.c_str(), "rb");
  if (!f) throw std::runtime_error("missing fixture " + path);
  std::string bytes;
  char buf[1 << 16];
  for (int n; (n = gzread(f, buf, sizeof buf)) > 0;) bytes.append(buf, static_cast<std::size_t>(n));
  gzclose(f);
  return bytes;
}

// Offset of the first differing byte, for a readable failure.
std::string firstDifference(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  if (i == a.size() && i == b.size()) return "same";
  return "sizes " + std::to_string(a.size()) + "/" + std::to_string(b.size()) + ", first difference at " +
         std::to_string(i);
}

// Copies `from` (up to row `last`) into `to` row by row as an export would,
// each text written over a stand-in first, and calls done(r) after every row r.
template <class Done>
void replay(const Sheet& from, Sheet& to, const Done& done, int last = Sheet::kMaxRows) {
  for (std::size_t c = 0; c < from.columnWidths().size(); ++c)
    if (!from.columnWidths()[c].empty()) to.setColumnWidth(static_cast<int>(c) + 1, from.columnWidths()[c]);
  for (int r = 1; r <= std::min(last, from.rowCount()); ++r) {
    const auto& cells = from.row(r);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const int col = static_cast<int>(c) + 1;
      if (cells[c].textFormat()) to.setTextFormat(r, col);
      if (!from.text(cells[c]).empty()) {
        to.setText(r, col, "stand-in " + std::to_string(r));
        to.setText(r, col, from.text(cells[c]));
      }
    }
    done(r);
  }
}

// When rows are declared final: after every row, every 7 rows, in uneven
// steps that repeat or lag behind, or never (all at save).
struct Steps {
  const char* name;
  int (*after)(int row);  // 0: no call after this row, else the argument
} steps[] = {
    {"every row", [](int r) { return r + 1; }},
    {"every 7 rows", [](int r) { return r % 7 == 0 ? r + 1 : 0; }},
    {"uneven, repeated", [](int r) { return (r * r) % 11 < 4 ? r - r % 5 + 1 : 0; }},
    {"never", [](int) { return 0; }},
};

}  // namespace

TEST(XlsIncremental, WholeSheetWriterReproducesTheFixtures) {
  TempFolder dir("golden");
  for (const XlsFixture& f : xlsFixtures()) {
    const std::string path = dir.file(std::string(f.name) + ".xls");
    writeXls(f.make(), path);
    EXPECT_EQ(firstDifference(readFile(path), golden(f.name)), "same") << f.name;
  }
}

TEST(XlsIncremental, RowsPreparedInAnyStepsGiveTheSameBytes) {
  TempFolder dir("steps");
  for (const XlsFixture& f : xlsFixtures()) {
    const Sheet whole = f.make();
    const std::string want = golden(f.name);
    for (const Steps& s : steps) {
      Sheet sheet;
      xls::XlsBuilder builder(sheet);
      sheet.finishRows(1);  // nothing final yet: a call that changes nothing
      builder.prepareRows(1);
      replay(whole, sheet, [&](int r) {
        if (const int row = s.after(r)) {
          sheet.finishRows(row);
          builder.prepareRows(sheet.firstOpenRow());
        }
      });
      const std::string path = dir.file(std::string(f.name) + ".xls");
      builder.save(path);
      EXPECT_EQ(firstDifference(readFile(path), want), "same") << f.name << ", " << s.name;
    }
  }
}

TEST(XlsIncremental, ExportWithRowsDoneWritesTheSameFileAndReadsBack) {
  TempFolder dir("rowsdone");
  const Sheet whole = mixedSheet();
  SpreadsheetExport x(dir.file("名单.xls"));
  x.startWorkbook();
  for (std::size_t c = 0; c < whole.columnWidths().size(); ++c)
    if (!whole.columnWidths()[c].empty()) x.setColumnWidth(1, static_cast<int>(c) + 1, whole.columnWidths()[c]);
  for (int r = 1; r <= whole.rowCount(); ++r) {
    const auto& cells = whole.row(r);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (cells[c].textFormat()) x.setTextFormat(r, static_cast<int>(c) + 1);
      if (!whole.text(cells[c]).empty()) x.writeCell(r, static_cast<int>(c) + 1, std::string(whole.text(cells[c])));
    }
    if (r % 50 == 0) x.rowsDone(r + 1);
  }
  x.save();
  const std::string path = dir.file("名单.xls");
  EXPECT_EQ(firstDifference(readFile(path), golden("mixed")), "same");
  const ReadBack want = expectedFrom(whole);
  EXPECT_EQ(readWithXlrd(path).text, want.text);
  EXPECT_EQ(readWithFreexl(path).text, want.text);
  EXPECT_EQ(dir.entries(), 1u);
}

TEST(XlsIncremental, FinishedRowsRefuseWritesNamingTheCell) {
  SpreadsheetExport x;
  x.startWorkbook();
  x.writeCell(1, 1, "a");
  x.setTextFormat(3, 2);
  x.rowsDone(4);
  x.rowsDone(2);  // never moves back
  struct Case {
    const char* what;
    std::function<void()> write;
    const char* cell;
  } cases[] = {
      {"text", [&] { x.writeCell(1, 1, "b"); }, "(1, 1)"},
      {"empty text", [&] { x.writeCell(3, 2, ""); }, "(3, 2)"},
      {"format", [&] { x.setTextFormat(2, 5); }, "(2, 5)"},
      {"row never written", [&] { x.writeCell(2, 1, "x"); }, "(2, 1)"},
  };
  for (const Case& c : cases) {
    try {
      c.write();
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.cell), std::string::npos) << c.what << ": " << e.what();
    }
  }
  EXPECT_EQ(x.sheet()->text(1, 1), "a");
  EXPECT_TRUE(x.sheet()->hasTextFormat(3, 2));
  x.writeCell(4, 1, "first open row");
  EXPECT_EQ(x.sheet()->text(4, 1), "first open row");
  x.startWorkbook();  // a new workbook starts with every row open
  x.writeCell(1, 1, "again");
  EXPECT_EQ(x.sheet()->text(1, 1), "again");
}

TEST(XlsIncremental, SavingTwiceWithRowsAddedBetweenMatchesOneWrite) {
  // The second save must carry the first one's strings and records on.
  TempFolder dir("twice");
  const Sheet whole = mixedSheet();
  const int half = whole.rowCount() / 2;
  Sheet sheet;
  xls::XlsBuilder builder(sheet);
  replay(whole, sheet, [&](int r) {
    if (r % 10 == 0) {
      sheet.finishRows(r + 1);
      builder.prepareRows(r + 1);
    }
    if (r == half) {
      sheet.finishRows(r + 1);
      builder.save(dir.file("half.xls"));
    }
  });
  builder.save(dir.file("all.xls"));
  EXPECT_EQ(firstDifference(readFile(dir.file("all.xls")), golden("mixed")), "same");

  // What the first save saw: the rows up to half, written whole.
  Sheet upToHalf;
  replay(whole, upToHalf, [](int) {}, half);
  writeXls(upToHalf, dir.file("half_whole.xls"));
  EXPECT_EQ(firstDifference(readFile(dir.file("half.xls")), readFile(dir.file("half_whole.xls"))), "same");
}

TEST(XlsIncremental, FullSheetPreparedPageByPageMatchesTheWholeSheetWrite) {
  // 65,536 rows: many chunks, table growths and CONTINUE records, and a
  // compound file with DIFAT sectors.
  Sheet whole;
  auto value = [](int r, int c) {
    return c % 3 == 0 ? std::string(c % 2 ? "男" : "女") : (c % 2 ? "学生" : "id") + std::to_string(r * 10 + c);
  };
  for (int r = 1; r <= 65536; ++r)
    for (int c = 1; c <= 7; ++c) whole.setText(r, c, value(r, c));
  TempFolder dir("pages");
  writeXls(whole, dir.file("whole.xls"));

  Sheet sheet;
  xls::XlsBuilder builder(sheet);
  replay(whole, sheet, [&](int r) {
    if (r % 50 == 0) {
      sheet.finishRows(r + 1);
      builder.prepareRows(r + 1);
    }
  });
  builder.save(dir.file("pages.xls"));
  EXPECT_EQ(firstDifference(readFile(dir.file("pages.xls")), readFile(dir.file("whole.xls"))), "same");
  const ReadBack got = readWithFreexl(dir.file("pages.xls"), false);
  EXPECT_EQ(got.rows, 65536);
}
