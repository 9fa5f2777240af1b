#pragma once
// Texts from cells, edit boxes and settings drop leading and trailing
// characters with codes up to 32 (blanks, tabs, line ends, other controls).
#include <string>
#include <string_view>

namespace qm {

inline std::string_view trimLowView(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

inline std::string trimLow(std::string_view s) { return std::string(trimLowView(s)); }

}  // namespace qm
