#pragma once
// CutAfter on a text counted in the bytes of the GBK code page, as the
// registration system's pages are read (account type after "userType:"),
// telling whether the marker was there at all.
#include <optional>
#include <string>
#include <string_view>

namespace qm {

struct GbkCut {
  bool markerFound = false;
  // GBK bytes: `length` of them from 1-based byte position pos(marker) +
  // bytes(marker) + skip, where a missing marker counts as position 0 (so
  // the cut then starts at 1-based byte bytes(marker) + skip). Shorter at
  // the text's end, empty past it.
  std::string bytes;
};

// text and marker are UTF-8; both are taken as GBK before counting (a
// character GBK lacks counts as one byte, "?").
GbkCut cutAfterGbk(std::string_view utf8Text, std::string_view utf8Marker, int skip, int length);

// The account type: the byte at p + 10 of the text after "userType:" (the
// second byte after the colon), as a decimal digit. Nothing when it is no
// digit or missing. Without the marker the 10th byte is read, unless
// `needMarker` (then nothing).
std::optional<int> accountTypeDigit(std::string_view utf8Html, bool needMarker);

}  // namespace qm
