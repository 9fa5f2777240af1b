#pragma once
// Builds an .xls file while its rows arrive: the shared strings and the cell
// records of rows that are final are encoded ahead, so saving only lays out
// the compound file around the prepared bytes and writes them. The bytes
// are the same whichever rows were prepared early, and when.
#include <cstdint>
#include <string>

#include "sheet/sheet.h"
#include "sheet/xls/chunked_bytes.h"
#include "sheet/xls/shared_strings.h"

namespace qm::xls {

class XlsBuilder {
 public:
  // sheet must outlive the builder, at the same address.
  explicit XlsBuilder(const Sheet& sheet);

  // Encodes the rows before `row` that are not encoded yet. They must not
  // change afterwards (Sheet::finishRows enforces that). Rows past the .xls
  // bound are left for save() to refuse.
  void prepareRows(int row);
  // First row not encoded yet.
  int nextRow() const { return nextRow_; }

  // Encodes the remaining rows, which must not change afterwards either,
  // and writes the workbook through a temporary file that replaces path only
  // when complete. Throws std::runtime_error (past 65,536 rows or 256
  // columns, a write failure); path is then left as it was.
  void save(const std::string& path);

 private:
  const Sheet& sheet_;
  SharedStrings strings_;
  ChunkedBytes cells_;
  int nextRow_ = 1;
};

}  // namespace qm::xls
