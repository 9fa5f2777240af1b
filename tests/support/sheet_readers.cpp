#include "tests/support/sheet_readers.h"

#include <algorithm>
#include <cstdio>
#include <freexl.h>
#include <sstream>
#include <stdexcept>

namespace qm::test {
namespace {

std::string unhex(const std::string& hex) {
  if (hex == "-") return {};
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

std::string run(const std::string& command) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) throw std::runtime_error("cannot run " + command);
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  if (::pclose(p) != 0) throw std::runtime_error("failed: " + command + "\n" + out);
  return out;
}

ReadBack parseLines(const std::string& text) {
  ReadBack r;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    std::string kind;
    f >> kind;
    if (kind == "size") {
      f >> r.rows >> r.cols;
    } else if (kind == "cell") {
      int row, col;
      std::string hex, fmt;
      f >> row >> col >> hex >> fmt;
      if (hex != "-") r.text[{row, col}] = unhex(hex);
      r.format[{row, col}] = fmt;
    } else if (kind == "width") {
      int col;
      std::string w;
      f >> col >> w;
      r.widths[col] = w;
    } else if (kind == "continues") {
      f >> r.continues;
    }
  }
  return r;
}

std::string python() { return QM_SHEET_PYTHON; }

}  // namespace

ReadBack readWithFreexl(const std::string& path, bool allCells) {
  const void* handle = nullptr;
  if (freexl_open(path.c_str(), &handle) != FREEXL_OK) throw std::runtime_error("FreeXL cannot open " + path);
  ReadBack r;
  unsigned int rows = 0;
  unsigned short cols = 0;
  if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
      freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK) {
    freexl_close(handle);
    throw std::runtime_error("FreeXL cannot read the first sheet of " + path);
  }
  r.rows = static_cast<int>(rows);
  r.cols = cols;
  const unsigned int lastRow = allCells ? rows : std::min(rows, 3u);
  for (unsigned int row = 0; row < lastRow; ++row) {
    for (unsigned short col = 0; col < cols; ++col) {
      FreeXL_CellValue v;
      if (freexl_get_cell_value(handle, row, col, &v) != FREEXL_OK) continue;
      if (v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT)
        r.text[{static_cast<int>(row) + 1, col + 1}] = v.value.text_value;
    }
  }
  freexl_close(handle);
  return r;
}

ReadBack readWithXlrd(const std::string& path) {
  return parseLines(run(python() + " " + QM_TEST_SUPPORT_DIR "/read_xls.py '" + path + "'"));
}

ReadBack readXlsxWithPython(const std::string& path) {
  return parseLines(run(python() + " " + QM_TEST_SUPPORT_DIR "/read_xlsx.py '" + path + "'"));
}

ReadBack expectedFrom(const Sheet& sheet) {
  ReadBack r;
  r.rows = sheet.rowCount();
  r.cols = sheet.colCount();
  for (int row = 1; row <= sheet.rowCount(); ++row) {
    const auto& cells = sheet.row(row);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (!cells[c].used()) continue;
      const int col = static_cast<int>(c) + 1;
      if (!sheet.text(cells[c]).empty()) r.text[{row, col}] = std::string(sheet.text(cells[c]));
      r.format[{row, col}] = cells[c].textFormat() ? "@" : "General";
    }
  }
  return r;
}

}  // namespace qm::test
