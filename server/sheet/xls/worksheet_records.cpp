#include "server/sheet/xls/worksheet_records.h"

#include <stdexcept>
#include <string>

#include "server/sheet/xls/biff_record.h"
#include "server/sheet/xls/workbook_globals.h"

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

inline void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

void checkXlsBounds(const Sheet& sheet) {
  if (sheet.rowCount() > kMaxRows)
    throw std::runtime_error("row " + std::to_string(sheet.rowCount()) + " is past the 65536 rows of an .xls sheet");
  if (sheet.colCount() > kMaxCols || sheet.columnWidths().size() > static_cast<std::size_t>(kMaxCols))
    throw std::runtime_error("an .xls sheet has at most 256 columns");
}

void writeWorksheet(ByteSink& out, const Sheet& sheet, const SharedStrings& strings) {
  writeBof(out, 0x0010);
  writeRecord(out, rec::kDefColWidth, Payload().u16(8));
  writeColumnWidths(out, sheet);
  Payload dim;
  dim.u32(0).u32(static_cast<std::uint32_t>(sheet.rowCount()));
  dim.u16(0).u16(static_cast<std::uint16_t>(sheet.colCount())).u16(0);
  writeRecord(out, rec::kDimensions, dim);

  std::size_t textCell = 0;
  std::uint8_t b[14];
  for (int r = 1; r <= sheet.rowCount(); ++r) {
    const auto& cells = sheet.row(r);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const Sheet::Cell& cell = cells[c];
      if (!cell.used()) continue;
      const std::uint16_t xf = cell.textFormat() ? kTextXf : kDefaultXf;
      const bool hasText = !sheet.text(cell).empty();
      put16(b, hasText ? rec::kLabelSst : rec::kBlank);
      put16(b + 2, hasText ? 10 : 6);
      put16(b + 4, static_cast<std::uint16_t>(r - 1));
      put16(b + 6, static_cast<std::uint16_t>(c));
      put16(b + 8, xf);
      if (hasText) {
        const std::uint32_t index = strings.indexOfTextCell(textCell++);
        put16(b + 10, static_cast<std::uint16_t>(index));
        put16(b + 12, static_cast<std::uint16_t>(index >> 16));
      }
      out.put(b, hasText ? 14 : 10);
    }
  }

  Payload window;
  window.u16(0x06B6);       // grid, headers, zeros, outline symbols; selected, active
  window.u16(0).u16(0);     // top row, left column
  window.u16(0x40).u16(0);  // automatic grid colour
  window.u16(0).u16(0).u32(0);
  writeRecord(out, rec::kWindow2, window);
  writeRecord(out, rec::kEof, std::string_view());
}

}  // namespace qm::xls
