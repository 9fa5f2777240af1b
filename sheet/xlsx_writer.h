#pragma once
// .xlsx output through libxlsxwriter in its constant-memory mode: rows go out
// in order straight from the in-memory sheet. Plain C++, no Qt.
#include <string>

#include "sheet/sheet.h"

namespace qm {

// Writes sheet as the first sheet of an .xlsx file at path: same column
// widths, number format "@" on the cells marked text. The file is built under
// a temporary name in the target folder (libxlsxwriter's own scratch files
// too) and renamed over path only when complete. Throws std::runtime_error;
// path is then left as it was.
void writeXlsx(const Sheet& sheet, const std::string& path);

}  // namespace qm
