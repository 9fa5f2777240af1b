#include "sim/pages_scrape.h"

#include <algorithm>

#include "sim/http_message.h"
#include "sim/pages.h"
#include "sim/regsim.h"

namespace qm::sim {
namespace {

const char* const kToolButtons[] = {"详细信息", "导出", "打印", "刷新"};

// Loads a page of rows into the grid; the page-number box changes last, so a
// reader that waits for it finds the new rows already in place.
const char kPagerScript[] = R"(function qmGridLoad(page) {
  var x = new XMLHttpRequest();
  x.open('GET', qmGrid.fragment + '?kind=' + qmGrid.kind + '&page=' + page, true);
  x.onload = function () {
    if (x.status != 200) return;
    var box = document.createElement('div');
    box.innerHTML = x.responseText;
    var part = box.firstElementChild;
    if (!part) return;
    var rows = function () {
      document.getElementById('qm-grid-rows').innerHTML = part.innerHTML;
      qmGrid.page = parseInt(part.getAttribute('data-page'), 10);
      document.getElementById(qmGrid.text).textContent = part.getAttribute('data-pager');
      document.getElementById('qm-grid-info').textContent = part.getAttribute('data-info');
    };
    var pageBox = function () {
      document.getElementById(qmGrid.next).disabled = qmGrid.page >= qmGrid.pages;
      document.getElementById(qmGrid.input).value = String(qmGrid.page);
    };
    // A slow page: the rows some time after the answer, the box as long after them.
    if (qmGrid.step > 0) {
      setTimeout(function () { rows(); setTimeout(pageBox, qmGrid.step); }, qmGrid.step);
    } else {
      rows();
      pageBox();
    }
  };
  x.send();
}
function qmGridNext() { if (qmGrid.page < qmGrid.pages) qmGridLoad(qmGrid.page + 1); }
function qmGridKey(e, box) { if (e.key == 'Enter') qmGridLoad(parseInt(box.value, 10) || 1); }
)";

std::string rowTable(const std::vector<std::string>& cells, const char* tableClass) {
  std::string html = std::string("<table class=\"") + tableClass + "\" cellspacing=\"0\"><tbody><tr>";
  for (std::size_t i = 0; i < cells.size(); ++i)
    html += "<td class=\"x-grid3-col-" + std::to_string(i) + "\">" + htmlEscape(cells[i]) + "</td>";
  return html + "</tr></tbody></table>";
}

// Row tables of one page, each in its row <div>.
std::string pageRows(const SchoolData& school, GridKind kind, int rows, int page) {
  std::string html;
  const int first = (page - 1) * kGridPageRows;
  for (int i = first; i < std::min(rows, first + kGridPageRows); ++i)
    html += "<div class=\"x-grid3-row\">" + rowTable(gridRow(school, kind, i), "x-grid3-row-table") + "</div>\n";
  return html;
}

std::string infoText(int rows, int page) {
  if (rows == 0) return "没有数据";
  const int first = (page - 1) * kGridPageRows + 1;
  return "显示 " + std::to_string(first) + " - " + std::to_string(std::min(rows, first + kGridPageRows - 1)) +
         " 条，共 " + std::to_string(rows) + " 条";
}

int clampPage(int rows, int page) { return std::clamp(page, 1, gridPageCount(rows)); }

// The pager: its cell firstCell holds "第", then the page box, the page-count text, next.
std::string pagerTable(const GridLayout& layout, int rows) {
  const char* const leading[] = {"首页", "上一页", "|"};
  const int pages = gridPageCount(rows);
  std::string html = "<table class=\"x-toolbar x-paging\" cellspacing=\"0\"><tbody><tr>";
  for (int i = 0; i < layout.firstCell; ++i) html += std::string("<td>") + leading[std::min(i, 2)] + "</td>";
  html += "<td>第</td><td><input type=\"text\" id=\"" + std::string(layout.pageInputId) +
          "\" value=\"1\" size=\"3\" onkeydown=\"qmGridKey(event, this)\"></td>";
  html += "<td><span id=\"" + std::string(layout.pagerTextId) + "\">" + pagerText(pages) + "</span></td>";
  html += "<td><button type=\"button\" id=\"" + std::string(layout.nextButtonId) + "\" onclick=\"qmGridNext()\"" +
          (pages > 1 ? "" : " disabled") + ">下一页</button></td>";
  html += "<td>末页</td><td id=\"qm-grid-info\">" + infoText(rows, 1) + "</td>";
  return html + "</tr></tbody></table>\n";
}

}  // namespace

std::string gridPage(const SchoolData& school, const GridPage& page) {
  const GridLayout& layout = gridLayout(page.kind);
  std::string body = "<h2>" + htmlEscape(page.title) + "</h2>\n";
  // Table 0: the query form, whose first button reloads page 1.
  body +=
      "<form onsubmit=\"return false;\">\n"
      "<table class=\"query-form\"><tbody><tr><td>姓名：</td><td><input name=\"xm\" type=\"text\"></td>"
      "<td><button type=\"button\" id=\"query\" onclick=\"qmGridLoad(1)\">查询</button></td>"
      "<td><button type=\"reset\">重置</button></td></tr></tbody></table>\n</form>\n";
  // Table 1 the tool bar; one table per tool button up to the header table.
  body += "<table class=\"x-toolbar-ct\"><tbody><tr>";
  for (int i = 0; i + 2 < layout.headerTable; ++i)
    body += std::string("<td><table class=\"x-btn\"><tbody><tr><td><span class=\"x-btn-text\">") +
            kToolButtons[i % 4] + "</span></td></tr></tbody></table></td>";
  body += "</tr></tbody></table>\n<div class=\"x-grid3\">\n";
  body += rowTable(gridHeader(page.kind), "x-grid3-header") + "\n";
  body += "<div id=\"qm-grid-rows\">\n" + pageRows(school, page.kind, page.rows, 1) + "</div>\n";
  body += pagerTable(layout, page.rows) + "</div>\n";

  const std::string state = "var qmGrid = {fragment: '" + std::string(RegSim::kGridFragmentPath) + "', kind: '" +
                            layout.name + "', page: 1, pages: " +
                            std::to_string(gridPageCount(page.rows)) + ", text: '" + layout.pagerTextId +
                            "', next: '" + layout.nextButtonId + "', input: '" + layout.pageInputId +
                            "', step: " + std::to_string(page.stepMs) + "};\n";
  return htmlPage(page.title, body, page.headScript + state + kPagerScript);
}

std::string gridFragment(const SchoolData& school, GridKind kind, int rows, int page) {
  page = clampPage(rows, page);
  const int pages = gridPageCount(rows);
  return "<div data-page=\"" + std::to_string(page) + "\" data-pages=\"" + std::to_string(pages) +
         "\" data-pager=\"" + htmlEscape(pagerText(pages)) + "\" data-info=\"" + htmlEscape(infoText(rows, page)) +
         "\">\n" + pageRows(school, kind, rows, page) + "</div>\n";
}

}  // namespace qm::sim
