#include "browser/navigation/account_type.h"

#include <cstddef>

#include "common/utf8.h"

namespace qm {

namespace {

// Byte offset of the character that lies `chars` characters after byte offset from.
std::size_t advanceChars(std::string_view text, std::size_t from, std::size_t chars) {
  std::size_t at = from;
  while (chars > 0 && at < text.size()) {
    at += utf8::leadLength(static_cast<unsigned char>(text[at]));
    --chars;
  }
  return at;
}

}  // namespace

std::optional<int> readAccountType(std::string_view html) {
  constexpr std::string_view kMarker = "userType:";
  const std::size_t found = html.find(kMarker);
  // 1-based p + 10 is the second character after the colon, 10 characters
  // past the marker's start; without a marker it is the text's 10th character.
  const std::size_t at = found == std::string_view::npos ? advanceChars(html, 0, 9) : advanceChars(html, found, 10);
  if (at >= html.size()) return std::nullopt;
  const char c = html[at];
  if (c < '0' || c > '9') return std::nullopt;
  return c - '0';
}

}  // namespace qm
