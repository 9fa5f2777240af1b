#pragma once
// One worksheet part of an .xlsx package streamed into a CellTable.
#include <string_view>

#include "workbook/cell_table.h"
#include "workbook/xlsx_workbook.h"

namespace qm::xlsx {

// Throws WorkbookError.
CellTable readWorksheet(const Package& package, Workbook& workbook, const SheetEntry& sheet);

}  // namespace qm::xlsx
