#pragma once
// Server answers are raw bytes. Cell texts must be valid UTF-8, so bytes that
// are not UTF-8 become U+FFFD instead of reaching the spreadsheet writers.
#include <string>
#include <string_view>

namespace qm {

// Appends the UTF-8 text as UTF-16 code units; each invalid byte gives U+FFFD.
void appendUtf8AsUtf16(std::u16string& out, std::string_view utf8);
// The text itself when it is valid UTF-8, else a copy with U+FFFD per invalid byte.
std::string validUtf8(std::string_view bytes);

}  // namespace qm
