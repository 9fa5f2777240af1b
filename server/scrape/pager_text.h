#pragma once
// Numbers the scrapes read from a list page: the page count in the pager's
// text, the page-number box, and the user type on the home page.
#include <optional>
#include <string_view>

namespace qm {

// The pager text taken in the GBK code page: the count is the text right
// after its first blank, (bytes of the whole text - 8) bytes long, as a
// decimal integer. Nothing when that part is not one (too short a text,
// other characters). A text without a blank is read from its start.
std::optional<int> pageCountFromPagerText(std::string_view utf8);

// A whole decimal number with an optional sign and nothing else (the box's
// value after trimming is given); nothing when the text is not one or does
// not fit 32 bits.
std::optional<int> wholeNumber(std::string_view text);

// The second byte after the first "userType:" of the home page's source,
// counted in GBK bytes, as a decimal digit; nothing when the marker is
// missing or that byte is missing or not a digit.
std::optional<int> userTypeFromHomePage(std::string_view rootInnerHtml);

}  // namespace qm
