#pragma once
// The workbook's one sheet held in memory while an export runs: text cells
// addressed 1-based, a per-cell "text" number format, column widths as the
// text the export gave. Kept lean: a row is a small vector of 8-byte cell
// slots and all texts live in one chunked arena, so 65,536 rows of 19 cells
// cost about as much as their text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/big_buffer.h"

namespace qm {

class Sheet {
 public:
  // The newer format's bounds; the .xls writer checks its own, smaller ones.
  static constexpr int kMaxRows = 1048576;
  static constexpr int kMaxCols = 16384;
  // Longest cell text in UTF-16 code units, as the spreadsheet programs allow.
  static constexpr std::size_t kMaxTextUnits = 32767;

  struct Cell {
    std::uint32_t pos = 0;  // offset of the text in the arena
    std::uint32_t len = 0;  // bytes, with the flags below in the top bits
    static constexpr std::uint32_t kHasText = 1u << 31;
    static constexpr std::uint32_t kTextFormat = 1u << 30;
    static constexpr std::uint32_t kLenMask = kTextFormat - 1;
    bool used() const { return (len & (kHasText | kTextFormat)) != 0; }
    bool textFormat() const { return (len & kTextFormat) != 0; }
    std::uint32_t bytes() const { return len & kLenMask; }
  };

  Sheet();
  ~Sheet();
  Sheet(Sheet&&) noexcept;
  Sheet& operator=(Sheet&&) noexcept;

  // Sets the text of cell (row, col). Invalid UTF-8 is replaced by U+FFFD.
  // Throws std::runtime_error for a cell outside the bounds; a text longer
  // than kMaxTextUnits is cut to it. An empty text clears the value but keeps
  // the format.
  void setText(int row, int col, std::string_view utf8);
  void setTextFormat(int row, int col);
  // width is character units as text ("9.75"); throws std::runtime_error
  // unless it is a number from 0 to 255.
  void setColumnWidth(int col, std::string_view width);

  // Rows before `row` never change again: setText and setTextFormat throw
  // std::runtime_error for their cells, so a writer may encode them early.
  // Never moves back.
  void finishRows(int row);
  // First row that may still change (1 when none is finished).
  int firstOpenRow() const { return firstOpenRow_; }

  // Highest row / column given a text or a format so far, 0 when none.
  int rowCount() const { return static_cast<int>(rows_.size()); }
  int colCount() const { return maxCol_; }
  // Cells of a row, index 0 = column 1; may be shorter than colCount().
  const std::vector<Cell>& row(int row) const;
  std::string_view text(const Cell& c) const;
  // Convenience for readers of single cells; empty when unused.
  std::string_view text(int row, int col) const;
  bool hasTextFormat(int row, int col) const;
  std::size_t usedCells() const { return usedCells_; }

  // Width texts per column, index 0 = column 1; empty string = default width.
  const std::vector<std::string>& columnWidths() const { return widths_; }

 private:
  Cell& slot(int row, int col);
  void checkOpen(int row, int col) const;
  std::uint32_t store(std::string_view utf8);

  static constexpr std::size_t kChunk = 2u << 20;  // one huge page
  std::vector<std::vector<Cell>> rows_;
  std::vector<BigBuffer> chunks_;
  std::size_t chunkUsed_ = kChunk;
  std::vector<std::string> widths_;
  int maxCol_ = 0;
  int firstOpenRow_ = 1;
  std::size_t usedCells_ = 0;
};

// Bytes of the longest prefix of well-formed utf8 that holds at most
// maxUnits UTF-16 code units and ends on a character boundary.
std::size_t cutToUtf16Units(std::string_view utf8, std::size_t maxUnits);

// Width text to a number of characters; throws std::runtime_error when it is
// not a plain decimal number from 0 to 255.
double parseColumnWidth(std::string_view width);
// Stored column width in 1/256 character units, padding included, the way
// Excel keeps it for a 7-pixel digit (Arial 10 / Calibri 11): the character
// count is snapped to whole pixels and the 5-pixel cell padding is added, so
// Excel and LibreOffice show the given width. libxlsxwriter uses the same
// mapping for .xlsx, so both formats open with equal columns.
int columnWidthUnits(double chars);

}  // namespace qm
