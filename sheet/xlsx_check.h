#pragma once
// libxlsxwriter does not notice failed writes (a full disk, a file size
// limit): it can report success for a truncated file. So an .xlsx is read
// back before it may replace the old file: the zip directory must be whole,
// every part must inflate to its recorded size and CRC, and the worksheet
// must end with its closing tag.
#include <string>

namespace qm {

// Throws std::runtime_error saying what is wrong with the file at path.
void verifyXlsx(const std::string& path);

}  // namespace qm
