#include "sheet/xlsx_text.h"

#include <cstdint>
#include <cstdio>

#include "common/utf8.h"

namespace qm {
namespace {

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// "_xHHHH_" at s[i]?
bool escapeAt(std::string_view s, std::size_t i) {
  if (i + 7 > s.size() || s[i] != '_' || s[i + 1] != 'x' || s[i + 6] != '_') return false;
  for (std::size_t k = 2; k < 6; ++k)
    if (!isHex(s[i + k])) return false;
  return true;
}

// Characters XML 1.0 cannot hold, and CR, which a parser would turn into LF.
bool needsEscape(std::uint32_t cp) {
  if (cp < 0x20) return cp != '\t' && cp != '\n';
  return cp == 0xFFFE || cp == 0xFFFF;
}

void appendEscape(std::string& out, std::uint32_t unit) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "_x%04X_", static_cast<unsigned>(unit));
  out += buf;
}

// Would the stored text hold "_xHHHH_" at the underscore s[i]? Also when the
// character after "_xHHHH" is escaped itself, since its escape starts with "_".
bool readAsEscape(std::string_view s, std::size_t i) {
  if (i + 7 > s.size() || s[i] != '_' || s[i + 1] != 'x') return false;
  for (std::size_t k = 2; k < 6; ++k)
    if (!isHex(s[i + k])) return false;
  std::size_t at = i + 6;
  return s[at] == '_' || needsEscape(utf8::next(s, at));
}

}  // namespace

std::string xlsxStoredText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    if (readAsEscape(utf8, i)) {
      out += "_x005F_";  // the underscore itself, escaped
      ++i;
      continue;
    }
    const std::size_t at = i;
    const std::uint32_t cp = utf8::next(utf8, i);
    if (needsEscape(cp))
      appendEscape(out, cp);
    else
      out.append(utf8.substr(at, i - at));
  }
  return out;
}

std::string xlsxReadText(std::string_view stored) {
  std::string out;
  out.reserve(stored.size());
  for (std::size_t i = 0; i < stored.size();) {
    if (!escapeAt(stored, i)) {
      out += stored[i++];
      continue;
    }
    unsigned value = 0;
    for (std::size_t k = 2; k < 6; ++k) {
      const char c = stored[i + k];
      value = value * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    // A lone surrogate cannot stand in UTF-8.
    utf8::append(out, value >= 0xD800 && value <= 0xDFFF ? 0xFFFD : value);
    i += 7;
  }
  return out;
}

}  // namespace qm
