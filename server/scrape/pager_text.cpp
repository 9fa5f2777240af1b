#include "server/scrape/pager_text.h"

#include <charconv>
#include <string>

#include "common/text_encoding.h"
#include "common/gbk_cut.h"

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
  // GBK bytes, as the audit button counts them; a home page without the
  // marker is not the registration system's.
  return accountTypeDigit(html, true);
}

}  // namespace qm
