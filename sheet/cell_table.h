#pragma once
// A loaded sheet held compactly: the texts of all cells one after another in
// one string, and a row-major array of offsets into it. An empty cell costs
// one offset; no cell owns an allocation.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class CellTable {
 public:
  int rows() const { return rows_; }
  int columns() const { return columns_; }
  // Empty outside the table.
  std::string_view cell(int row, int column) const {
    if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return {};
    const std::size_t i = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column);
    return std::string_view(text_).substr(offsets_[i], offsets_[i + 1] - offsets_[i]);
  }

  // The parts as they are held, and a table made of such parts again (after
  // they crossed a pipe): nullopt unless they fit together.
  const std::string& text() const { return text_; }
  const std::vector<std::uint32_t>& offsets() const { return offsets_; }
  static std::optional<CellTable> fromParts(int rows, int columns, std::string text, std::vector<std::uint32_t> offsets);

 private:
  friend class CellTableBuilder;
  std::string text_;
  std::vector<std::uint32_t> offsets_;  // rows * columns + 1
  int rows_ = 0;
  int columns_ = 0;
};

// Collects cells as a reader meets them. A reader appends a cell's text to
// text() and then calls commit() with the cell's position; an empty text
// leaves no trace. The table spans the last row and column holding text, so
// trailing blank (only formatted) rows and columns are not part of it.
class CellTableBuilder {
 public:
  // Cells of a larger extent are refused (a file claiming a cell at XFD1048576).
  static constexpr std::size_t kMaxCells = std::size_t{1} << 26;

  // Cells in any order.
  CellTableBuilder() = default;
  // Every cell of a rows x columns grid in row order: offsets are laid out as
  // cells come, with no list of cells on the side. Throws WorkbookError past kMaxCells.
  CellTableBuilder(std::uint32_t rows, std::uint32_t columns);

  std::string& text() { return table_.text_; }
  // Ends the cell whose text was appended since the last commit/discard.
  // Throws WorkbookError when the texts pass 4 GB.
  void commit(std::uint32_t row, std::uint32_t column);
  // Drops the text appended since the last commit/discard.
  void discard() { table_.text_.resize(committed_); }
  // Throws WorkbookError when the extent passes kMaxCells.
  CellTable finish(std::string_view sheetName);

 private:
  struct Entry {
    std::uint32_t row, column, end;
  };
  void sortEntries();
  void commitDense(std::uint32_t row, std::uint32_t column);
  CellTable finishDense();

  CellTable table_;
  std::vector<Entry> entries_;
  std::size_t committed_ = 0;
  bool inOrder_ = true;
  // Grid mode.
  bool dense_ = false;
  std::uint32_t denseColumns_ = 0;
  std::size_t nextCell_ = 0;
  std::uint32_t usedRows_ = 0, usedColumns_ = 0;
};

}  // namespace qm
