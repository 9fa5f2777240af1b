#include "sheet/xls/worksheet_records.h"

#include <stdexcept>
#include <string>

#include "sheet/xls/biff_record.h"
#include "sheet/xls/workbook_globals.h"

namespace qm::xls {
namespace {

void writeColumnWidths(ByteSink& out, const Sheet& sheet) {
  const auto& widths = sheet.columnWidths();
  for (std::size_t c = 0; c < widths.size(); ++c) {
    if (widths[c].empty()) continue;
    Payload p;
    p.u16(static_cast<std::uint16_t>(c)).u16(static_cast<std::uint16_t>(c));
    p.u16(static_cast<std::uint16_t>(columnWidthUnits(parseColumnWidth(widths[c]))));
    p.u16(kDefaultXf).u16(0).u16(0);
    writeRecord(out, rec::kColInfo, p);
  }
}

inline void put16(char* p, std::uint32_t v) {
  p[0] = static_cast<char>(v);
  p[1] = static_cast<char>(v >> 8);
}

}  // namespace

void checkXlsBounds(const Sheet& sheet) {
  if (sheet.rowCount() > kMaxRows)
    throw std::runtime_error("row " + std::to_string(sheet.rowCount()) + " is past the 65536 rows of an .xls sheet");
  if (sheet.colCount() > kMaxCols || sheet.columnWidths().size() > static_cast<std::size_t>(kMaxCols))
    throw std::runtime_error("an .xls sheet has at most 256 columns");
}

void writeWorksheetHead(ByteSink& out, const Sheet& sheet) {
  writeBof(out, 0x0010);
  writeRecord(out, rec::kDefColWidth, Payload().u16(8));
  writeColumnWidths(out, sheet);
  Payload dim;
  dim.u32(0).u32(static_cast<std::uint32_t>(sheet.rowCount()));
  dim.u16(0).u16(static_cast<std::uint16_t>(sheet.colCount())).u16(0);
  writeRecord(out, rec::kDimensions, dim);
}

void appendRowCells(ChunkedBytes& out, const Sheet& sheet, int row, SharedStrings& strings) {
  const auto& cells = sheet.row(row);
  const std::size_t n = std::min(cells.size(), static_cast<std::size_t>(kMaxCols));
  // Hash the row's texts first: their table slots load while the others hash.
  std::uint32_t hashes[kMaxCols];
  for (std::size_t c = 0; c < n; ++c) {
    const std::string_view text = sheet.text(cells[c]);
    if (text.empty()) continue;
    hashes[c] = SharedStrings::hash(text);
    strings.prefetch(hashes[c]);
  }
  char* p = out.claim(n * 14);
  for (std::size_t c = 0; c < n; ++c) {
    const Sheet::Cell& cell = cells[c];
    if (!cell.used()) continue;
    const std::uint32_t xf = cell.textFormat() ? kTextXf : kDefaultXf;
    const std::string_view text = sheet.text(cell);
    put16(p + 4, static_cast<std::uint32_t>(row - 1));
    put16(p + 6, static_cast<std::uint32_t>(c));
    put16(p + 8, xf);
    if (text.empty()) {
      put16(p, rec::kBlank);
      put16(p + 2, 6);
      p += 10;
    } else {
      const std::uint32_t index = strings.intern(cell, text, hashes[c]);
      put16(p, rec::kLabelSst);
      put16(p + 2, 10);
      put16(p + 10, index);
      put16(p + 12, index >> 16);
      p += 14;
    }
  }
  out.filled(p);
}

void writeWorksheetTail(ByteSink& out) {
  Payload window;
  window.u16(0x06B6);       // grid, headers, zeros, outline symbols; selected, active
  window.u16(0).u16(0);     // top row, left column
  window.u16(0x40).u16(0);  // automatic grid colour
  window.u16(0).u16(0).u32(0);
  writeRecord(out, rec::kWindow2, window);
  writeRecord(out, rec::kEof, std::string_view());
}

}  // namespace qm::xls
