#pragma once
// The shared output sequence of the exports: choose file, read version, prepare
// file, start workbook, column widths, text format, cells, save, quit. The
// workbook lives in memory; save writes BIFF8 .xls, or .xlsx when the chosen
// name ends in ".xlsx", to a temporary file that replaces the target only when
// complete, so a failure never loses the old file.
#include <QString>
#include <memory>
#include <string>

#include "common/prompts.h"
#include "server/sheet/sheet.h"
#include "server/sheet/xls/xls_builder.h"

namespace qm {

inline const QString kSpreadsheetFilter = QStringLiteral("EXCEL文件(.xls,.xlsx)|*.xls");
inline const QString kOverwriteQuestion = QStringLiteral("数据库文件已存在，是否覆盖？");
inline const QString kCannotReplaceMessage = QStringLiteral("数据库文件创建失败，请检查磁盘权限后再试！");

class SpreadsheetExport {
 public:
  explicit SpreadsheetExport(Prompts& prompts) : prompts_(prompts) {}

  // Save dialog with the filter above; adds ".xls" to a name without extension.
  // False when cancelled.
  bool chooseFile();
  const QString& fileName() const { return fileName_; }
  // 11 for .xls (the old format: 65,536 rows), 16 for .xlsx.
  double version() const;
  // Existence check and overwrite question. False ends the export silently
  // (No), or after the error message when the file cannot be replaced
  // (for example a read-only file or folder). Yes does not delete the old
  // file: save() replaces it only once the new one is complete.
  bool prepareFile();
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

  Prompts& prompts_;
  QString fileName_;
  std::unique_ptr<Sheet> sheet_;
  std::unique_ptr<xls::XlsBuilder> xls_;  // the .xls prepared so far
};

}  // namespace qm
