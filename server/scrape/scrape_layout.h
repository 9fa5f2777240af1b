#pragma once
// The three list pages the scrapes read, as data: where the grid's tables
// stand among the document's tables, which cells they copy, the pager's ids,
// the sheet's widths and the texts each scrape shows.
#include <string>
#include <vector>

namespace qm {

struct ScrapeLayout {
  // Pager elements by id.
  std::string pagerTextId;   // text holding the number of pages
  std::string nextButtonId;  // next-page button
  std::string pageInputId;   // page-number input box

  // Tables, numbered among all tables of the document from 0; of each only
  // the first row is read.
  int headerTable = 0;  // the first page starts here; later pages one table on
  int lastTable = 0;    // the last data row of a page (header + 20)
  // Cells (from 0) copied into columns 1, 2, ...: firstCell is also the one
  // the end-of-rows test reads ("第" or empty), and column 1 takes it trimmed.
  int firstCell = 0;
  int lastCell = 0;
  // Details layout only: the record identifier and the school name of a
  // student row (-1 when the layout has none).
  int idCell = -1;
  int schoolCell = -1;

  // Widths of every column ("9.75", character units), the copied columns
  // first, then the fetched ones.
  std::vector<std::string> widths;
  // Row-1 titles of the columns after the copied ones (details layout).
  std::vector<std::string> extraTitles;

  // Ends the run after the student row in hand when the stop flag is set
  // (details); otherwise the flag is read once a page, after the next one
  // has come (list and audit scrapes).
  bool stopAfterEveryRow = false;

  // Texts (UTF-8): before the save dialog (plain box) and from it on (error box).
  std::string startFailedMessage;
  std::string exportFailedMessage;

  int copiedColumns() const { return lastCell - firstCell + 1; }
  int columns() const { return static_cast<int>(widths.size()); }
  int firstDataTable() const { return headerTable + 1; }
  // Lowest cell a page read must deliver.
  int firstReadCell() const { return idCell >= 0 && idCell < firstCell ? idCell : firstCell; }
};

// "抓取在校生": the in-school query page (pager l5-gen55/59/54).
ScrapeLayout inSchoolListLayout();
// "抓取异动记录": the audit page of the user type read from the home page
// (1: pager l5-gen35/39/34; any other: l5-gen34/38/33).
ScrapeLayout auditListLayout(int userType);
// The audit scrape's message before the save dialog, also for a home page
// whose user type cannot be read.
std::string auditStartFailedMessage();
// "抓取学生更多信息": the in-school query page in its second layout (pager
// l5-gen49/53/48) with five fetched columns.
ScrapeLayout studentDetailsLayout();

inline const char* const kScrapeDoneMessage = "导出成功！";
// Our own endings, which the list pages' pager and tabs can force. Each
// follows the question whether to keep the rows read so far.
std::string nextPageTimeoutMessage(int page, int seconds);
inline const char* const kScrapeTabClosedMessage = "抓取所用的网页标签已被关闭，抓取已停止。";
// The run's tab went to another document (a reload, a click, a session redirect).
inline const char* const kScrapeLeftPageMessage = "网页已离开要抓取的列表，抓取已停止。";

}  // namespace qm
