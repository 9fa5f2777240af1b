#pragma once
// The account type that the registration server writes into its home page
// after "userType:"; it picks which status-change audit list opens.
#include <optional>
#include <string_view>

namespace qm {

// rootInnerHtml: innerHTML of the home page's root element, UTF-8.
// Let p be the 1-based character position of the first "userType:" (0 when
// absent); the account type is the character at p + 10 as a decimal digit.
// No value when that character is missing or not a digit.
// Positions count characters, not bytes: the marker is ASCII, so the digit
// the server writes is found whatever encoding the text before it had.
std::optional<int> readAccountType(std::string_view rootInnerHtml);

}  // namespace qm
