// The in-school export of 65,534 students (all 19 columns) from an in-process
// regsim on loopback to .xls, against a plain libcurl loop that posts the same
// bodies with the same header lines (HTTP/1.0, a fresh connection each, as the
// export's client does). Prints wall time, requests, peak memory and the ratio.
//   export_bench [students] [rounds] [server delay per page, ms]
//   export_bench --repeat N [students]
// The second form runs N exports in a row in one process, as a school does
// during a day, and prints the resident size after each.
#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/save_target.h"
#include "bench/bench_support.h"
#include "net/http_client.h"
#include "server/export/in_school_export_run.h"
#include "server/protocol/query_page_info.h"
#include "server/protocol/query_request.h"
#include "sheet/spreadsheet_export.h"
#include "server/protocol/student_record.h"
#include "server/protocol/text_routines.h"
#include "sim/regsim.h"

using bench::Clock;
using bench::resetPeak;
using bench::seconds;
using bench::statusKb;

namespace {

struct ExportFigures {
  double seconds = 0;
  int requests = 0, students = 0;
  const char* end = "";
  long peakKb = 0, peakGrowthKb = 0;
};

ExportFigures runExport(qm::sim::RegSim& sim, const std::string& cookie, const QString& file) {
  qm::HttpClient client("IdHTTP1");
  client.addExtraLine("Cookie:" + cookie);
  const qm::QueryPageInfo info =
      qm::ReadQueryPageInfo(client.get("http://" + sim.host() + std::string(qm::kQueryPagePath)));
  qm::SpreadsheetExport sheet;
  qm::FixedSaveTarget target(file.toStdString());
  qm::ExportSelection selection;
  selection.GradeCode = "**";
  selection.columns.fill(true);
  qm::InSchoolExportHooks hooks;
  std::string lastStatus;
  hooks.status = [&](const std::string& s) { lastStatus = s; };
  hooks.stopRequested = [] { return false; };

  ExportFigures f;
  const long before = statusKb("VmRSS:");
  resetPeak();
  const auto t0 = Clock::now();
  QEventLoop loop;
  bool done = false;
  qm::InSchoolExportResult result;
  auto run = [&]() -> QCoro::Task<> {
    try {
      result = co_await qm::runInSchoolExport(client, sheet, target, sim.host(), info, selection, hooks);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "export failed: %s\n", e.what());
    }
    done = true;
    loop.quit();
  };
  auto task = run();
  if (!done) loop.exec();
  f.seconds = seconds(t0);
  f.peakKb = statusKb("VmHWM:");
  f.peakGrowthKb = f.peakKb - before;
  f.requests = result.requests;
  f.students = result.students;
  using End = qm::InSchoolExportResult::End;
  f.end = result.end == End::RowBound ? "old-format row bound" : result.end == End::LastPage ? "last page"
                                                                                             : "stopped/cancelled";
  return f;
}

size_t collect(char* data, size_t size, size_t n, void* out) {
  static_cast<std::string*>(out)->append(data, size * n);
  return size * n;
}

struct CurlFigures {
  double seconds = 0;
  int requests = 0, records = 0;
};

// The floor: the same pages fetched with nothing done to them but counting records.
CurlFigures runCurlLoop(const qm::sim::RegSim& sim, const std::string& cookie, const qm::QueryPageInfo& info) {
  const std::string host = sim.host();
  const std::string url = "http://" + host + std::string(qm::kQueryServicePath);
  curl_slist* headers = nullptr;
  for (const std::string& line :
       {std::string("Connection: Keep-Alive"), std::string("Content-Type: application/json"),
        std::string("Cache-control: no-cache"), "Cookie:" + cookie, std::string("X-Requested-With: XMLHttpRequest"),
        "ccrf-token:" + info.token, std::string("Accept: */*"), std::string("Accept-Encoding: gzip, deflate"),
        std::string("Accept-Language: zh-Hans-CN,zh-Hans;q=0.5"),
        "Referer: http://" + host + std::string(qm::kQueryPagePath),
        std::string("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows 98; Maxthon)")})
    headers = curl_slist_append(headers, line.c_str());
  CURL* h = curl_easy_init();
  CurlFigures f;
  const auto t0 = Clock::now();
  for (int start = 0;; start += qm::kPageLimit) {
    const std::string body = qm::buildQueryBody(info.organCode, "**", info.userType, start, qm::kPageLimit);
    std::string answer;
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, long(body.size()));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &answer);
    ++f.requests;
    if (curl_easy_perform(h) != CURLE_OK) {
      std::fprintf(stderr, "curl request %d failed\n", f.requests);
      break;
    }
    int n = 0;
    for (std::size_t p = answer.find("\"xxbsm\":"); p != std::string::npos; p = answer.find("\"xxbsm\":", p + 1)) ++n;
    f.records += n;
    if (n < qm::kPageLimit || f.records >= qm::kOldFormatRowBound - 2) break;  // the export's own end
  }
  f.seconds = seconds(t0);
  curl_easy_cleanup(h);
  curl_slist_free_all(headers);
  return f;
}

// Our client on its own, blocking, posting the same pages. The answers are
// kept only when asked for (for the break-down): 65 MB of fresh memory costs
// page faults that would be charged to the client.
double runClientLoop(const qm::sim::RegSim& sim, const std::string& cookie, const qm::QueryPageInfo& info,
                     std::vector<std::string>* pages, bool keep) {
  qm::HttpClient client("IdHTTP1");
  client.addExtraLine("Cookie:" + cookie);
  qm::setQueryHeaders(client, sim.host(), info.token);
  const std::string url = "http://" + sim.host() + std::string(qm::kQueryServicePath);
  pages->clear();
  int requests = 0;
  const auto t0 = Clock::now();
  for (int start = 0;; start += qm::kPageLimit) {
    std::string answer = client.post(url, qm::buildQueryBody(info.organCode, "**", info.userType, start, qm::kPageLimit));
    ++requests;
    // Counted as the curl loop counts, so only the clients differ.
    int n = 0;
    for (std::size_t p = answer.find("\"xxbsm\":"); p != std::string::npos; p = answer.find("\"xxbsm\":", p + 1)) ++n;
    if (keep) pages->push_back(std::move(answer));
    if (n < qm::kPageLimit || requests * qm::kPageLimit >= qm::kOldFormatRowBound - 2) break;
  }
  return seconds(t0);
}

// Where the time goes: the export's work on pages already in memory (record
// walk, conversions, cells) and the save.
void breakDown(const std::vector<std::string>& pages, const QString& file) {
  auto t0 = Clock::now();
  qm::SpreadsheetExport sheet(file.toStdString());
  sheet.startWorkbook();
  int row = 2;
  qm::StudentFields fields;
  std::string cell;
  for (const std::string& page : pages) {
    std::string_view rest(page);
    while (row < qm::kOldFormatRowBound && qm::readStudentFields(rest, fields)) {
      for (int c = 0; c < qm::kExportColumnCount; ++c) {
        sheet.setTextFormat(row, c + 1);
        cell.clear();
        qm::appendStudentCellText(fields, c, cell);
        sheet.writeCell(row, c + 1, cell);
      }
      ++row;
    }
    sheet.rowsDone(row);
  }
  std::printf("  record walk + conversions + cells + file bytes of %d rows: %.3f s\n", row - 2, seconds(t0));
  t0 = Clock::now();
  sheet.save();
  std::printf("  saving the .xls: %.3f s\n", seconds(t0));
}

// N exports in a row; the resident size after each, and its growth over the first.
int repeatExports(int exports, int students) {
  qm::sim::RegSim sim({.students = students});
  if (!sim.start()) {
    std::fprintf(stderr, "regsim did not start\n");
    return 1;
  }
  const std::string cookie = sim.loginCookie();
  QTemporaryDir dir;
  const QString file = QDir(dir.path()).filePath(QStringLiteral("zxs.xls"));
  std::printf("%d exports of %d students, resident size before: %ld KB\n", exports, students, statusKb("VmRSS:"));
  long first = 0, largest = 0;
  for (int i = 1; i <= exports; ++i) {
    sim.clearRequests();
    const ExportFigures e = runExport(sim, cookie, file);
    const long rss = statusKb("VmRSS:");
    if (i == 1) first = rss;
    largest = std::max(largest, rss);
    std::printf("export %2d: %.3f s, %d students, resident %ld KB (%+ld KB over the first), peak %ld KB\n", i,
                e.seconds, e.students, rss, rss - first, e.peakKb);
  }
  std::printf("largest resident size after an export: %ld KB, %+ld KB over the first\n", largest, largest - first);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--repeat") == 0) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const int code = repeatExports(argc > 2 ? std::max(1, std::atoi(argv[2])) : 10,
                                   argc > 3 ? std::atoi(argv[3]) : 65534);
    curl_global_cleanup();
    return code;
  }
  const int students = argc > 1 ? std::atoi(argv[1]) : 65534;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  // A server that takes this long per page, as a real one does (0: as fast as loopback allows).
  const int delayMs = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;
  curl_global_init(CURL_GLOBAL_DEFAULT);

  auto t0 = Clock::now();
  qm::sim::RegSim sim({.students = students, .delayMs = delayMs});
  if (!sim.start()) {
    std::fprintf(stderr, "regsim did not start\n");
    return 1;
  }
  const std::string cookie = sim.loginCookie();
  qm::HttpClient pageClient("page");
  pageClient.addExtraLine("Cookie:" + cookie);
  const qm::QueryPageInfo info =
      qm::ReadQueryPageInfo(pageClient.get("http://" + sim.host() + std::string(qm::kQueryPagePath)));
  std::printf("regsim with %d students on %s, ready in %.2f s\n", students, sim.host().c_str(), seconds(t0));

  QTemporaryDir dir;
  const QString file = QDir(dir.path()).filePath(QStringLiteral("zxs.xls"));
  // Alternate the two so both see the same machine load; keep the best of each.
  CurlFigures bestCurl{1e9};
  ExportFigures bestExport{1e9};
  long maxGrowthKb = 0;  // the first round's growth: later rounds reuse freed memory
  double bestClient = 1e9;
  std::vector<std::string> pages;
  for (int r = 0; r < rounds; ++r) {
    // The server keeps every request it gets; a log grown by the earlier loops
    // would slow the later ones, so each starts with an empty one.
    sim.clearRequests();
    const CurlFigures c = runCurlLoop(sim, cookie, info);
    sim.clearRequests();
    const ExportFigures e = runExport(sim, cookie, file);
    sim.clearRequests();
    const double client = runClientLoop(sim, cookie, info, &pages, false);
    std::printf("round %d: curl loop %.3f s (%d requests, %d records); export %.3f s (%d requests, %d students, %s, "
                "peak %ld KB, +%ld KB); our client alone %.3f s\n",
                r + 1, c.seconds, c.requests, c.records, e.seconds, e.requests, e.students, e.end, e.peakKb,
                e.peakGrowthKb, client);
    bestClient = std::min(bestClient, client);
    if (c.seconds < bestCurl.seconds) bestCurl = c;
    if (e.seconds < bestExport.seconds) bestExport = e;
    maxGrowthKb = std::max(maxGrowthKb, e.peakGrowthKb);
  }
  std::printf("\nplain libcurl loop: %.3f s, %d requests\n", bestCurl.seconds, bestCurl.requests);
  std::printf("export to .xls:     %.3f s, %d requests, %d students (%s), peak memory %ld KB, "
              "at most %ld KB above the resident size before a run\n",
              bestExport.seconds, bestExport.requests, bestExport.students, bestExport.end, bestExport.peakKb,
              maxGrowthKb);
  std::printf("ratio export / curl loop: %.2f (target at most 1.20)\n", bestExport.seconds / bestCurl.seconds);
  std::printf("break-down:\n  our HttpClient, blocking, same pages: %.3f s\n", bestClient);
  runClientLoop(sim, cookie, info, &pages, true);
  breakDown(pages, file);
  curl_global_cleanup();
  return 0;
}
