#pragma once
// UTF-8 checks and walks: cell texts, captions and server answers must be
// well-formed before they reach a writer or a window.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qm::utf8 {

// Bytes a sequence with this lead byte claims (1 for a byte that cannot lead),
// for stepping over characters of text already known to be UTF-8.
inline std::size_t leadLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// Length of the well-formed sequence at s[i], 0 when it is ill-formed.
std::size_t sequenceLength(std::string_view s, std::size_t i);

// Appends code point cp as UTF-8.
void append(std::string& out, char32_t cp);
// Appends the text as UTF-16 code units; each ill-formed byte gives U+FFFD.
void appendAsUtf16(std::u16string& out, std::string_view s);

// Well-formed UTF-8 (no overlongs, surrogates or code points past U+10FFFF)?
// Counts UTF-16 code units on the way.
bool valid(std::string_view s, std::size_t* utf16Units = nullptr);
// Copy with every ill-formed sequence replaced by U+FFFD.
std::string sanitized(std::string_view s);
// The same appended to `out`, copying well-formed runs whole.
void appendSanitized(std::string& out, std::string_view s);

// Decodes one code point of well-formed UTF-8 at s[i], advancing i.
inline std::uint32_t next(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    ++i;
    return b;
  }
  auto at = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + k]) & 0x3F); };
  std::uint32_t cp;
  if (b < 0xE0) {
    cp = ((b & 0x1Fu) << 6) | at(1);
    i += 2;
  } else if (b < 0xF0) {
    cp = ((b & 0x0Fu) << 12) | (at(1) << 6) | at(2);
    i += 3;
  } else {
    cp = ((b & 0x07u) << 18) | (at(1) << 12) | (at(2) << 6) | at(3);
    i += 4;
  }
  return cp;
}

}  // namespace qm::utf8
