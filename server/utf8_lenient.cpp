#include "server/utf8_lenient.h"

#include <cstdint>

namespace qm {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at i; returns the bytes taken (1 for an invalid byte,
// which yields U+FFFD). Overlong forms, surrogates and values past U+10FFFF are invalid.
std::size_t decodeOne(std::string_view s, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t n;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    n = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    cp = kReplacement;
    return 1;
  }
  if (i + n > s.size()) {
    cp = kReplacement;
    return 1;
  }
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      cp = kReplacement;
      return 1;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    cp = kReplacement;
    return 1;
  }
  return n;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

void appendUtf8AsUtf16(std::u16string& out, std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {  // the common case: ASCII answers
      out += static_cast<char16_t>(c);
      ++i;
      continue;
    }
    char32_t cp;
    i += decodeOne(utf8, i, cp);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
}

std::string validUtf8(std::string_view bytes) {
  std::size_t i = 0;
  char32_t cp;
  while (i < bytes.size()) {
    const std::size_t n = decodeOne(bytes, i, cp);
    if (cp == kReplacement && n == 1) break;
    i += n;
  }
  if (i == bytes.size()) return std::string(bytes);
  std::string out(bytes.substr(0, i));
  while (i < bytes.size()) {
    i += decodeOne(bytes, i, cp);
    appendUtf8(out, cp);
  }
  return out;
}

}  // namespace qm
