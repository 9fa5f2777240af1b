#include "server/sheet/utf8.h"

namespace qm::utf8 {
namespace {

// Length of the well-formed sequence at s[i], 0 when it is ill-formed.
std::size_t sequenceLength(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) return 1;
  std::size_t n;
  unsigned char lo = 0x80, hi = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  const auto b1 = static_cast<unsigned char>(s[i + 1]);
  if (b1 < lo || b1 > hi) return 0;
  for (std::size_t k = 2; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if (b < 0x80 || b > 0xBF) return 0;
  }
  return n;
}

}  // namespace

bool valid(std::string_view s, std::size_t* utf16Units) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < s.size();) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {  // fast path for ASCII
      ++i;
      ++units;
      continue;
    }
    std::size_t n = sequenceLength(s, i);
    if (n == 0) return false;
    units += n == 4 ? 2 : 1;
    i += n;
  }
  if (utf16Units) *utf16Units = units;
  return true;
}

std::string sanitized(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 8);
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = sequenceLength(s, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(s.substr(i, n));
      i += n;
    }
  }
  return out;
}

}  // namespace qm::utf8
