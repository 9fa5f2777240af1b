#pragma once
// Cell texts as an .xlsx holds them. XML 1.0 cannot carry most control
// characters nor U+FFFE and U+FFFF; Excel writes each such character as
// "_xHHHH_" (its UTF-16 code in hex) and reads that form back as the
// character, so a text that literally holds "_xHHHH_" gets its underscore
// written as "_x005F_". Plain C++.
#include <string>
#include <string_view>

namespace qm {

// The stored form of a well-formed UTF-8 cell text.
std::string xlsxStoredText(std::string_view utf8);
// The text a reader following Excel's rule makes of a stored form.
std::string xlsxReadText(std::string_view stored);

}  // namespace qm
