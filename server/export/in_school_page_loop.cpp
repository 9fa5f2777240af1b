#include "server/export/in_school_page_loop.h"

#include <exception>
#include <string_view>

#include "net/http_client.h"
#include "server/protocol/query_request.h"
#include "sheet/spreadsheet_export.h"
#include "server/protocol/student_record.h"

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;

// The page's records in order, as views into the answer; fewer than limit
// when the answer ends, is an error answer, or a record's keys differ from the list.
void readPage(std::string_view answer, int limit, std::vector<StudentFields>& records) {
  records.resize(static_cast<std::size_t>(limit));
  std::size_t n = 0;
  while (n < records.size() && readStudentFields(answer, records[n])) ++n;
  records.resize(n);
}

}  // namespace

InSchoolExportResult runPageLoop(HttpClient& client, SpreadsheetExport& sheet, const PageLoopInput& in,
                           const PageLoopHooks& hooks) {
  using End = InSchoolExportResult::End;
  InSchoolExportResult result;
  result.end = End::Stopped;
  auto stopRequested = [&hooks] { return hooks.stopRequested && hooks.stopRequested(); };
  int start = 0;
  auto send = [&] {
    ++result.requests;
    client.startPost(in.url, buildQueryBody(in.organCode, in.gradeCode, in.userType, start, in.pageLimit));
  };

  // The run cleared its stop flag at its start, so the flag may end a
  // request that the server leaves unanswered.
  struct StopCheckScope {
    HttpClient& client;
    ~StopCheckScope() { client.setStopCheck({}); }
  } stopScope{client};
  if (hooks.stopRequested) client.setStopCheck(hooks.stopRequested);

  try {
    int row = 2;
    std::vector<StudentFields> records;
    std::string cell;
    auto lastProgress = Clock::now();
    if (!stopRequested()) send();
    while (client.requestOut()) {
      std::string answer;
      try {
        answer = client.finishRequest();
      } catch (const HttpError& e) {
        // 停止抓取 reached a request that stayed unanswered: a stop like one between rows.
        if (!e.stopped()) throw;
        result.end = End::Stopped;
        break;
      }
      readPage(answer, in.pageLimit, records);
      const int n = static_cast<int>(records.size());
      start += in.pageLimit;
      if (n == in.pageLimit && !(in.oldFormat && row + n >= in.rowBound) && !stopRequested()) send();

      bool ended = false;
      for (const StudentFields& record : records) {
        if (stopRequested()) {
          result.end = End::Stopped;
          ended = true;
          break;
        }
        for (std::size_t k = 0; k < in.columns.size(); ++k) {
          const int sheetCol = static_cast<int>(k) + 1;
          sheet.setTextFormat(row, sheetCol);
          cell.clear();
          appendStudentCellText(record, in.columns[k], cell);
          sheet.writeCell(row, sheetCol, cell);
        }
        result.students = row - 1;
        if (hooks.rowWritten) hooks.rowWritten(result.students);
        ++row;
        if (in.oldFormat && row >= in.rowBound) {
          result.end = End::RowBound;
          ended = true;
          break;
        }
      }
      // Finished rows are turned into file bytes now, while the next page is
      // on its way, so the save after the last page only writes.
      sheet.rowsDone(row);
      if (hooks.progress && Clock::now() - lastProgress >= hooks.progressInterval) {
        hooks.progress(result.students);
        lastProgress = Clock::now();
      }
      if (ended) break;
      if (n < in.pageLimit) {
        result.end = End::LastPage;
        break;
      }
      if (!client.requestOut()) result.end = End::Stopped;  // the loop's own stop test
    }
  } catch (...) {
    // A request still out has to end before the connection is closed.
    if (client.requestOut()) {
      try {
        client.finishRequest();
      } catch (const HttpError&) {
      }
    }
    throw;
  }
  // A look-ahead that is no longer wanted: its answer or failure does not matter.
  if (client.requestOut()) {
    try {
      client.finishRequest();
    } catch (const HttpError&) {
    }
  }
  sheet.save();
  return result;
}

}  // namespace qm
