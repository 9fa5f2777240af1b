#pragma once
// An Excel 97-2003 workbook opened with FreeXL in this process.
#include <cstddef>
#include <string>
#include <vector>

#include "sheet/cell_table.h"

namespace qm {

class FreeXlWorkbook {
 public:
  // Throws WorkbookError.
  explicit FreeXlWorkbook(const std::string& path);
  ~FreeXlWorkbook();
  FreeXlWorkbook(const FreeXlWorkbook&) = delete;
  FreeXlWorkbook& operator=(const FreeXlWorkbook&) = delete;

  const std::vector<std::string>& sheetNames() const { return names_; }
  // Throws WorkbookError.
  CellTable readSheet(std::size_t index);

 private:
  [[noreturn]] void fail(const std::string& message);

  std::string path_;
  const void* handle_ = nullptr;
  std::vector<std::string> names_;
};

}  // namespace qm
