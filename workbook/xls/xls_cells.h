#pragma once
// One worksheet substream: its cell records (LABELSST, LABEL, RSTRING,
// NUMBER, RK, MULRK, BOOLERR, BLANK, MULBLANK) and FORMULA with its cached
// result, read into a CellTable. The table is sized from the cells found,
// never from DIMENSIONS.
#include <cstddef>

#include "workbook/cell_table.h"
#include "workbook/xls/biff_stream.h"
#include "workbook/xls/xls_globals.h"
#include "workbook/xls/xls_strings.h"

namespace qm::xls {

// Throws WorkbookError on damage or past `budget` bytes.
CellTable readCells(BiffStream& stream, const Globals& globals, TextDecoder& text, const SheetInfo& sheet,
                    std::size_t budget);

}  // namespace qm::xls
