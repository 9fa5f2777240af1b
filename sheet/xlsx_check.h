#pragma once
// libxlsxwriter does not notice failed writes (a full disk, a file size
// limit): it can report success for a truncated file. So an .xlsx is read
// back before it may replace the old file: the zip directory must be whole,
// every part must inflate to its recorded size and CRC, and the worksheet
// must parse as XML and hold the rows and cells that were written (a
// character XML cannot carry would end the sheet for every reader).
#include <cstdint>
#include <optional>
#include <string>

namespace qm {

struct XlsxExpected {
  std::uint64_t rows = 0;   // <row> elements of the sheet part
  std::uint64_t cells = 0;  // <c> elements
};

// What the sheet part of the file at path holds; throws std::runtime_error
// saying what is wrong with the file. With `expected`, counts that differ are
// wrong too.
XlsxExpected verifyXlsx(const std::string& path, std::optional<XlsxExpected> expected = std::nullopt);

}  // namespace qm
