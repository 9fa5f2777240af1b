#pragma once
// The shared output sequence of the exports once the file is chosen (see
// save_target.h): read version, start workbook, column widths, text format,
// cells, save, quit. The workbook lives in memory; save writes BIFF8 .xls, or
// .xlsx when the name ends in ".xlsx", to a temporary file that replaces the
// target only when complete, so a failure never loses the old file.
#include <memory>
#include <string>

#include "sheet/sheet.h"
#include "sheet/xls/xls_builder.h"

namespace qm {

class SpreadsheetExport {
 public:
  SpreadsheetExport() = default;
  explicit SpreadsheetExport(std::string fileName) : fileName_(std::move(fileName)) {}

  // Local path of the target file.
  void setFileName(std::string fileName) { fileName_ = std::move(fileName); }
  const std::string& fileName() const { return fileName_; }
  // 11 for .xls (the old format: 65,536 rows), 16 for .xlsx.
  double version() const;
  void startWorkbook();
  // Column of cell (r, c) gets width text such as "9.75" (character units).
  void setColumnWidth(int row, int col, const std::string& width);
  void setTextFormat(int row, int col);  // number format "@"
  void writeCell(int row, int col, const std::string& utf8);
  // These three throw std::runtime_error for a cell outside the sheet or in
  // a finished row.

  // Rows before `row` are final: later writes into them throw. For an .xls
  // file their strings and cell records are encoded now, so that save() has
  // little left to do. Optional; the file is the same either way.
  void rowsDone(int row);

  // Writes the file (.xlsx when the name ends so, .xls otherwise) under a
  // temporary name beside it and renames it over the chosen name when
  // complete; throws std::runtime_error when it cannot, leaving any old file.
  // Every row written so far is final afterwards.
  void save();
  // Drops the workbook without saving.
  void quit();

  const Sheet* sheet() const { return sheet_.get(); }

 private:
  bool isXlsx() const;
  Sheet& workbook();  // throws std::runtime_error before startWorkbook()

  std::string fileName_;
  std::unique_ptr<Sheet> sheet_;
  std::unique_ptr<xls::XlsBuilder> xls_;  // the .xls prepared so far
};

}  // namespace qm
