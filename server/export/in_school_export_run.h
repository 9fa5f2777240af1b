#pragma once
// The in-school export from the query headers to the saved file: save dialog
// and file checks and the title row on the UI thread, then the page loop and
// the save on the client's worker thread, so the window stays live and the
// pages come as fast as the server gives them. Plain Qt Core + coroutines, so
// tests and the benchmark run it headless.
#include <QCoro/QCoroTask>
#include <chrono>
#include <functional>
#include <string>

#include "server/export/export_selection.h"
#include "server/export/in_school_page_loop.h"
#include "server/protocol/query_page_info.h"
#include "server/protocol/query_request.h"

namespace qm {

class HttpClient;
class SaveTarget;
class SpreadsheetExport;

inline constexpr const char* kExportedCountPrefix = "已导出记录条数：";
inline constexpr int kPageLimit = 50;
// Old-format sheets end at row 65536; the export stops before it.
inline constexpr int kOldFormatRowBound = 65536;

struct InSchoolExportHooks {
  std::function<void(const std::string&)> status;  // panel 1 text, on the UI thread
  // "停止抓取" (or the window is gone). Asked on the run's worker thread before
  // every request and every row, so it must be safe to call from there.
  std::function<bool()> stopRequested;
  // On the worker thread after each row (tests stop at a chosen row with it).
  std::function<void(int students)> rowWritten;
  // While rows arrive, the count shows at most this often.
  std::chrono::milliseconds statusInterval{25};
  int rowBound = kOldFormatRowBound;  // tests may lower it
};

// Sets the query headers on the client (the cookie line must already be its
// only extra line), asks the target for the file, then pages through
// the service and saves. Cancelled at the dialog or overwrite question: End::Cancelled,
// nothing written. Throws on any failure after quitting the sheet and closing
// the client's connection; the target file is then untouched.
QCoro::Task<InSchoolExportResult> runInSchoolExport(HttpClient& client, SpreadsheetExport& sheet,
                                                    SaveTarget& target, std::string serverHost, QueryPageInfo info,
                                                    ExportSelection selection, InSchoolExportHooks hooks);

// The query headers of the service request (Accept, Referer, token ...).
void setQueryHeaders(HttpClient& client, const std::string& serverHost, const std::string& token);

}  // namespace qm
