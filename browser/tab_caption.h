#pragma once
// Tab captions keep the width the tab strip was laid out for: the page title
// measured in GBK bytes, padded or cut to a fixed size, then "...".
#include <string>
#include <string_view>

namespace qm {

inline constexpr std::size_t kCaptionTitleBytes = 24;   // longest title shown whole
inline constexpr std::size_t kCaptionPaddedBytes = 26;  // short titles are padded to this

// title and result are UTF-8. A title of at most 24 GBK bytes gets blanks up to
// 26 bytes and "..."; a longer one keeps its first 24 bytes and "...". A
// two-byte character that the cut would split is dropped whole, so the caption
// then holds 23 bytes before "...".
std::string tabCaption(std::string_view title);

}  // namespace qm
