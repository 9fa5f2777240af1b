#include "server/scrape/pager_text.h"

#include <charconv>
#include <string>

#include "common/text_encoding.h"
#include "common/utf8.h"

namespace qm {

std::optional<int> wholeNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<int> pageCountFromPagerText(std::string_view utf8) {
  const std::string gbk = utf8ToGbk(utf8);
  const long long length = static_cast<long long>(gbk.size()) - 8;
  if (length <= 0) return std::nullopt;
  const std::size_t blank = gbk.find(' ');
  const std::size_t start = blank == std::string::npos ? 0 : blank + 1;
  if (start >= gbk.size()) return std::nullopt;
  return wholeNumber(std::string_view(gbk).substr(start, static_cast<std::size_t>(length)));
}

std::optional<int> userTypeFromHomePage(std::string_view html) {
  constexpr std::string_view kMarker = "userType:";
  const std::size_t found = html.find(kMarker);
  // Characters, not bytes: the marker is ASCII, so the digit is found
  // whatever encoding the text before it had.
  std::size_t at = found == std::string_view::npos ? 0 : found + kMarker.size();
  std::size_t skip = found == std::string_view::npos ? 9 : 1;
  while (skip > 0 && at < html.size()) {
    at += utf8::leadLength(static_cast<unsigned char>(html[at]));
    --skip;
  }
  if (at >= html.size()) return std::nullopt;
  const char c = html[at];
  if (c < '0' || c > '9') return std::nullopt;
  return c - '0';
}

}  // namespace qm
