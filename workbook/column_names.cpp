#include "workbook/column_names.h"

#include "common/ascii.h"

#include <QString>

#include <unordered_map>
#include <unordered_set>

namespace qm {

std::string foldedKey(std::string_view name) {
  bool ascii = true;
  for (const char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (!ascii) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toCaseFolded().toStdString();
  }
  return ascii::lowered(name);
}

std::vector<std::string> uniqueColumnNames(const std::vector<std::string_view>& headers) {
  std::vector<std::string> names;
  names.reserve(headers.size());
  for (std::size_t c = 0; c < headers.size(); ++c)
    names.push_back(headers[c].empty() ? "F" + std::to_string(c + 1) : std::string(headers[c]));
  // Names as they stand are kept first, so a later "姓名1" of the sheet's own
  // is never taken by a suffixed one before it.
  std::vector<std::string> keys;
  keys.reserve(names.size());
  std::unordered_set<std::string> taken;
  std::vector<bool> repeated(names.size(), false);
  for (std::size_t c = 0; c < names.size(); ++c) {
    keys.push_back(foldedKey(names[c]));
    repeated[c] = !taken.insert(keys[c]).second;
  }
  // Digits fold to themselves, so a candidate's key is the name's key and
  // the number; counting on from the last number given to the same name
  // keeps a sheet of many equal headers from trying every number again.
  std::unordered_map<std::string, unsigned> nextNumber;
  for (std::size_t c = 0; c < names.size(); ++c) {
    if (!repeated[c]) continue;
    unsigned& n = nextNumber.try_emplace(keys[c], 1).first->second;
    for (;; ++n) {
      const std::string digits = std::to_string(n);
      if (taken.insert(keys[c] + digits).second) {
        names[c] += digits;
        ++n;
        break;
      }
    }
  }
  return names;
}

}  // namespace qm
