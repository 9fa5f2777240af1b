#include "sheet/xlsx_writer.h"

#include <stdexcept>
#include <string>
#include <xlsxwriter.h>

#include "common/atomic_file.h"
#include "sheet/xlsx_check.h"
#include "sheet/xlsx_text.h"

namespace qm {
namespace {

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

struct WorkbookCloser {
  lxw_workbook* book;
  ~WorkbookCloser() {
    // Dropped on failure without writing; the temporary file goes with the AtomicFile.
    if (book) lxw_workbook_free(book);
  }
};

void check(lxw_error e, const char* what) {
  if (e != LXW_NO_ERROR) throw std::runtime_error(std::string(what) + ": " + lxw_strerror(e));
}

}  // namespace

void writeXlsx(const Sheet& sheet, const std::string& path) {
  AtomicFile file(path);
  if (!file.ok()) throw std::runtime_error(file.error());
  std::string folder = folderOf(path);
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.tmpdir = folder.data();
  WorkbookCloser closer{workbook_new_opt(file.tempPath().c_str(), &options)};
  if (!closer.book) throw std::runtime_error("cannot start the workbook " + path);
  lxw_worksheet* ws = workbook_add_worksheet(closer.book, nullptr);
  lxw_format* text = workbook_add_format(closer.book);
  if (!ws || !text) throw std::runtime_error("cannot start the workbook " + path);
  format_set_num_format(text, "@");

  const auto& widths = sheet.columnWidths();
  for (std::size_t c = 0; c < widths.size(); ++c) {
    if (widths[c].empty()) continue;
    const auto col = static_cast<lxw_col_t>(c);
    check(worksheet_set_column(ws, col, col, parseColumnWidth(widths[c]), nullptr), "column width");
  }
  // What the sheet part must hold when read back.
  XlsxExpected expected;
  std::string value;  // libxlsxwriter wants NUL-terminated text: NULs go as "_x0000_"
  for (int r = 1; r <= sheet.rowCount(); ++r) {
    const auto& cells = sheet.row(r);
    bool rowUsed = false;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const Sheet::Cell& cell = cells[c];
      if (!cell.used()) continue;
      lxw_format* format = cell.textFormat() ? text : nullptr;
      value = xlsxStoredText(sheet.text(cell));
      const auto row = static_cast<lxw_row_t>(r - 1);
      const auto col = static_cast<lxw_col_t>(c);
      if (value.empty()) {
        // A blank cell without a format is not written at all.
        if (!format) continue;
        check(worksheet_write_blank(ws, row, col, format), "cell");
      } else {
        check(worksheet_write_string(ws, row, col, value.c_str(), format), "cell");
      }
      rowUsed = true;
      ++expected.cells;
    }
    if (rowUsed) ++expected.rows;
  }
  lxw_workbook* book = closer.book;
  closer.book = nullptr;
  check(workbook_close(book), ("cannot write " + path).c_str());
  verifyXlsx(file.tempPath(), expected);
  if (!file.commit()) throw std::runtime_error(file.error());
}

}  // namespace qm
