#pragma once
// The sheet side of a page scrape: the counters of the table loop (page p,
// table t, sheet row r), the text format and widths on every visited row,
// the "第"/empty end test, column 1 trimmed and the rest as read, the header
// once, the extra columns of the details layout and the row bound of the
// old .xls format.
#include <optional>
#include <string>
#include <vector>

#include "server/scrape/scrape_layout.h"

namespace qm {

class SpreadsheetExport;

// Cells firstReadCell() .. lastCell of one table's first row, as a page read
// gives them: a cell the row lacks is nothing. A table read as nothing (no
// such table, no first row, no end-test cell) fails the run.
using TableCells = std::vector<std::optional<std::string>>;
using PageTables = std::vector<std::optional<TableCells>>;

class ScrapeSheet {
 public:
  // The row bound of the old format: an .xls sheet ends at this row.
  static constexpr int kOldFormatLastRow = 65536;

  enum class Visit {
    Header,    // row 1 written from the header table
    Student,   // a data row written; the details layout adds its columns next
    EndOfPage, // the end-test cell read "第" or nothing
  };

  // The workbook is started by the caller; `version` is the spreadsheet
  // version read after the file choice (below 12: the old format's bound).
  ScrapeSheet(SpreadsheetExport& out, const ScrapeLayout& layout, double version);

  int page() const { return page_; }
  int table() const { return table_; }
  int row() const { return row_; }
  // The status count: the row of the last student written, less the title row.
  int written() const { return written_; }
  // The loop of the page in hand is over (end of rows, last table, full sheet).
  bool pageDone() const { return table_ > layout_.lastTable; }
  bool sheetFull() const { return full_; }

  // Visits table t at sheet row r: widths and format "@" on every column,
  // the end test, the cells. Throws std::runtime_error for a table or cell
  // the page lacks. Call finishTable() after it (after the extra columns).
  Visit visit(const std::optional<TableCells>& cells);
  // Extra columns of the student row just visited (details layout).
  void writeExtra(const std::vector<std::string>& values);
  // t and r move on; the sheet may be full now.
  void finishTable();

  // Writes every table a page read gave, from table(), until the page's
  // loop ends. Throws std::runtime_error when the page gave too few tables.
  void writePage(const PageTables& tables);

  // p + 1, and t at the first data table of the next page.
  void nextPage();

  // "第" or empty after trimming codes up to 32.
  static bool isEndMarker(const std::string& text);

 private:
  const std::string& cell(const TableCells& cells, int index) const;

  SpreadsheetExport& out_;
  const ScrapeLayout& layout_;
  bool oldFormat_;
  int page_ = 1;
  int table_;
  int row_ = 1;
  int written_ = 0;
  bool full_ = false;
};

}  // namespace qm
