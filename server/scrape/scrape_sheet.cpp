#include "server/scrape/scrape_sheet.h"

#include <stdexcept>

#include "common/trim.h"
#include "sheet/spreadsheet_export.h"

namespace qm {

ScrapeSheet::ScrapeSheet(SpreadsheetExport& out, const ScrapeLayout& layout, double version)
    : out_(out), layout_(layout), oldFormat_(version < 12), table_(layout.headerTable) {}

bool ScrapeSheet::isEndMarker(const std::string& text) {
  const std::string_view t = trimLowView(text);
  return t.empty() || t == "第";
}

const std::string& ScrapeSheet::cell(const TableCells& cells, int index) const {
  const std::size_t at = static_cast<std::size_t>(index - layout_.firstReadCell());
  if (index < layout_.firstReadCell() || at >= cells.size() || !cells[at])
    throw std::runtime_error("table " + std::to_string(table_) + " has no cell " + std::to_string(index));
  return *cells[at];
}

ScrapeSheet::Visit ScrapeSheet::visit(const std::optional<TableCells>& cells) {
  const int columns = layout_.columns();
  for (int c = 1; c <= columns; ++c) out_.setColumnWidth(row_, c, layout_.widths[static_cast<std::size_t>(c - 1)]);
  for (int c = 1; c <= columns; ++c) out_.setTextFormat(row_, c);
  if (!cells) throw std::runtime_error("the page has no table " + std::to_string(table_));

  const std::string& first = cell(*cells, layout_.firstCell);
  if (isEndMarker(first)) {
    table_ = layout_.lastTable + 1;  // this page has no more rows
    return Visit::EndOfPage;
  }
  out_.writeCell(row_, 1, trimLow(first));
  for (int c = layout_.firstCell + 1; c <= layout_.lastCell; ++c)
    out_.writeCell(row_, c - layout_.firstCell + 1, cell(*cells, c));

  if (table_ == layout_.headerTable && page_ == 1) {
    int col = layout_.copiedColumns();
    for (const std::string& title : layout_.extraTitles) out_.writeCell(row_, ++col, title);
    return Visit::Header;
  }
  written_ = row_ - 1;
  return Visit::Student;
}

void ScrapeSheet::writeExtra(const std::vector<std::string>& values) {
  int col = layout_.copiedColumns();
  for (const std::string& value : values) out_.writeCell(row_, ++col, value);
}

void ScrapeSheet::finishTable() {
  if (oldFormat_ && row_ >= kOldFormatLastRow) {
    full_ = true;
    table_ = layout_.lastTable + 1;
  }
  ++table_;
  ++row_;
}

void ScrapeSheet::writePage(const PageTables& tables) {
  std::size_t next = 0;
  while (!pageDone()) {
    if (next >= tables.size()) throw std::runtime_error("the page has no table " + std::to_string(table_));
    visit(tables[next++]);
    finishTable();
  }
}

void ScrapeSheet::nextPage() {
  ++page_;
  table_ = layout_.firstDataTable();
}

}  // namespace qm
