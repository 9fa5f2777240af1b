#include "server/in_school_export_run.h"

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTimer>
#include <QFuture>
#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "server/async_request.h"
#include "server/http_client.h"
#include "server/sheet/spreadsheet_export.h"
#include "server/student_record.h"
#include "server/text_routines.h"

namespace qm {

namespace {

using Clock = std::chrono::steady_clock;
using Record = std::vector<std::string>;

std::string countText(int students) { return kExportedCountPrefix + std::to_string(students); }

// The page's records in order; fewer than limit when the answer ends, is an
// error answer, or a record's keys differ from the list.
std::vector<Record> readPage(std::string_view answer, int limit) {
  std::vector<Record> records;
  records.reserve(static_cast<std::size_t>(limit));
  while (static_cast<int>(records.size()) < limit) {
    auto record = ReadKeyedRecord(answer, kStudentMarkers);
    if (!record) break;
    records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace

void SetQueryHeaders(HttpClient& client, const std::string& serverHost, const std::string& token) {
  client.addExtraLine("X-Requested-With: XMLHttpRequest");
  client.addExtraLine("ccrf-token:" + token);
  HttpHeaderValues& h = client.headers();
  h.accept = "*/*";
  h.acceptEncoding = "gzip, deflate";
  h.acceptLanguage = "zh-Hans-CN,zh-Hans;q=0.5";
  h.connection = "Keep-Alive";
  h.contentType = "application/json";
  h.cacheControl = "no-cache";
  h.referer = "http://" + serverHost + std::string(kQueryPagePath);
  h.userAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows 98; Maxthon)";
}

QCoro::Task<InSchoolExportResult> RunInSchoolExport(HttpClient& client, SpreadsheetExport& sheet,
                                                    std::string serverHost, QueryPageInfo info,
                                                    ExportSelection selection, InSchoolExportHooks hooks) {
  using End = InSchoolExportResult::End;
  InSchoolExportResult result;
  SetQueryHeaders(client, serverHost, info.token);
  const std::string url = "http://" + serverHost + std::string(kQueryServicePath);
  auto stopRequested = [&hooks] { return hooks.stopRequested && hooks.stopRequested(); };
  auto showCount = [&hooks](int students) {
    if (hooks.status) hooks.status(countText(students));
  };

  if (!sheet.chooseFile() || !sheet.prepareFile()) co_return result;

  const int limit = kPageLimit;
  int start = 0;
  auto request = [&]() {
    ++result.requests;
    return postAsync(client, url, BuildQueryBody(info.organCode, selection.GradeCode, info.userType, start, limit));
  };
  // The next page's request runs on the client's worker while this page's rows
  // are written: the network, not the rows, sets the pace. It goes out only
  // when the page-by-page loop would send it too (a full page, no stop, room
  // left under the row bound), so the server sees the same requests.
  std::optional<QFuture<std::string>> inFlight;
  std::exception_ptr failure;
  try {
    const bool oldFormat = sheet.version() < 12;
    sheet.startWorkbook();

    std::vector<int> chosen;
    for (int c = 0; c < kExportColumnCount; ++c)
      if (selection.columns[static_cast<std::size_t>(c)]) chosen.push_back(c);
    for (std::size_t k = 0; k < chosen.size(); ++k) {
      const ExportColumnDef& col = kExportColumns[static_cast<std::size_t>(chosen[k])];
      const int sheetCol = static_cast<int>(k) + 1;
      sheet.setColumnWidth(1, sheetCol, col.width);
      sheet.writeCell(1, sheetCol, col.title);
    }

    int row = 2;
    result.end = End::Stopped;
    if (!stopRequested()) inFlight = request();
    while (inFlight) {
      const std::string answer = co_await *inFlight;
      inFlight.reset();
      const std::vector<Record> records = readPage(answer, limit);
      const int n = static_cast<int>(records.size());
      start += limit;
      if (n == limit && !(oldFormat && row + n >= hooks.rowBound) && !stopRequested()) inFlight = request();

      auto lastYield = Clock::now();
      bool ended = false;
      for (const Record& record : records) {
        if (stopRequested()) {
          result.end = End::Stopped;
          ended = true;
          break;
        }
        for (std::size_t k = 0; k < chosen.size(); ++k) {
          const int sheetCol = static_cast<int>(k) + 1;
          sheet.setTextFormat(row, sheetCol);
          sheet.writeCell(row, sheetCol, StudentCellText(record, chosen[k]));
        }
        result.students = row - 1;
        // A turn after every row would cost an event-loop round trip each; a
        // page's rows take about a millisecond, so turn only when time has
        // passed. The stop button still acts between rows.
        if (Clock::now() - lastYield >= hooks.yieldInterval) {
          showCount(result.students);
          if (hooks.processInput)
            co_await hooks.processInput();
          else
            co_await QCoro::sleepFor(std::chrono::milliseconds(0));
          lastYield = Clock::now();
        }
        ++row;
        if (oldFormat && row >= hooks.rowBound) {
          result.end = End::RowBound;
          ended = true;
          break;
        }
      }
      showCount(result.students);
      if (ended) break;
      if (n < limit) {
        result.end = End::LastPage;
        break;
      }
      if (!inFlight) result.end = End::Stopped;  // the loop's own stop test
    }
  } catch (...) {
    failure = std::current_exception();
  }
  // A look-ahead request that is no longer wanted still has to end before the
  // connection is closed; its answer or failure does not matter.
  if (inFlight) {
    try {
      co_await *inFlight;
    } catch (...) {
    }
  }
  if (!failure) {
    try {
      sheet.save();
    } catch (...) {
      failure = std::current_exception();
    }
  }
  sheet.quit();
  client.disconnect();
  if (failure) std::rethrow_exception(failure);
  co_return result;
}

}  // namespace qm
