// The list pages as the three scrapes read them: table numbering, pager ids and
// text, and the page fragments the next-page button swaps in.
#include <gtest/gtest.h>

#include "tests/support/regsim_test_util.h"
#include "tests/unit/sim/sim_page_helpers.h"

namespace qm::test {
namespace {

// Numbers and ids as the scrapes use them, written out here rather than taken from the server.
struct Layout {
  const char* name;
  const char* path;
  bool detailsLayout;
  std::size_t header;     // table number of the header row
  std::size_t firstCell;  // cell of the end-of-rows test
  std::size_t cells;      // cells in each row
  const char* text;
  const char* next;
  const char* input;
  const char* kind;       // the fragment's kind=
};
const Layout kLayouts[] = {
    {"in-school", sim::RegSim::kQueryPagePath, false, 6, 3, 16, "l5-gen55", "l5-gen59", "l5-gen54", "zxs"},
    {"department audit", sim::RegSim::kDepartmentAuditPath, false, 3, 2, 12, "l5-gen35", "l5-gen39", "l5-gen34",
     "zgbmsh"},
    {"school audit", sim::RegSim::kSchoolAuditPath, false, 3, 2, 12, "l5-gen34", "l5-gen38", "l5-gen33", "xxsh"},
    {"in-school details", sim::RegSim::kQueryPagePath, true, 4, 3, 12, "l5-gen49", "l5-gen53", "l5-gen48", "zxsxx"},
};

std::string fetch(const sim::RegSim& sim, const std::string& path, const std::string& cookie) {
  const HttpReply reply = httpExchange(sim.port(), getRequest(sim, path, cookie));
  EXPECT_EQ(reply.status, 200) << path;
  return reply.body;
}

std::string fragmentPath(const Layout& layout, int page) {
  return std::string(sim::RegSim::kGridFragmentPath) + "?kind=" + layout.kind + "&page=" + std::to_string(page);
}

TEST(RegSimGrid, TablesArePageRowsNumberedAsTheScrapesCountThem) {
  const struct {
    int rows;
    int pages;
  } sizes[] = {{7, 1}, {20, 1}, {45, 3}};
  for (const Layout& layout : kLayouts) {
    for (const auto& size : sizes) {
      StartedRegSim s({.detailsLayout = layout.detailsLayout, .gridRows = size.rows});
      ASSERT_TRUE(s.started);
      const std::string html = fetch(s.sim, layout.path, s.sim.loginCookie());
      const std::string where = std::string(layout.name) + ", " + std::to_string(size.rows) + " rows";

      const auto header = firstRowCells(html, layout.header);
      ASSERT_EQ(header.size(), layout.cells) << where;
      EXPECT_EQ(header[layout.firstCell], "姓名") << where;
      // The tables before the header are not grid rows.
      EXPECT_NE(firstRowCells(html, layout.header - 1).size(), layout.cells) << where;

      const int shown = std::min(size.rows, 20);
      for (int i = 1; i <= shown; ++i) {
        const auto row = firstRowCells(html, layout.header + i);
        ASSERT_EQ(row.size(), layout.cells) << where << ", row " << i;
        EXPECT_EQ(row[1], std::to_string(i)) << where;
        EXPECT_FALSE(row[layout.firstCell].empty()) << where;
        EXPECT_NE(row[layout.firstCell], "第") << where;
      }
      // After the last row: the pager, "第" in the cell the end-of-rows test reads.
      const auto pager = firstRowCells(html, layout.header + shown + 1);
      ASSERT_GT(pager.size(), layout.firstCell) << where;
      EXPECT_EQ(pager[layout.firstCell], "第") << where;

      EXPECT_EQ(pageCountByGbkRule(elementText(html, layout.text)), size.pages) << where;
      EXPECT_EQ(attribute(tagWithId(html, layout.input), "value"), "1") << where;
      const std::string next = tagWithId(html, layout.next);
      EXPECT_EQ(next.rfind("<button", 0), 0u) << where;
      EXPECT_NE(next.find("onclick=\"qmGridNext()\""), std::string::npos) << where;
      EXPECT_EQ(next.find(" disabled") != std::string::npos, size.pages == 1) << where;
      // The click is the first button's, not the pager's.
      EXPECT_EQ(html.find("<button"), html.find("<button type=\"button\" id=\"query\"")) << where;
    }
  }
}

TEST(RegSimGrid, InSchoolRowsCarryTheStudentsFields) {
  for (const bool details : {false, true}) {
    StartedRegSim s({.students = 30, .detailsLayout = details});
    ASSERT_TRUE(s.started);
    const std::string html = fetch(s.sim, sim::RegSim::kQueryPagePath, s.sim.loginCookie());
    const std::size_t header = details ? 4 : 6;
    for (std::size_t i = 0; i < 20; ++i) {
      const sim::Student& st = s.sim.students()[i];
      const auto row = firstRowCells(html, header + 1 + i);
      ASSERT_GE(row.size(), 12u);
      EXPECT_EQ(row[2], st.xsJbxxId);
      EXPECT_EQ(row[3], st.xm);
      EXPECT_EQ(row[4], st.sfzjh);
      EXPECT_EQ(row[5], st.grbsm);
      EXPECT_EQ(row[6], st.xbm == "1" ? "男" : "女");
      // The extended export takes the school name from cell 11.
      EXPECT_EQ(row[details ? 11 : 10], s.sim.school().xxmc);
    }
  }
}

TEST(RegSimGrid, NextPageFragmentsCarryTheFollowingRows) {
  for (const Layout& layout : kLayouts) {
    StartedRegSim s({.detailsLayout = layout.detailsLayout, .gridRows = 45});
    ASSERT_TRUE(s.started);
    const std::string cookie = s.sim.loginCookie();
    const std::string page1 = fetch(s.sim, layout.path, cookie);
    const struct {
      int asked, shown, first, count;
    } pages[] = {{2, 2, 21, 20}, {3, 3, 41, 5}, {1, 1, 1, 20}, {99, 3, 41, 5}, {0, 1, 1, 20}};
    for (const auto& p : pages) {
      const std::string part = fetch(s.sim, fragmentPath(layout, p.asked), cookie);
      const std::string where = std::string(layout.name) + ", page " + std::to_string(p.asked);
      const std::string head = part.substr(0, part.find('>') + 1);
      EXPECT_EQ(attribute(head, "data-page"), std::to_string(p.shown)) << where;
      EXPECT_EQ(attribute(head, "data-pages"), "3") << where;
      EXPECT_EQ(pageCountByGbkRule(textOf(attribute(head, "data-pager"))), 3) << where;
      ASSERT_EQ(tableStarts(part).size(), static_cast<std::size_t>(p.count)) << where;
      for (int i = 0; i < p.count; ++i) {
        const auto row = firstRowCells(part, static_cast<std::size_t>(i));
        ASSERT_EQ(row.size(), layout.cells) << where;
        EXPECT_EQ(row[1], std::to_string(p.first + i)) << where;
      }
      // Page 1 of the fragments is the page the document opened with.
      if (p.shown == 1) {
        EXPECT_EQ(firstRowCells(part, 5), firstRowCells(page1, layout.header + 6)) << where;
      }
    }
  }
}

TEST(RegSimGrid, StuckPagerAnswersPageOneWhateverIsAsked) {
  StartedRegSim s({.gridRows = 45, .pagerStuck = true});
  ASSERT_TRUE(s.started);
  const std::string part = fetch(s.sim, fragmentPath(kLayouts[0], 2), s.sim.loginCookie());
  EXPECT_EQ(attribute(part.substr(0, part.find('>') + 1), "data-page"), "1");
  EXPECT_EQ(firstRowCells(part, 0).at(1), "1");
  EXPECT_EQ(tableStarts(part).size(), 20u);
}

TEST(RegSimGrid, FragmentsNeedASessionAndAKnownLayout) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const HttpReply without = httpExchange(s.sim.port(), getRequest(s.sim, fragmentPath(kLayouts[0], 1)));
  EXPECT_EQ(without.status, 302);
  EXPECT_EQ(without.header("Location"), "/");
  const HttpReply unknown =
      httpExchange(s.sim.port(), getRequest(s.sim, "/sim/grid?kind=other&page=1", s.sim.loginCookie()));
  EXPECT_EQ(unknown.status, 404);
}

TEST(RegSimGrid, RowCountsFollowTheOptionAndTheStudents) {
  const struct {
    int students, gridRows;
    sim::GridKind kind;
    int expected;
  } cases[] = {
      {30, -1, sim::GridKind::InSchool, 30},       {30, 45, sim::GridKind::InSchool, 30},
      {30, 7, sim::GridKind::InSchoolDetails, 7},  {30, -1, sim::GridKind::SchoolAudit, 23},
      {30, 45, sim::GridKind::DepartmentAudit, 45}, {0, -1, sim::GridKind::SchoolAudit, 0},
  };
  for (const auto& c : cases) {
    sim::RegSim sim({.students = c.students, .gridRows = c.gridRows});
    EXPECT_EQ(sim.gridRowCount(c.kind), c.expected) << c.students << " " << c.gridRows;
  }
  // No rows: the pager follows the header at once, with one page.
  StartedRegSim s({.students = 0});
  ASSERT_TRUE(s.started);
  const std::string html = fetch(s.sim, sim::RegSim::kSchoolAuditPath, s.sim.loginCookie());
  EXPECT_EQ(firstRowCells(html, 4).at(2), "第");
  EXPECT_EQ(pageCountByGbkRule(elementText(html, "l5-gen34")), 1);
}

}  // namespace
}  // namespace qm::test
