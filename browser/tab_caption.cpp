#include "browser/tab_caption.h"

#include "common/text_encoding.h"
#include "common/utf8.h"

namespace qm {
std::string tabCaption(std::string_view title) {
  const std::size_t total = gbkByteLength(title);
  if (total <= kCaptionTitleBytes) return std::string(title) + std::string(kCaptionPaddedBytes - total, ' ') + "...";

  // Walk whole characters so the caption keeps the title's own characters
  // (also those GBK lacks) instead of a round trip through GBK.
  std::string out;
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < title.size();) {
    std::size_t n = std::min(utf8::leadLength(static_cast<unsigned char>(title[i])), title.size() - i);
    std::string_view ch = title.substr(i, n);
    std::size_t w = static_cast<unsigned char>(ch[0]) < 0x80 ? 1 : gbkByteLength(ch);
    if (bytes + w > kCaptionTitleBytes) break;
    out.append(ch);
    bytes += w;
    i += n;
  }
  return out + "...";
}

}  // namespace qm
