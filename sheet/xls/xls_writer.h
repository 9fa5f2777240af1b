#pragma once
// Excel 97-2003 workbooks (BIFF8 in an OLE2 compound file), written by us:
// no maintained C or C++ library writes BIFF8, so the record groups live in
// this folder, one file each. Plain C++, no Qt.
#include <string>

#include "sheet/sheet.h"

namespace qm {

// Writes sheet as the first and only sheet of an .xls file at path, through a
// temporary file in the same folder that replaces path only when complete.
// Throws std::runtime_error (more than 65,536 rows or 256 columns, a write
// failure); path is then left as it was.
void writeXls(const Sheet& sheet, const std::string& path);

}  // namespace qm
