#pragma once
// The list pages' grids: the tables and pager ids of each layout, and the cell
// texts of their rows, made from the school's data.
#include <string>
#include <string_view>
#include <vector>

#include "sim/student_data.h"

namespace qm::sim {

enum class GridKind {
  InSchool,         // in-school query page: header table 6, pager l5-gen55/59/54
  DepartmentAudit,  // audit page of department accounts: header table 3, pager l5-gen35/39/34
  SchoolAudit,      // audit page of school accounts: header table 3, pager l5-gen34/38/33
  InSchoolDetails,  // in-school query page, second layout: header table 4, pager l5-gen49/53/48
};

struct GridLayout {
  GridKind kind;
  const char* name;          // value of kind= in the page-fragment address
  int headerTable;           // number of the header table among all tables; data rows follow it
  int firstCell;             // first cell the scrapes read; the pager table holds "第" there
  const char* pagerTextId;   // text holding the page count
  const char* nextButtonId;  // next-page button
  const char* pageInputId;   // page-number input box
};

inline constexpr int kGridPageRows = 20;

const GridLayout& gridLayout(GridKind kind);
// The layout whose name is name; false when there is none.
bool gridKindByName(std::string_view name, GridKind& kind);

// Rows of the grid: requested < 0 gives every student for the in-school grids and 23
// records for the audit grids; an in-school grid never has more rows than students.
int gridRowCount(const SchoolData& school, GridKind kind, int requested);
// Pages of a grid with that many rows; at least 1.
int gridPageCount(int rows);

// Cell texts of the header row and of row index (from 0), from cell 0 on: cell 0 is
// the check-box column (empty), cell 1 the row number.
std::vector<std::string> gridHeader(GridKind kind);
std::vector<std::string> gridRow(const SchoolData& school, GridKind kind, int index);

// The pager text: the page count between "，共 " and " 页", so that the part before
// the first blank and the part after the number take 8 bytes in GBK.
std::string pagerText(int pages);

}  // namespace qm::sim
