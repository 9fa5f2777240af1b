#pragma once
// A loaded sheet held compactly: a row-major array of text numbers, one per
// cell. A number points either into the sheet's own pool of texts (numbers,
// dates, inline texts) or into the workbook's shared strings, so a shared
// string used by a million cells is still held once. An empty cell costs
// four bytes; no cell owns an allocation.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/string_pool.h"

namespace qm {

class CellTable {
 public:
  int rows() const { return rows_; }
  int columns() const { return columns_; }
  // Empty outside the table.
  std::string_view cell(int row, int column) const {
    if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return {};
    const std::uint32_t id = cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                                    static_cast<std::size_t>(column)];
    return (id & kShared) != 0 ? shared_->at(id & ~kShared) : own_.at(id);
  }
  // Bytes this table holds besides the shared strings.
  std::size_t bytesHeld() const { return own_.bytesHeld() + cells_.capacity() * sizeof(std::uint32_t); }

 private:
  friend class CellTableBuilder;
  static constexpr std::uint32_t kShared = 0x80000000u;
  std::shared_ptr<const StringPool> shared_;
  StringPool own_;  // text 0 is the empty text
  std::vector<std::uint32_t> cells_;
  int rows_ = 0;
  int columns_ = 0;
};

// Collects cells as a reader meets them, in any order; a cell met twice keeps
// its later value. A reader appends a cell's own text to text() and calls
// commit(), or names a shared string with commitShared(). An empty text
// leaves no trace: the table spans the last row and column holding text, so
// trailing blank (only formatted) rows and columns are not part of it.
class CellTableBuilder {
 public:
  // Cells of a larger extent are refused (a file claiming a cell at XFD1048576).
  static constexpr std::size_t kMaxCells = std::size_t{1} << 26;

  // `budget`: the bytes this sheet may hold; past it the read fails with
  // workbookTooLargeText().
  explicit CellTableBuilder(std::shared_ptr<const StringPool> shared = nullptr,
                            std::size_t budget = std::numeric_limits<std::size_t>::max());

  // Room for about this many cells and text bytes, as a reader can guess
  // them from the size of what it reads (never from counts the file claims).
  void reserve(std::size_t cells, std::size_t textBytes);

  std::string& text() { return table_.own_.text; }
  // Ends the cell whose text was appended since the last commit/discard; a
  // text past 32,767 UTF-16 units is cut there, on a character boundary.
  void commit(std::uint32_t row, std::uint32_t column);
  // The cell reads as shared string `index` (nothing when there is no such string).
  void commitShared(std::uint32_t row, std::uint32_t column, std::uint32_t index);
  // Drops the text appended since the last commit/discard.
  void discard() { table_.own_.text.resize(table_.own_.offsets.back()); }
  // Throws WorkbookError when the extent passes kMaxCells or the budget.
  CellTable finish(std::string_view sheetName);

 private:
  struct Entry {
    std::uint32_t row, column, id;
  };
  void add(std::uint32_t row, std::uint32_t column, std::uint32_t id);
  void checkBudget(std::size_t more) const;

  CellTable table_;
  std::vector<Entry> entries_;
  std::size_t budget_;
  bool inOrder_ = true;
};

}  // namespace qm
