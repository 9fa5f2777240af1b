#pragma once
// The export core against an in-process regsim: a logged-in IdHTTP1, a
// scripted save dialog in a temp folder, and the run's status texts.
#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QDir>
#include <QEventLoop>
#include <exception>
#include <atomic>
#include <string>
#include <vector>

#include "common/ui/scripted_prompts.h"
#include "net/http_client.h"
#include "server/export/in_school_export_run.h"
#include "server/protocol/query_page_info.h"
#include "server/protocol/query_request.h"
#include "sheet/spreadsheet_export.h"
#include "sheet/spreadsheet_file_choice.h"
#include "sim/regsim.h"
#include "tests/support/regsim_test_util.h"
#include "tests/support/temp_folder.h"

namespace qm::test {

// Runs a task to its end in a nested loop; unlike QCoro::waitFor (0.8) it
// hands the task's exception on instead of waiting forever.
template <typename T>
T finish(QCoro::Task<T> task) {
  QEventLoop loop;
  T result{};
  std::exception_ptr error;
  bool done = false;
  auto wrapper = [&]() -> QCoro::Task<> {
    try {
      result = co_await task;
    } catch (...) {
      error = std::current_exception();
    }
    done = true;
    loop.quit();
  };
  auto running = wrapper();
  if (!done) loop.exec();
  if (error) std::rethrow_exception(error);
  return result;
}

// The run core as the window drives it: the window's client, a scripted
// save dialog in a folder of the test's own, and the run's status texts.
struct ExportCore {
  HttpClient client{"IdHTTP1"};
  ScriptedPrompts prompts;
  const test::TempFolder dir{"export_core"};
  std::vector<std::string> statuses;
  std::atomic<bool> stop = false;
  InSchoolExportHooks hooks;

  ExportCore() {
    hooks.status = [this](const std::string& s) { statuses.push_back(s); };
    hooks.stopRequested = [this] { return stop.load(); };
  }

  std::string path(const char* name) const { return dir.file(name); }

  // Runs the core against host with the cookie line the window would send.
  InSchoolExportResult runOn(const std::string& host, const std::string& cookie, const QueryPageInfo& info,
                             const ExportSelection& selection, const char* fileName) {
    client.clearExtraLines();
    client.addExtraLine("Cookie:" + cookie);
    prompts.fileNames.push_back(QString::fromStdString(path(fileName)));
    SpreadsheetExport sheet;
    SpreadsheetFileChoice target(prompts);
    return finish(runInSchoolExport(client, sheet, target, host, info, selection, hooks));
  }
};

// The core against an in-process regsim.
struct ExportRun : ExportCore {
  StartedRegSim server;
  sim::RegSim& sim = server.sim;

  explicit ExportRun(sim::RegSimOptions options) : server(std::move(options)) {
    if (!server.started) throw std::runtime_error("regsim did not start");
  }

  // Logs in, then does what the window does before the core: cookie line and query page.
  QueryPageInfo loginAndReadPage() {
    cookie = sim.loginCookie();
    client.clearExtraLines();
    client.addExtraLine("Cookie:" + cookie);
    return ReadQueryPageInfo(client.get("http://" + sim.host() + std::string(kQueryPagePath)));
  }

  InSchoolExportResult run(const ExportSelection& selection, const char* fileName) {
    const QueryPageInfo info = loginAndReadPage();
    return runOn(sim.host(), cookie, info, selection, fileName);
  }

  std::string cookie;  // the session's, after loginAndReadPage

  // Bodies of the query-service requests, in order.
  std::vector<std::string> queryBodies() const {
    std::vector<std::string> out;
    for (const auto& r : sim.requests())
      if (r.path == sim::RegSim::kQueryServicePath) out.push_back(r.body);
    return out;
  }
};

inline ExportSelection selectionOf(std::initializer_list<int> positions, const char* grade = "**") {
  ExportSelection s;
  s.GradeCode = grade;
  s.columns.fill(false);
  for (int p : positions) s.columns[static_cast<std::size_t>(p - 1)] = true;
  return s;
}

inline ExportSelection allColumns(const char* grade = "**") {
  ExportSelection s;
  s.GradeCode = grade;
  s.columns.fill(true);
  return s;
}

}  // namespace qm::test
