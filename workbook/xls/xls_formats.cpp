#include "workbook/xls/xls_formats.h"

#include "workbook/number_format.h"

namespace qm::xls {

void FormatTable::addFormat(std::uint16_t id, const std::string& code) { formats_[id] = cells::formatCodeKind(code); }

void FormatTable::resolve() {
  kinds_.clear();
  kinds_.reserve(xfFormats_.size());
  for (const std::uint16_t id : xfFormats_) {
    const auto found = formats_.find(id);
    kinds_.push_back(found != formats_.end() ? found->second : cells::builtInFormatKind(id));
  }
}

}  // namespace qm::xls
