#pragma once
// The shared string table (SST) and its lookup index (EXTSST). Every text cell
// refers to its string by number; equal texts share one entry. Records are at
// most 8224 bytes, so the table runs on in CONTINUE records; a string split
// there resumes after a fresh option byte, in its own 8-bit or UTF-16 form,
// and a surrogate pair is never torn apart.
#include <cstdint>
#include <vector>

#include "server/sheet/sheet.h"
#include "server/sheet/xls/byte_sink.h"

namespace qm::xls {

class SharedStrings {
 public:
  // Interns the texts of the sheet's cells in row order.
  explicit SharedStrings(const Sheet& sheet);

  std::size_t uniqueCount() const { return unique_.size(); }
  std::size_t referenceCount() const { return cellIndex_.size(); }
  // String number of the n-th text cell in row order.
  std::uint32_t indexOfTextCell(std::size_t n) const { return cellIndex_[n]; }

  // SST with its CONTINUE records, then EXTSST.
  void write(ByteSink& out) const;

 private:
  const Sheet& sheet_;
  std::vector<Sheet::Cell> unique_;
  std::vector<std::uint32_t> cellIndex_;
};

}  // namespace qm::xls
