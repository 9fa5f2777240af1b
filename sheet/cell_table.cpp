#include "sheet/cell_table.h"

#include <algorithm>
#include <limits>

#include "sheet/huge_pages.h"
#include "sheet/workbook_source.h"

namespace qm {

std::optional<CellTable> CellTable::fromParts(int rows, int columns, std::string text,
                                             std::vector<std::uint32_t> offsets) {
  if (rows < 0 || columns < 0 || (rows == 0) != (columns == 0)) return std::nullopt;
  const std::uint64_t cells = std::uint64_t(rows) * std::uint64_t(columns);
  if (cells > CellTableBuilder::kMaxCells || offsets.size() != cells + 1 || offsets.front() != 0 ||
      offsets.back() != text.size())
    return std::nullopt;
  for (std::size_t i = 1; i < offsets.size(); ++i)
    if (offsets[i] < offsets[i - 1]) return std::nullopt;
  CellTable table;
  table.rows_ = rows;
  table.columns_ = columns;
  table.text_ = std::move(text);
  table.offsets_ = std::move(offsets);
  return table;
}

CellTableBuilder::CellTableBuilder(std::uint32_t rows, std::uint32_t columns) : dense_(true), denseColumns_(columns) {
  if (std::uint64_t{rows} * columns > kMaxCells)
    throw WorkbookError("工作表的范围太大（" + std::to_string(rows) + "行×" + std::to_string(columns) + "列），无法读取。");
  const std::size_t count = std::size_t{rows} * columns + 1;
  table_.offsets_.reserve(count);
  adviseHugePages(table_.offsets_.data(), count * sizeof(std::uint32_t));
  table_.offsets_.assign(count, 0);
}

void CellTableBuilder::commitDense(std::uint32_t row, std::uint32_t column) {
  const std::size_t cell = std::size_t{row} * denseColumns_ + column;
  if (column >= denseColumns_ || cell < nextCell_ || cell + 1 >= table_.offsets_.size())
    throw WorkbookError("单元格顺序错误。");
  for (; nextCell_ < cell; ++nextCell_) table_.offsets_[nextCell_ + 1] = static_cast<std::uint32_t>(committed_);
  const std::size_t end = table_.text_.size();
  if (end != committed_) {
    usedRows_ = std::max(usedRows_, row + 1);
    usedColumns_ = std::max(usedColumns_, column + 1);
  }
  table_.offsets_[cell + 1] = static_cast<std::uint32_t>(end);
  committed_ = end;
  nextCell_ = cell + 1;
}

CellTable CellTableBuilder::finishDense() {
  std::vector<std::uint32_t>& offsets = table_.offsets_;
  for (; nextCell_ + 1 < offsets.size(); ++nextCell_) offsets[nextCell_ + 1] = static_cast<std::uint32_t>(committed_);
  // Only blank cells lie outside the used rows and columns, so the texts stay
  // as they are and only the offsets of the used part are kept.
  if (usedColumns_ == denseColumns_) {
    offsets.resize(std::size_t{usedRows_} * usedColumns_ + 1);
  } else {
    std::vector<std::uint32_t> used(std::size_t{usedRows_} * usedColumns_ + 1);
    for (std::size_t r = 0; r < usedRows_; ++r)
      for (std::size_t c = 0; c < usedColumns_; ++c) used[r * usedColumns_ + c] = offsets[r * denseColumns_ + c];
    offsets = std::move(used);
  }
  offsets.back() = static_cast<std::uint32_t>(table_.text_.size());
  CellTable table = std::move(table_);
  table.rows_ = static_cast<int>(usedRows_);
  table.columns_ = static_cast<int>(usedColumns_);
  *this = CellTableBuilder();
  return table;
}

void CellTableBuilder::commit(std::uint32_t row, std::uint32_t column) {
  std::string& text = table_.text_;
  if (text.size() > std::numeric_limits<std::uint32_t>::max()) {
    discard();
    throw WorkbookError("工作表的文字超过4 GB，无法读取。");
  }
  if (dense_) {
    commitDense(row, column);
    return;
  }
  if (text.size() == committed_) return;
  if (!entries_.empty()) {
    const Entry& last = entries_.back();
    if (row < last.row || (row == last.row && column <= last.column)) inOrder_ = false;
  }
  entries_.push_back({row, column, static_cast<std::uint32_t>(text.size())});
  committed_ = text.size();
}

// Cells met out of order (or twice: the later one counts) are put in row order
// and their texts laid out again.
void CellTableBuilder::sortEntries() {
  struct Span {
    std::uint32_t row, column, begin, end;
  };
  std::vector<Span> spans;
  spans.reserve(entries_.size());
  std::uint32_t begin = 0;
  for (const Entry& e : entries_) {
    spans.push_back({e.row, e.column, begin, e.end});
    begin = e.end;
  }
  std::stable_sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  std::string text;
  text.reserve(table_.text_.size());
  entries_.clear();
  for (std::size_t i = 0; i < spans.size(); ++i) {
    if (i + 1 < spans.size() && spans[i + 1].row == spans[i].row && spans[i + 1].column == spans[i].column) continue;
    text.append(table_.text_, spans[i].begin, spans[i].end - spans[i].begin);
    entries_.push_back({spans[i].row, spans[i].column, static_cast<std::uint32_t>(text.size())});
  }
  table_.text_ = std::move(text);
}

CellTable CellTableBuilder::finish(std::string_view sheetName) {
  discard();
  if (dense_) return finishDense();
  if (!inOrder_) sortEntries();
  std::uint64_t rows = 0, columns = 0;
  for (const Entry& e : entries_) {
    rows = std::max<std::uint64_t>(rows, e.row + 1ull);
    columns = std::max<std::uint64_t>(columns, e.column + 1ull);
  }
  if (rows * columns > kMaxCells)
    throw WorkbookError("工作表“" + std::string(sheetName) + "”的范围太大（" + std::to_string(rows) + "行×" +
                        std::to_string(columns) + "列），无法读取。");
  CellTable table = std::move(table_);
  table.rows_ = static_cast<int>(rows);
  table.columns_ = static_cast<int>(columns);
  table.offsets_.reserve(rows * columns + 1);
  adviseHugePages(table.offsets_.data(), (rows * columns + 1) * sizeof(std::uint32_t));
  table.offsets_.assign(rows * columns + 1, 0);
  // Entries are in row order and their texts lie in the same order, so each
  // cell starts where the texts before it end.
  std::size_t cell = 0;
  std::uint32_t end = 0;
  for (const Entry& e : entries_) {
    const std::size_t at = static_cast<std::size_t>(e.row) * columns + e.column;
    for (; cell <= at; ++cell) table.offsets_[cell] = end;
    end = e.end;
  }
  for (; cell <= rows * columns; ++cell) table.offsets_[cell] = end;
  *this = CellTableBuilder();
  return table;
}

}  // namespace qm
