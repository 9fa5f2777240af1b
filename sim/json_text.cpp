#include "sim/json_text.h"

#include <cstdint>

namespace qm::sim {
namespace {

// Next code point of a UTF-8 text; advances i. Malformed input yields U+FFFD for one byte.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int extra = 0;
  char32_t cp = 0;
  if (b0 < 0x80) { ++i; return b0; }
  if ((b0 & 0xE0) == 0xC0) { extra = 1; cp = b0 & 0x1F; }
  else if ((b0 & 0xF0) == 0xE0) { extra = 2; cp = b0 & 0x0F; }
  else if ((b0 & 0xF8) == 0xF0) { extra = 3; cp = b0 & 0x07; }
  else { ++i; return 0xFFFD; }
  if (i + extra >= s.size()) { ++i; return 0xFFFD; }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) { ++i; return 0xFFFD; }
    cp = (cp << 6) | (b & 0x3F);
  }
  i += extra + 1;
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
  return cp;
}

void appendUnit(std::string& out, unsigned unit) {
  static const char kHex[] = "0123456789abcdef";
  const char buf[6] = {'\\', 'u', kHex[(unit >> 12) & 0xF], kHex[(unit >> 8) & 0xF], kHex[(unit >> 4) & 0xF],
                       kHex[unit & 0xF]};
  out.append(buf, sizeof buf);
}

void appendEscape(std::string& out, char32_t cp) {
  if (cp > 0xFFFF) {
    const char32_t v = cp - 0x10000;
    appendUnit(out, 0xD800 + (v >> 10));
    appendUnit(out, 0xDC00 + (v & 0x3FF));
  } else {
    appendUnit(out, cp);
  }
}

}  // namespace

std::string jsonEscaped(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t cp = nextCodePoint(utf8, i);
    if (cp == '"' || cp == '\\') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp < 0x20 || cp >= 0x7F) {
      appendEscape(out, cp);
    } else {
      out += static_cast<char>(cp);
    }
  }
  return out;
}

std::string jsonAllEscaped(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) appendEscape(out, nextCodePoint(utf8, i));
  return out;
}

std::string quotedValueAfter(std::string_view text, std::string_view marker) {
  const auto p = text.find(marker);
  if (p == std::string_view::npos) return {};
  const auto start = p + marker.size();
  const auto end = text.find('"', start);
  return std::string(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
}

}  // namespace qm::sim
