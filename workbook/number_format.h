#pragma once
// Which .xlsx number formats show a number as a date or a time. The file
// keeps only the format, so a date cell is a number whose format is a date one.
#include <string_view>

#include "workbook/cell_text.h"

namespace qm::cells {

// The built-in formats (ids below 164), including the Chinese date ones.
ValueKind builtInFormatKind(int numFmtId);
// A custom format code: the first section's date and time letters, outside
// quotes, escapes, colours and conditions.
ValueKind formatCodeKind(std::string_view code);

}  // namespace qm::cells
