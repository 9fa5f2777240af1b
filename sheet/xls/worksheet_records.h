#pragma once
// The worksheet substream: BOF, column widths (COLINFO), DIMENSIONS, one
// LABELSST per text cell (BLANK for a text-formatted empty cell), WINDOW2,
// EOF. The cell records are prepared row by row as rows become final; the
// head, which depends on the sheet's final extent, is made at save time.
#include "sheet/sheet.h"
#include "sheet/xls/byte_sink.h"
#include "sheet/xls/chunked_bytes.h"
#include "sheet/xls/shared_strings.h"

namespace qm::xls {

constexpr int kMaxRows = 65536;
constexpr int kMaxCols = 256;

// Throws std::runtime_error when the sheet has cells or widths past
// kMaxRows rows or kMaxCols columns.
void checkXlsBounds(const Sheet& sheet);
// BOF, DEFCOLWIDTH, COLINFO, DIMENSIONS.
void writeWorksheetHead(ByteSink& out, const Sheet& sheet);
// The cell records of one row (at most kMaxRows, at most kMaxCols cells),
// interning its texts.
void appendRowCells(ChunkedBytes& out, const Sheet& sheet, int row, SharedStrings& strings);
// WINDOW2, EOF.
void writeWorksheetTail(ByteSink& out);

}  // namespace qm::xls
