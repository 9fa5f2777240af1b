#include "workbook/column_names.h"

#include <QString>

#include <unordered_set>

namespace qm {

std::string foldedKey(std::string_view name) {
  bool ascii = true;
  for (const char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (!ascii) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toCaseFolded().toStdString();
  }
  std::string key(name);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

std::vector<std::string> uniqueColumnNames(const std::vector<std::string_view>& headers) {
  std::vector<std::string> names;
  names.reserve(headers.size());
  for (std::size_t c = 0; c < headers.size(); ++c)
    names.push_back(headers[c].empty() ? "F" + std::to_string(c + 1) : std::string(headers[c]));
  // Names as they stand are kept first, so a later "姓名1" of the sheet's own
  // is never taken by a suffixed one before it.
  std::unordered_set<std::string> taken;
  std::vector<bool> repeated(names.size(), false);
  for (std::size_t c = 0; c < names.size(); ++c) repeated[c] = !taken.insert(foldedKey(names[c])).second;
  for (std::size_t c = 0; c < names.size(); ++c) {
    if (!repeated[c]) continue;
    for (unsigned n = 1;; ++n) {
      std::string candidate = names[c] + std::to_string(n);
      if (taken.insert(foldedKey(candidate)).second) {
        names[c] = std::move(candidate);
        break;
      }
    }
  }
  return names;
}

}  // namespace qm
