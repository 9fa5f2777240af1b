#include "server/in_school_export_run.h"

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTimer>
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

std::string countText(int students) { return kExportedCountPrefix + std::to_string(students); }

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
  InSchoolExportResult result;
  SetQueryHeaders(client, serverHost, info.token);
  const std::string url = "http://" + serverHost + std::string(kQueryServicePath);
  auto stopRequested = [&hooks] { return hooks.stopRequested && hooks.stopRequested(); };
  auto showCount = [&hooks](int students) {
    if (hooks.status) hooks.status(countText(students));
  };

  if (!sheet.chooseFile() || !sheet.prepareFile()) co_return result;

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
    int start = 0;
    const int limit = kPageLimit;
    bool ended = false;
    result.end = InSchoolExportResult::End::Stopped;
    while (!ended && !stopRequested()) {
      const std::string body = BuildQueryBody(info.organCode, selection.GradeCode, info.userType, start, limit);
      ++result.requests;
      const std::string answer = co_await postAsync(client, url, body);
      // The request itself was a turn for the UI.
      auto lastYield = Clock::now();
      std::string_view rest(answer);
      for (int i = 0; i < limit; ++i) {
        const auto record = ReadKeyedRecord(rest, kStudentMarkers);
        if (!record) {  // short or empty page, error answer, or a record with other keys
          result.end = InSchoolExportResult::End::LastPage;
          ended = true;
          break;
        }
        if (stopRequested()) {
          ended = true;
          break;
        }
        for (std::size_t k = 0; k < chosen.size(); ++k) {
          const int sheetCol = static_cast<int>(k) + 1;
          sheet.setTextFormat(row, sheetCol);
          sheet.writeCell(row, sheetCol, StudentCellText(*record, chosen[k]));
        }
        result.students = row - 1;
        // A turn per row would cost an event-loop round trip each; rows between
        // two requests take microseconds, so yield only when time has passed.
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
          result.end = InSchoolExportResult::End::RowBound;
          ended = true;
          break;
        }
      }
      showCount(result.students);
      start += limit;
    }
    showCount(result.students);
    sheet.save();
    sheet.quit();
    client.disconnect();
  } catch (...) {
    sheet.quit();
    client.disconnect();
    throw;
  }
  co_return result;
}

}  // namespace qm
