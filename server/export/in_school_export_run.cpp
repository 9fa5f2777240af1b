#include "server/export/in_school_export_run.h"

#include <QCoro/QCoroFuture>
#include <QMetaObject>
#include <QObject>
#include <exception>
#include <vector>

#include "net/async_request.h"
#include "net/http_client.h"
#include "sheet/save_target.h"
#include "sheet/spreadsheet_export.h"
#include "server/protocol/student_record.h"

namespace qm {

namespace {

std::string countText(int students) { return kExportedCountPrefix + std::to_string(students); }

}  // namespace

void setQueryHeaders(HttpClient& client, const std::string& serverHost, const std::string& token) {
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

QCoro::Task<InSchoolExportResult> runInSchoolExport(HttpClient& client, SpreadsheetExport& sheet,
                                                    SaveTarget& target, std::string serverHost, QueryPageInfo info,
                                                    ExportSelection selection, InSchoolExportHooks hooks) {
  InSchoolExportResult result;
  setQueryHeaders(client, serverHost, info.token);
  const std::optional<std::string> path = target.choose();
  if (!path) co_return result;
  sheet.setFileName(*path);

  PageLoopInput in;
  in.url = "http://" + serverHost + std::string(kQueryServicePath);
  in.organCode = info.organCode;
  in.gradeCode = selection.GradeCode;
  in.userType = info.userType;
  in.oldFormat = sheet.version() < 12;
  in.rowBound = hooks.rowBound;
  in.pageLimit = kPageLimit;
  for (int c = 0; c < kExportColumnCount; ++c)
    if (selection.columns[static_cast<std::size_t>(c)]) in.columns.push_back(c);

  // Counts from the worker are shown through this object: posted calls to it
  // run on this thread, and none is left once the run is over.
  QObject relay;
  PageLoopHooks loopHooks;
  loopHooks.stopRequested = hooks.stopRequested;
  loopHooks.rowWritten = hooks.rowWritten;
  loopHooks.progressInterval = hooks.statusInterval;
  loopHooks.progress = [&relay, &hooks](int students) {
    QMetaObject::invokeMethod(
        &relay, [&hooks, students] { if (hooks.status) hooks.status(countText(students)); }, Qt::QueuedConnection);
  };

  std::exception_ptr failure;
  try {
    sheet.startWorkbook();
    for (std::size_t k = 0; k < in.columns.size(); ++k) {
      const ExportColumnDef& col = kExportColumns[static_cast<std::size_t>(in.columns[k])];
      const int sheetCol = static_cast<int>(k) + 1;
      sheet.setColumnWidth(1, sheetCol, col.width);
      sheet.writeCell(1, sheetCol, col.title);
    }
    // The job ends the sheet and the connection on every way out, on the
    // thread that used them.
    QFuture<InSchoolExportResult> job = runOnWorker<InSchoolExportResult>(client, [&client, &sheet, &in, &loopHooks] {
      struct Cleanup {
        HttpClient& client;
        SpreadsheetExport& sheet;
        ~Cleanup() {
          sheet.quit();
          client.disconnect();
        }
      } cleanup{client, sheet};
      return runPageLoop(client, sheet, in, loopHooks);
    });
    result = co_await job;
  } catch (...) {
    failure = std::current_exception();
  }
  if (failure) {
    sheet.quit();
    client.disconnect();
    std::rethrow_exception(failure);
  }
  // The count shows once a row is written; an empty or error answer leaves
  // the panel as it was.
  if (hooks.status && result.students > 0) hooks.status(countText(result.students));
  co_return result;
}

}  // namespace qm
