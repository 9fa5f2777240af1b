#pragma once
// The file-format side of WorkbookSource: one reader per format, opened on a
// file, giving the sheet names in workbook order and each sheet's cells.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_table.h"

namespace qm {

class WorkbookReader {
 public:
  virtual ~WorkbookReader() = default;
  virtual const std::vector<std::string>& sheetNames() const = 0;
  // Every cell of sheet `index` as text. Throws WorkbookError.
  virtual std::shared_ptr<const CellTable> readSheet(std::size_t index) = 0;
};

// Checks that the file can be read, tells the format by its first bytes (not
// its name) and opens the matching reader. Throws WorkbookError.
std::unique_ptr<WorkbookReader> openWorkbookReader(const std::string& path);

std::unique_ptr<WorkbookReader> openXlsReader(const std::string& path);
std::unique_ptr<WorkbookReader> openXlsxReader(const std::string& path);
// An .xls from bytes in memory; `path` only names it in failure texts.
std::unique_ptr<WorkbookReader> openXlsReaderFromBytes(const std::string& path, std::string_view bytes);

// What one open workbook may hold: its shared strings (counted once) and the
// open sheet's table.
constexpr std::size_t kWorkbookBudget = std::size_t{256} << 20;

// The reader's failure texts.
std::string workbookTooLargeText();
std::string damagedWorkbookText(std::string_view path, std::string_view detail);
std::string notWorkbookText(std::string_view path);

}  // namespace qm
