#pragma once
// Independent readers for the files the writers make: FreeXL and xlrd for
// .xls, Python's zipfile + XML for .xlsx. Each gives the same picture.
#include <map>
#include <string>
#include <utility>

#include "sheet/sheet.h"

namespace qm::test {

struct ReadBack {
  int rows = 0, cols = 0;  // as the reader reports the sheet's extent
  std::map<std::pair<int, int>, std::string> text;    // (row, col) 1-based -> UTF-8
  std::map<std::pair<int, int>, std::string> format;  // number format where the reader tells
  std::map<int, std::string> widths;                  // column -> width as the file holds it
  int continues = -1;                                 // CONTINUE records in the workbook stream
};

ReadBack readWithFreexl(const std::string& path, bool allCells = true);
ReadBack readWithXlrd(const std::string& path);
ReadBack readXlsxWithPython(const std::string& path);

// What the sheet holds, in the same form (formats "@" / "General").
ReadBack expectedFrom(const Sheet& sheet);

}  // namespace qm::test
