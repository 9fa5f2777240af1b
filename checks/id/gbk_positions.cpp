#include "checks/id/gbk_positions.h"

#include <algorithm>

#include "common/text_encoding.h"
#include "common/trim.h"

namespace qm {
namespace {

bool isAscii(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool isLeadByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}

}  // namespace

std::string gbkCopy(std::string_view utf8, std::size_t start, std::size_t count) {
  if (start < 1) start = 1;
  if (isAscii(utf8)) {
    if (start > utf8.size()) return {};
    return std::string(utf8.substr(start - 1, count));
  }
  const std::string gbk = utf8ToGbk(utf8);
  if (start > gbk.size()) return {};
  const std::size_t from = start - 1;
  const std::size_t to = from + std::min(count, gbk.size() - from);
  if (to == from) return {};
  std::string part = gbk.substr(from, to - from);
  // Walk the characters up to the cut to see which bytes are halves.
  std::size_t i = 0;
  while (i < from) i += isLeadByte(gbk[i]) && i + 1 < gbk.size() ? 2 : 1;
  if (i > from) part.front() = '?';  // the trailing half of a character before the cut
  while (i < to) {
    const std::size_t width = isLeadByte(gbk[i]) && i + 1 < gbk.size() ? 2 : 1;
    if (i + width > to) part.back() = '?';  // the leading half of a character after the cut
    i += width;
  }
  return gbkToUtf8(part);
}

std::string idBirthDatePart(std::string_view id) { return trimLow(gbkCopy(id, 7, 8)); }

std::string idGenderPart(std::string_view id) { return trimLow(gbkCopy(id, 17, 1)); }

}  // namespace qm
