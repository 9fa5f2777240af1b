#pragma once
// One worksheet part of an .xlsx package streamed into a CellTable.
#include <string_view>

#include "sheet/cell_table.h"
#include "sheet/xlsx_workbook.h"

namespace qm::xlsx {

// Throws WorkbookError.
CellTable readWorksheet(const Package& package, Workbook& workbook, const SheetEntry& sheet);

}  // namespace qm::xlsx
