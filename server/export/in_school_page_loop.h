#pragma once
// The in-school export's page loop, run on the client's worker thread: pages
// of the query service into sheet rows, then the save. The next page's
// request goes out before this page's rows are written, so the server works
// while we do; it goes out only when the page-by-page loop would send it too
// (a full page, no stop yet, room left under the row bound). A stop pressed
// while this page's rows are written comes after that request: the server
// then sees one request more than page by page, whose answer is dropped.
// While the run's stop check holds, a request still unanswered after the
// client's grace time ends as a stop.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace qm {

class HttpClient;
class SpreadsheetExport;

struct PageLoopInput {
  std::string url;           // the query service
  std::string organCode;     // request body parts
  std::string gradeCode;
  std::string userType;
  std::vector<int> columns;  // export columns (0-based), in sheet order from column 1
  bool oldFormat = true;     // an .xls: rows end at rowBound
  int rowBound = 65536;
  int pageLimit = 50;
};

struct PageLoopHooks {
  std::function<bool()> stopRequested;        // before every request and every row
  std::function<void(int students)> progress;  // at most once per progressInterval
  std::chrono::milliseconds progressInterval{25};
  std::function<void(int students)> rowWritten;  // after each row
};

struct InSchoolExportResult {
  enum class End { Cancelled, LastPage, Stopped, RowBound };
  End end = End::Cancelled;
  int students = 0;  // rows written below the title row
  int requests = 0;  // query service requests made
};

// Writes rows from row 2 on, then saves; never ends Cancelled. Throws on a failed request or save;
// a request still out is waited for first. The caller quits the sheet and
// closes the connection.
InSchoolExportResult runPageLoop(HttpClient& client, SpreadsheetExport& sheet, const PageLoopInput& in,
                           const PageLoopHooks& hooks);

}  // namespace qm
