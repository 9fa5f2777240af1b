#include "workbook/cell_table.h"

#include <algorithm>

#include "common/huge_pages.h"
#include "workbook/cell_text.h"
#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"

namespace qm {

CellTableBuilder::CellTableBuilder(std::shared_ptr<const StringPool> shared, std::size_t budget) : budget_(budget) {
  table_.shared_ = std::move(shared);
  table_.own_.end();  // text 0: the empty text
}

void CellTableBuilder::reserve(std::size_t cells, std::size_t textBytes) {
  cells = std::min(cells, budget_ / (2 * sizeof(Entry)));
  textBytes = std::min(textBytes, budget_ / 2);
  entries_.reserve(cells);
  adviseHugePages(entries_.data(), cells * sizeof(Entry));
  table_.own_.offsets.reserve(cells + 1);
  adviseHugePages(table_.own_.offsets.data(), (cells + 1) * sizeof(std::uint32_t));
  table_.own_.text.reserve(textBytes);
  adviseHugePages(table_.own_.text.data(), textBytes);
}

void CellTableBuilder::checkBudget(std::size_t more) const {
  const std::size_t held = table_.own_.text.size() + table_.own_.offsets.size() * sizeof(std::uint32_t) +
                           entries_.size() * sizeof(Entry) + more;
  if (held > budget_) throw WorkbookError(workbookTooLargeText());
}

void CellTableBuilder::add(std::uint32_t row, std::uint32_t column, std::uint32_t id) {
  if (!entries_.empty()) {
    const Entry& last = entries_.back();
    if (row < last.row || (row == last.row && column <= last.column)) inOrder_ = false;
  }
  if ((entries_.size() & 0xFFFF) == 0) checkBudget(0);
  entries_.push_back({row, column, id});
}

void CellTableBuilder::commit(std::uint32_t row, std::uint32_t column) {
  StringPool& own = table_.own_;
  const std::size_t begin = own.offsets.back();
  if (own.text.size() == begin) return;
  cells::capCellText(own.text, begin);
  if (own.text.size() - begin > 1024) checkBudget(0);
  if (own.text.size() > 0xFFFFFFFFu || own.size() >= CellTable::kShared) {
    discard();
    throw WorkbookError(workbookTooLargeText());
  }
  own.end();
  add(row, column, static_cast<std::uint32_t>(own.size() - 1));
}

void CellTableBuilder::commitShared(std::uint32_t row, std::uint32_t column, std::uint32_t index) {
  discard();
  if (!table_.shared_ || index >= table_.shared_->size() || index >= CellTable::kShared ||
      table_.shared_->at(index).empty())
    return;
  add(row, column, index | CellTable::kShared);
}

CellTable CellTableBuilder::finish(std::string_view sheetName) {
  discard();
  if (!inOrder_) {
    // Later cells win over earlier ones at the same place.
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
      return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
  }
  std::uint64_t rows = 0, columns = 0;
  for (const Entry& e : entries_) {
    rows = std::max<std::uint64_t>(rows, e.row + 1ull);
    columns = std::max<std::uint64_t>(columns, e.column + 1ull);
  }
  if (rows * columns > kMaxCells)
    throw WorkbookError("工作表“" + std::string(sheetName) + "”的范围太大（" + std::to_string(rows) + "行×" +
                        std::to_string(columns) + "列），无法读取。");
  checkBudget(rows * columns * sizeof(std::uint32_t));
  CellTable table = std::move(table_);
  table.rows_ = static_cast<int>(rows);
  table.columns_ = static_cast<int>(columns);
  const std::size_t count = rows * columns;
  table.cells_.reserve(count);
  adviseHugePages(table.cells_.data(), count * sizeof(std::uint32_t));
  table.cells_.assign(count, 0);
  for (const Entry& e : entries_) table.cells_[std::size_t{e.row} * columns + e.column] = e.id;
  table.own_.text.shrink_to_fit();
  table.own_.offsets.shrink_to_fit();
  entries_ = {};
  *this = CellTableBuilder();
  return table;
}

}  // namespace qm
