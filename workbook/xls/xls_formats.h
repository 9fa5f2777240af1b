#pragma once
// XF and FORMAT records: which cells show their number as a date or a time.
// An id with a FORMAT record goes by its code (LibreOffice writes 年月日
// formats as ids 164 and up); other ids go by the built-in table, which
// holds the Chinese date ids Excel and WPS save with no FORMAT record.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "workbook/cell_text.h"

namespace qm::xls {

class FormatTable {
 public:
  void addFormat(std::uint16_t id, const std::string& code);
  void addXf(std::uint16_t formatId) { xfFormats_.push_back(formatId); }
  // Done once all globals are read.
  void resolve();
  cells::ValueKind kind(std::uint16_t xf) const {
    return xf < kinds_.size() ? kinds_[xf] : cells::ValueKind::Number;
  }

 private:
  std::unordered_map<std::uint16_t, cells::ValueKind> formats_;
  std::vector<std::uint16_t> xfFormats_;
  std::vector<cells::ValueKind> kinds_;
};

}  // namespace qm::xls
