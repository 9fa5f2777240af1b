#pragma once
// The workbook-wide parts of an .xlsx package: sheet names in workbook order
// and the part of each, the shared strings, which cell styles show dates, and
// the date system.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <memory>

#include "workbook/cell_text.h"
#include "workbook/string_pool.h"
#include "workbook/xlsx_part_stream.h"

namespace qm::xlsx {

struct SheetEntry {
  std::string name;
  std::string part;
};

class Workbook {
 public:
  // Reads the relationships and workbook.xml. Throws WorkbookError, with the
  // not-a-workbook text when the zip holds no spreadsheet.
  explicit Workbook(const Package& package);

  const std::vector<SheetEntry>& sheets() const { return sheets_; }
  bool date1904() const { return date1904_; }
  // Loaded on first use.
  const std::shared_ptr<const StringPool>& sharedStrings();
  // The value kind of each cell style (the "s" attribute of a cell).
  const std::vector<cells::ValueKind>& styleKinds();

 private:
  const Package& package_;
  std::vector<SheetEntry> sheets_;
  bool date1904_ = false;
  std::string sharedStringsPart_;
  std::string stylesPart_;
  bool sharedLoaded_ = false;
  bool stylesLoaded_ = false;
  std::shared_ptr<const StringPool> shared_;
  std::vector<cells::ValueKind> styleKinds_;
};

}  // namespace qm::xlsx
