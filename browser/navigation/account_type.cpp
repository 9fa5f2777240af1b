#include "browser/navigation/account_type.h"

#include <cstddef>
#include <string>

#include "common/text_encoding.h"

namespace qm {

std::optional<int> readAccountType(std::string_view html) {
  // Positions count bytes of the page text in GBK, the code page the page is read in.
  const std::string gbk = utf8ToGbk(html);
  constexpr std::string_view kMarker = "userType:";
  const std::size_t found = gbk.find(kMarker);
  // 1-based p + 10 is the second byte after the colon, 10 bytes past the
  // marker's start; without a marker it is the text's 10th byte. GBK trail
  // bytes are never digits, so a digit byte is always a digit character.
  const std::size_t at = found == std::string::npos ? 9 : found + 10;
  if (at >= gbk.size()) return std::nullopt;
  const char c = gbk[at];
  if (c < '0' || c > '9') return std::nullopt;
  return c - '0';
}

}  // namespace qm
