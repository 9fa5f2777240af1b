#include "server/protocol/text_routines.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/text_encoding.h"
#include "common/trim.h"
#include "common/utf8.h"

namespace qm {
namespace {

// 1-based position of the first occurrence; 0 when absent or the marker is empty.
std::uint32_t Pos(std::string_view marker, std::string_view text) {
  if (marker.empty()) return 0;
  const auto i = text.find(marker);
  return i == std::string_view::npos ? 0 : static_cast<std::uint32_t>(i + 1);
}

std::int32_t Wrap(std::uint32_t v) { return static_cast<std::int32_t>(v); }

// Substring by 1-based index and count: an index below 1 counts as 1, a count
// past the end is shortened, a negative count gives nothing.
std::string_view Copy(std::string_view s, std::int32_t index, std::int32_t count) {
  const auto len = static_cast<std::int64_t>(s.size());
  const std::int64_t from = std::max<std::int64_t>(index, 1);
  if (from > len || count <= 0) return {};
  const std::int64_t n = std::min<std::int64_t>(count, len - from + 1);
  return s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(n));
}

// Characters from `from` to q - 1 (both 1-based), empty unless q lies beyond `from`.
std::string_view Between(std::string_view s, std::int32_t from, std::int32_t q) {
  if (q <= from) return {};
  const std::int32_t first = std::max<std::int32_t>(from, 1);
  return Copy(s, first, q - first);
}

std::uint32_t hexDigit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;  // upper-cased by the rule
  return 0;
}

// Digit of a \u escape: "0"-"9" as such, anything else (code mod 16) + 9.
constexpr std::uint32_t escapeDigit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return c % 16 + 9;
}

constexpr auto kEscapeDigits = [] {
  std::array<std::uint8_t, 256> digits{};
  for (unsigned c = 0; c < 256; ++c) digits[c] = static_cast<std::uint8_t>(escapeDigit(static_cast<unsigned char>(c)));
  return digits;
}();

char* PutUtf8(char* w, std::uint32_t cp) {
  if (cp < 0x80) {
    *w++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *w++ = static_cast<char>(0xC0 | (cp >> 6));
    *w++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *w++ = static_cast<char>(0xE0 | (cp >> 12));
    *w++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *w++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *w++ = static_cast<char>(0xF0 | (cp >> 18));
    *w++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *w++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *w++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return w;
}

// Copies the text with each ill-formed byte as U+FFFD, as utf8::sanitized does.
char* putSanitized(char* w, std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      *w++ = s[i++];
      continue;
    }
    const std::size_t len = utf8::sequenceLength(s, i);
    if (len == 0) {
      w = PutUtf8(w, 0xFFFD);
      ++i;
    } else {
      std::memcpy(w, s.data() + i, len);
      w += len;
      i += len;
    }
  }
  return w;
}

std::size_t findEscape(std::string_view s, std::size_t from) {
  for (std::size_t i = s.find('\\', from); i != std::string_view::npos; i = s.find('\\', i + 1)) {
    if (i + 1 < s.size() && (s[i + 1] == 'u' || s[i + 1] == 'U')) return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::int32_t HexTextToInt(std::string_view text) {
  std::uint32_t v = 0;
  for (unsigned char c : trimLowView(text)) v = v * 16u + hexDigit(c);
  return Wrap(v);
}

std::string DecodeHexEscapes(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4);
  for (std::size_t i = 0; i + 4 <= text.size(); i += 4) {
    out += static_cast<char>(static_cast<std::uint32_t>(HexTextToInt(text.substr(i + 2, 2))) & 0xFFu);
  }
  return out;
}

std::u16string DecodeUnicodeEscapes(std::string_view text) {
  static constexpr std::uint32_t kWeights[4] = {4096, 256, 16, 1};
  std::u16string out;
  out.reserve(text.size());
  std::size_t p = 0;
  while (p < text.size()) {
    const std::size_t e = findEscape(text, p);
    if (e == std::string_view::npos) {
      utf8::appendAsUtf16(out, text.substr(p));
      break;
    }
    utf8::appendAsUtf16(out, text.substr(p, e - p));
    std::uint32_t unit = 0;
    for (std::size_t k = 0; k < 4 && e + 2 + k < text.size(); ++k) {
      unit += kWeights[k] * escapeDigit(static_cast<unsigned char>(text[e + 2 + k]));
    }
    out += static_cast<char16_t>(unit & 0xFFFFu);
    p = e + 6;
  }
  return out;
}

std::string DecodeUnicodeEscapesUtf8(std::string_view text) { return utf16ToUtf8(DecodeUnicodeEscapes(text)); }

void AppendUnicodeEscapesUtf8(std::string_view text, std::string& out) {
  // Room for the worst case, three output bytes per input byte: a broken raw
  // byte becomes U+FFFD, an escape (two to six bytes) gives three at most, an
  // escaped pair (twelve bytes) four.
  const std::size_t base = out.size();
  out.resize(base + 3 * text.size());
  char* w = out.data() + base;
  const char* const s = text.data();
  const std::size_t n = text.size();
  std::uint32_t high = 0;  // an escaped high surrogate waiting for its low half
  std::size_t p = 0;
  while (p < n) {
    const bool here = s[p] == '\\' && p + 1 < n && (s[p + 1] == 'u' || s[p + 1] == 'U');
    const std::size_t e = here ? p : findEscape(text, p);
    if (e != p) {
      // Raw text never starts with a low surrogate: a waiting high one stays alone.
      if (high) w = PutUtf8(w, 0xFFFD);
      high = 0;
      w = putSanitized(w, text.substr(p, e == std::string_view::npos ? e : e - p));
      if (e == std::string_view::npos) break;
    }
    std::uint32_t unit;
    if (e + 6 <= n) {
      unit = 4096 * kEscapeDigits[static_cast<unsigned char>(s[e + 2])] +
             256 * kEscapeDigits[static_cast<unsigned char>(s[e + 3])] +
             16 * kEscapeDigits[static_cast<unsigned char>(s[e + 4])] +
             kEscapeDigits[static_cast<unsigned char>(s[e + 5])];
    } else {
      static constexpr std::uint32_t kWeights[4] = {4096, 256, 16, 1};
      unit = 0;
      for (std::size_t k = 0; e + 2 + k < n; ++k) {
        unit += kWeights[k] * kEscapeDigits[static_cast<unsigned char>(s[e + 2 + k])];
      }
    }
    unit &= 0xFFFFu;
    p = e + 6;
    if (high) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        w = PutUtf8(w, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
        high = 0;
        continue;
      }
      w = PutUtf8(w, 0xFFFD);
      high = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      high = unit;
    } else {
      w = PutUtf8(w, unit >= 0xDC00 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
  }
  if (high) w = PutUtf8(w, 0xFFFD);
  out.resize(static_cast<std::size_t>(w - out.data()));
}

std::string CutAfter(std::string_view text, std::string_view marker, int skip, int length) {
  const std::uint32_t start =
      Pos(marker, text) + static_cast<std::uint32_t>(marker.size()) + static_cast<std::uint32_t>(skip);
  return std::string(Copy(text, Wrap(start), length));
}

std::string CutBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker) {
  const std::uint32_t from = Pos(startMarker, text) + static_cast<std::uint32_t>(startMarker.size());
  return std::string(Between(text, Wrap(from), Wrap(Pos(endMarker, text))));
}

std::string NormalizeFieldValue(std::string_view cut) {
  if (!cut.empty() && cut.front() == '"') {
    cut = cut.size() >= 2 ? cut.substr(1, cut.size() - 2) : std::string_view{};
  }
  if (cut == "null") return {};
  return std::string(cut);
}

std::optional<std::vector<std::string>> ReadKeyedRecord(std::string_view& remaining,
                                                        std::span<const std::string_view> markers) {
  std::vector<std::string> values;
  values.reserve(markers.size());
  std::string_view t = remaining;
  // Markers are searched only up to the next record's first key: a key missing
  // here must not be taken from the next student, merging two records into one.
  std::size_t end = std::string_view::npos;
  for (std::size_t i = 0; i < markers.size(); ++i) {
    std::string_view window = t.substr(0, end);
    const std::uint32_t p = Pos(markers[i], window);
    if (p == 0) {
      remaining = t;  // the text cut so far stays cut
      return std::nullopt;
    }
    if (i == 0) {
      // The bound holds for the second key too: found past it, the cut below
      // would also move past the bound.
      end = t.find(markers[0], p - 1 + markers[0].size());
      window = t.substr(0, end);
    }
    const std::uint32_t q = i + 1 < markers.size() ? Pos(markers[i + 1], window) : 0;
    const std::uint32_t from = p + static_cast<std::uint32_t>(markers[i].size());
    values.push_back(NormalizeFieldValue(Between(t, Wrap(from), Wrap(q))));
    if (q > 0) {
      t.remove_prefix(q - 1);
      if (end != std::string_view::npos) end -= q - 1;
    }
  }
  remaining = t;
  return values;
}

}  // namespace qm
