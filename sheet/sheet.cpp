#include "sheet/sheet.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <stdexcept>

#include "common/utf8.h"

namespace qm {

Sheet::Sheet() = default;
Sheet::~Sheet() = default;
Sheet::Sheet(Sheet&&) noexcept = default;
Sheet& Sheet::operator=(Sheet&&) noexcept = default;

void Sheet::checkOpen(int row, int col) const {
  if (row < firstOpenRow_ && row >= 1)
    throw std::runtime_error("cell (" + std::to_string(row) + ", " + std::to_string(col) +
                             ") is in a row that is already finished");
}

void Sheet::finishRows(int row) {
  firstOpenRow_ = std::max(firstOpenRow_, std::min(row, kMaxRows + 1));
}

Sheet::Cell& Sheet::slot(int row, int col) {
  if (row < 1 || row > kMaxRows || col < 1 || col > kMaxCols)
    throw std::runtime_error("cell (" + std::to_string(row) + ", " + std::to_string(col) + ") is outside the sheet");
  checkOpen(row, col);
  if (static_cast<std::size_t>(row) > rows_.size()) rows_.resize(static_cast<std::size_t>(row));
  auto& cells = rows_[static_cast<std::size_t>(row) - 1];
  if (static_cast<std::size_t>(col) > cells.size()) {
    // Rows are usually filled left to right up to a fixed width: grow tightly.
    if (cells.capacity() < static_cast<std::size_t>(col)) cells.reserve(std::max<std::size_t>(col, cells.capacity() + 4));
    cells.resize(static_cast<std::size_t>(col));
  }
  if (col > maxCol_) maxCol_ = col;
  return cells[static_cast<std::size_t>(col) - 1];
}

std::uint32_t Sheet::store(std::string_view utf8) {
  if (utf8.size() > kChunk - chunkUsed_) {
    if (chunks_.size() >= (std::size_t{1} << 32) / kChunk) throw std::runtime_error("sheet text exceeds 4 GB");
    chunks_.emplace_back(kChunk);
    chunkUsed_ = 0;
  }
  const std::size_t pos = (chunks_.size() - 1) * kChunk + chunkUsed_;
  std::memcpy(chunks_.back().data() + chunkUsed_, utf8.data(), utf8.size());
  chunkUsed_ += utf8.size();
  return static_cast<std::uint32_t>(pos);
}

std::size_t cutToUtf16Units(std::string_view utf8, std::size_t maxUnits) {
  std::size_t i = 0, units = 0;
  while (i < utf8.size()) {
    std::size_t next = i;
    const std::uint32_t cp = utf8::next(utf8, next);
    const std::size_t add = cp > 0xFFFF ? 2 : 1;
    if (units + add > maxUnits) break;
    units += add;
    i = next;
  }
  return i;
}

void Sheet::setText(int row, int col, std::string_view utf8) {
  if (utf8.empty()) {
    checkOpen(row, col);
    if (static_cast<std::size_t>(row) > rows_.size() || row < 1) return;
    auto& cells = rows_[static_cast<std::size_t>(row) - 1];
    if (col < 1 || static_cast<std::size_t>(col) > cells.size()) return;
    Cell& c = cells[static_cast<std::size_t>(col) - 1];
    if ((c.len & Cell::kTextFormat) == 0 && c.used()) --usedCells_;
    c.len &= Cell::kTextFormat;
    return;
  }
  std::size_t units = 0;
  std::string fixed;
  if (!utf8::valid(utf8, &units)) {
    fixed = utf8::sanitized(utf8);
    utf8::valid(fixed, &units);
    utf8 = fixed;
  }
  // A longer text is cut to the limit, as the spreadsheet programs cut a
  // pasted one, rather than failing the whole file; a character outside the
  // BMP that would straddle the limit goes whole.
  if (units > kMaxTextUnits) utf8 = utf8.substr(0, cutToUtf16Units(utf8, kMaxTextUnits));
  Cell& c = slot(row, col);
  if (!c.used()) ++usedCells_;
  c.pos = store(utf8);
  c.len = static_cast<std::uint32_t>(utf8.size()) | Cell::kHasText | (c.len & Cell::kTextFormat);
}

void Sheet::setTextFormat(int row, int col) {
  Cell& c = slot(row, col);
  if (!c.used()) ++usedCells_;
  c.len |= Cell::kTextFormat;
}

void Sheet::setColumnWidth(int col, std::string_view width) {
  if (col < 1 || col > kMaxCols) throw std::runtime_error("column " + std::to_string(col) + " is outside the sheet");
  parseColumnWidth(width);
  if (static_cast<std::size_t>(col) > widths_.size()) widths_.resize(static_cast<std::size_t>(col));
  widths_[static_cast<std::size_t>(col) - 1] = std::string(width);
}

const std::vector<Sheet::Cell>& Sheet::row(int row) const {
  return rows_.at(static_cast<std::size_t>(row) - 1);
}

std::string_view Sheet::text(const Cell& c) const {
  if ((c.len & Cell::kHasText) == 0) return {};
  return {chunks_[c.pos / kChunk].data() + c.pos % kChunk, c.bytes()};
}

std::string_view Sheet::text(int row, int col) const {
  if (row < 1 || row > rowCount() || col < 1) return {};
  const auto& cells = rows_[static_cast<std::size_t>(row) - 1];
  if (static_cast<std::size_t>(col) > cells.size()) return {};
  return text(cells[static_cast<std::size_t>(col) - 1]);
}

bool Sheet::hasTextFormat(int row, int col) const {
  if (row < 1 || row > rowCount() || col < 1) return false;
  const auto& cells = rows_[static_cast<std::size_t>(row) - 1];
  return static_cast<std::size_t>(col) <= cells.size() && cells[static_cast<std::size_t>(col) - 1].textFormat();
}

double parseColumnWidth(std::string_view width) {
  std::string_view t = width;
  while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ') t.remove_prefix(1);
  while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ') t.remove_suffix(1);
  double value = -1;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value, std::chars_format::fixed);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !(value >= 0 && value <= 255))
    throw std::runtime_error("column width \"" + std::string(width) + "\" is not a number from 0 to 255");
  return value;
}

int columnWidthUnits(double chars) {
  constexpr int kDigit = 7, kPadding = 5;
  if (chars <= 0) return 0;
  // Below one character the padding shrinks with the column.
  const int pixels = chars < 1 ? static_cast<int>(chars * (kDigit + kPadding) + 0.5)
                               : static_cast<int>(chars * kDigit + 0.5) + kPadding;
  return static_cast<int>(pixels / static_cast<double>(kDigit) * 256.0);
}

}  // namespace qm
