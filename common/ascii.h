#pragma once
// ASCII-only case rules: header names, cookie domains, stream names and
// profile keys compare their Latin letters without case, while Chinese
// bytes compare as they are.
#include <string>
#include <string_view>

namespace qm::ascii {

inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lower(c);
  return out;
}

inline bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

inline bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && sameIgnoringCase(s.substr(0, prefix.size()), prefix);
}

}  // namespace qm::ascii
