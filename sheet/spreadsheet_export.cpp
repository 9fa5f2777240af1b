#include "sheet/spreadsheet_export.h"

#include <malloc.h>
#include <stdexcept>
#include <strings.h>

#include "sheet/xlsx_writer.h"

namespace qm {

bool SpreadsheetExport::isXlsx() const {
  return fileName_.size() >= 5 && ::strcasecmp(fileName_.c_str() + fileName_.size() - 5, ".xlsx") == 0;
}

double SpreadsheetExport::version() const { return isXlsx() ? 16 : 11; }

void SpreadsheetExport::startWorkbook() {
  xls_.reset();
  sheet_ = std::make_unique<Sheet>();
}

Sheet& SpreadsheetExport::workbook() {
  if (!sheet_) throw std::runtime_error("no workbook has been started");
  return *sheet_;
}

void SpreadsheetExport::setColumnWidth(int row, int col, const std::string& width) {
  Sheet& s = workbook();
  if (row < 1 || row > Sheet::kMaxRows) throw std::runtime_error("row " + std::to_string(row) + " is outside the sheet");
  s.setColumnWidth(col, width);
}

void SpreadsheetExport::setTextFormat(int row, int col) { workbook().setTextFormat(row, col); }

void SpreadsheetExport::writeCell(int row, int col, const std::string& utf8) { workbook().setText(row, col, utf8); }

void SpreadsheetExport::rowsDone(int row) {
  Sheet& s = workbook();
  s.finishRows(row);
  if (isXlsx()) return;  // libxlsxwriter takes the sheet whole
  if (!xls_) xls_ = std::make_unique<xls::XlsBuilder>(s);
  xls_->prepareRows(s.firstOpenRow());
}

void SpreadsheetExport::save() {
  Sheet& s = workbook();
  if (fileName_.empty()) throw std::runtime_error("no file has been chosen");
  // The .xls builder encodes the rows left now; they must not change under it.
  s.finishRows(s.rowCount() + 1);
  if (isXlsx()) {
    writeXlsx(s, fileName_);
    return;
  }
  if (!xls_) xls_ = std::make_unique<xls::XlsBuilder>(s);
  xls_->save(fileName_);
}

void SpreadsheetExport::quit() {
  const bool held = sheet_ || xls_;
  xls_.reset();
  sheet_.reset();
  // A big workbook's memory would stay with the allocator, and the process
  // would grow with every export of the day: give it back to the system.
  if (held) ::malloc_trim(0);
}

}  // namespace qm
