#pragma once
// The worksheet substream: BOF, column widths (COLINFO), DIMENSIONS, one
// LABELSST per text cell (BLANK for a text-formatted empty cell), WINDOW2, EOF.
#include "server/sheet/sheet.h"
#include "server/sheet/xls/byte_sink.h"
#include "server/sheet/xls/shared_strings.h"

namespace qm::xls {

constexpr int kMaxRows = 65536;
constexpr int kMaxCols = 256;

// Throws std::runtime_error when the sheet has cells or widths past
// kMaxRows rows or kMaxCols columns.
void checkXlsBounds(const Sheet& sheet);
void writeWorksheet(ByteSink& out, const Sheet& sheet, const SharedStrings& strings);

}  // namespace qm::xls
