// The export run against a hostile query service: an answer without end, a
// server that never answers while 停止抓取 is pressed, names XML cannot hold.
#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "tests/gui/server/export/export_run_fixture.h"
#include "sheet/xlsx_text.h"
#include "tests/support/hostile_server.h"
#include "tests/support/sheet_readers.h"
#include "tests/support/temp_folder.h"

namespace qm::test {
namespace {

using End = InSchoolExportResult::End;
using Clock = std::chrono::steady_clock;

long peakRssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// The run core against a server of ours.
struct HostileRun : ExportCore {
  HostileServer server;

  explicit HostileRun(HostileServer::Mode mode, std::string canned = {}) : server(mode, std::move(canned)) {}

  InSchoolExportResult run(const char* fileName) {
    QueryPageInfo info;
    info.userType = "2";
    info.organCode = std::string(32, 'o');
    info.token = std::string(36, 't');
    return runOn(server.host(), "s=1", info, allColumns(), fileName);
  }
};

TEST(ExportHostile, EndlessAnswerFailsTheRunWithMemoryBounded) {
  HostileRun run(HostileServer::Mode::EndlessBody);
  const long before = peakRssKb();
  EXPECT_THROW(run.run("endless.xls"), HttpError);
  const long grownMb = (peakRssKb() - before) / 1024;
  std::printf("endless answer: %llu bytes sent before the request failed; peak memory grew %ld MB\n",
              static_cast<unsigned long long>(run.server.bytesSent()), grownMb);
  EXPECT_LT(grownMb, 3 * static_cast<long>(kDefaultMaxAnswerBytes >> 20));
  EXPECT_FALSE(std::filesystem::exists(run.path("endless.xls")));
  // No count was shown: nothing was written.
  EXPECT_TRUE(run.statuses.empty());
}

TEST(ExportHostile, StopEndsARunWhoseServerNeverAnswers) {
  HostileRun run(HostileServer::Mode::Silent);
  Clock::time_point pressed;
  QTimer::singleShot(300, [&] {
    pressed = Clock::now();
    run.stop = true;  // 停止抓取
  });
  const auto result = run.run("silent.xls");
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - pressed).count();
  std::printf("silent server: the run ended %lld ms after 停止抓取\n", static_cast<long long>(ms));
  EXPECT_EQ(result.end, End::Stopped);
  EXPECT_EQ(result.students, 0);
  EXPECT_EQ(run.server.requestCount(), 1u);
  // Ended as a stop between rows does: the file is saved with its title row.
  EXPECT_EQ(readWithFreexl(run.path("silent.xls")).rows, 1);
  EXPECT_TRUE(run.statuses.empty());
}

TEST(ExportHostile, NamesXmlCannotHoldReadBackFromXlsxWithAllRows) {
  const int students = 40;
  const std::u16string name = u"王\uFFFF";
  const std::string body = studentAnswer(students, name);
  HostileRun run(HostileServer::Mode::Canned,
                 "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  const auto result = run.run("names.xlsx");
  EXPECT_EQ(result.end, End::LastPage);
  EXPECT_EQ(result.students, students);
  const ReadBack got = readXlsxWithPython(run.path("names.xlsx"));
  int rows = 0;
  for (const auto& [cell, text] : got.text)
    if (cell.second == 1) ++rows;
  std::printf("U+FFFF names: %d rows read back (title included)\n", rows);
  EXPECT_EQ(rows, students + 1);
  for (int r = 2; r <= students + 1; ++r) EXPECT_EQ(xlsxReadText(got.text.at({r, 1})), "王\xEF\xBF\xBF") << r;
}

}  // namespace
}  // namespace qm::test
