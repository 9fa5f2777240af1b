#include "server/sheet/spreadsheet_export.h"

#include <QFile>
#include <stdexcept>
#include <sys/stat.h>

#include "server/sheet/replaceable.h"
#include "server/sheet/xlsx_writer.h"

namespace qm {
namespace {

std::string localPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

}  // namespace

bool SpreadsheetExport::chooseFile() {
  const QString name = prompts_.saveFileName(kSpreadsheetFilter);
  if (name.isEmpty()) return false;
  fileName_ = withDefaultExtension(name, QStringLiteral(".xls"));
  return true;
}

bool SpreadsheetExport::isXlsx() const { return fileName_.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive); }

double SpreadsheetExport::version() const { return isXlsx() ? 16 : 11; }

bool SpreadsheetExport::prepareFile() {
  const std::string path = localPath(fileName_);
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return true;
  if (!prompts_.question(kOverwriteQuestion)) return false;
  // The old file stays until the new one is complete; here we only make sure
  // it can be replaced then.
  if (!canReplaceFile(path)) {
    prompts_.message(kCannotReplaceMessage, kAppTitle, PromptIcon::Error);
    return false;
  }
  return true;
}

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
  if (fileName_.isEmpty()) throw std::runtime_error("no file has been chosen");
  // The .xls builder encodes the rows left now; they must not change under it.
  s.finishRows(s.rowCount() + 1);
  if (isXlsx()) {
    writeXlsx(s, localPath(fileName_));
    return;
  }
  if (!xls_) xls_ = std::make_unique<xls::XlsBuilder>(s);
  xls_->save(localPath(fileName_));
}

void SpreadsheetExport::quit() {
  xls_.reset();
  sheet_.reset();
}

}  // namespace qm
