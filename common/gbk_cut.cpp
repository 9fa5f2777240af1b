#include "common/gbk_cut.h"

#include "common/text_encoding.h"

namespace qm {

GbkCut cutAfterGbk(std::string_view utf8Text, std::string_view utf8Marker, int skip, int length) {
  const std::string text = utf8ToGbk(utf8Text);
  const std::string marker = utf8ToGbk(utf8Marker);
  GbkCut cut;
  const std::size_t found = marker.empty() ? std::string::npos : text.find(marker);
  cut.markerFound = found != std::string::npos;
  // 0-based start: (p - 1) + bytes(marker) + skip with p the 1-based position, or 0.
  const long long start = (cut.markerFound ? static_cast<long long>(found) : -1) +
                          static_cast<long long>(marker.size()) + skip;
  if (start < 0 || length <= 0 || start >= static_cast<long long>(text.size())) return cut;
  cut.bytes = text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
  return cut;
}

std::optional<int> accountTypeDigit(std::string_view utf8Html, bool needMarker) {
  const GbkCut cut = cutAfterGbk(utf8Html, "userType:", 1, 1);
  if (needMarker && !cut.markerFound) return std::nullopt;
  // GBK trail bytes are never ASCII digits, so a digit byte is a digit character.
  if (cut.bytes.size() != 1 || cut.bytes[0] < '0' || cut.bytes[0] > '9') return std::nullopt;
  return cut.bytes[0] - '0';
}

}  // namespace qm
