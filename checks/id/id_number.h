#pragma once
// The two shared tests of 18-character resident ID numbers (GB 11643-1999).
// Texts are UTF-8; lengths and positions are those of the text in GBK bytes,
// where a Chinese character takes two.
#include <string_view>

namespace qm {

// Trims characters <= 32, then: 18 GBK bytes, the first 17 ASCII digits,
// and the 18th exactly the check character of their weighted sum modulo 11
// ("X" in capitals only).
bool IsIdNumberValid(std::string_view text);

// True when the 8-digit date YYYYMMDD is no acceptable birth date: year
// before 1800 or after currentYear, month outside 1-12, day outside 1-31,
// day 31 in a short month, 30 February, or 29 February outside a leap year.
// Callers pass exactly 8 ASCII digits; any other text is reported invalid.
bool IsDateInvalid(std::string_view yyyymmdd, int currentYear);
// The same against the local clock's year.
bool IsDateInvalid(std::string_view yyyymmdd);

// The current year of the local clock.
int localYear();

}  // namespace qm
