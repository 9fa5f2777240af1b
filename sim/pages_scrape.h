#pragma once
// The list pages that the scrapes read: one table per grid row, numbered as the
// scrapes count them, and a pager that changes pages in place by script.
#include <string>

#include "sim/grid_data.h"
#include "sim/student_data.h"

namespace qm::sim {

struct GridPage {
  GridKind kind = GridKind::InSchool;
  int rows = 0;              // rows of the whole grid (gridRowCount)
  std::string title;
  std::string headScript;    // page variables, e.g. queryPageScript()
  int stepMs = 0;            // the pager's rows come this long after the answer, its box as long after
};

// The page showing page 1 of the grid. Tables in document order: the query form,
// the tool bar and its buttons (up to the header table's number), the header,
// one table per row of the page, then the pager, whose cell layout.firstCell reads "第".
std::string gridPage(const SchoolData& school, const GridPage& page);

// One page of rows for the pager's script (RegSim::kGridFragmentPath?kind=<layout name>&page=<n>): a <div> with data-page, data-pages,
// data-pager (the pager text) and data-info attributes around the row tables.
// page is clamped to the grid's pages.
std::string gridFragment(const SchoolData& school, GridKind kind, int rows, int page);

}  // namespace qm::sim
