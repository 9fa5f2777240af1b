#pragma once
// The account type that the registration server writes into its home page
// after "userType:"; it picks which status-change audit list opens.
#include <optional>
#include <string_view>

namespace qm {

// rootInnerHtml: innerHTML of the home page's root element, UTF-8.
// Positions count the bytes of the text in GBK: let p be the 1-based byte
// position of the first "userType:" (0 when absent); the account type is the
// byte at p + 10 as a decimal digit. No value when that byte is missing or
// not a digit (a Chinese character there gives none).
std::optional<int> readAccountType(std::string_view rootInnerHtml);

}  // namespace qm
