// NetDownloader against regsim: the body lands in the file as the server sent
// it, progress climbs to the announced size, a refused status, a refused
// connection and a dropped transfer fail with the status line they had, and
// nothing is called back after cancel().
#include <gtest/gtest.h>

#include <filesystem>

#include "app/update/net_downloader.h"
#include "sim/http_message.h"
#include "tests/e2e/app/update/update_e2e_support.h"

namespace fs = std::filesystem;
using namespace qm;
using namespace qm::test;

namespace {

struct Transfer {
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;
  std::vector<DownloadOutcome> done;
  std::int64_t sizeAtDone = -1;
};

void startInto(NetDownloader& d, const std::string& url, const fs::path& file, Transfer& run,
               std::int64_t maxBytes = 0) {
  d.start(
      url, file.string(), maxBytes, [&run](std::int64_t got, std::int64_t total) { run.progress.emplace_back(got, total); },
      [&run, file](const DownloadOutcome& o) {
        run.done.push_back(o);
        run.sizeAtDone = fs::exists(file) ? static_cast<std::int64_t>(fs::file_size(file)) : -1;
      });
}

struct Downloads : ::testing::Test {
  TempFolder tmp{"net_downloader"};
  fs::path file = tmp.path / "download.part";
};

TEST_F(Downloads, StreamsTheProgramIntoTheFileWithClimbingProgress) {
  StartedRegSim server;
  ASSERT_TRUE(server.started);
  // Something there already: the download replaces it, never appends.
  std::ofstream(file) << "old bytes that must go";
  NetDownloader d;
  Transfer run;
  startInto(d, server.sim.updateBaseUrl() + "quillmere.jpg", file, run);
  ASSERT_TRUE(waitUntil([&] { return !run.done.empty(); }));
  const std::string program = server.sim.updateProgram();
  ASSERT_EQ(run.done.size(), 1u);
  EXPECT_TRUE(run.done[0].ok);
  EXPECT_TRUE(readFile(file) == program) << "the program as served";
  EXPECT_EQ(run.sizeAtDone, static_cast<std::int64_t>(program.size())) << "done comes after the file is whole";
  ASSERT_FALSE(run.progress.empty());
  const auto size = static_cast<std::int64_t>(program.size());
  EXPECT_EQ(run.progress.front().first, 0) << "the bar starts at 0";
  EXPECT_EQ(run.progress.back(), std::make_pair(size, size));
  for (std::size_t i = 1; i < run.progress.size(); ++i) {
    EXPECT_GE(run.progress[i].first, run.progress[i - 1].first);
    EXPECT_EQ(run.progress[i].second, size);
  }
  EXPECT_FALSE(d.running());

  // Sent as the program's other clients send: Indy's values, one plain GET.
  const std::vector<sim::RawRequest> requests = server.sim.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method + " " + requests[0].target + " " + requests[0].version,
            "GET /update/quillmere.jpg HTTP/1.1");
  EXPECT_NE(requests[0].head.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"), std::string::npos);
  EXPECT_NE(requests[0].head.find("\r\nAccept: text/html, */*\r\n"), std::string::npos);
  EXPECT_EQ(requests[0].head.find("Accept-Encoding"), std::string::npos);
}

TEST_F(Downloads, RunsOneAfterAnotherOnTheSameObject) {
  StartedRegSim server;
  ASSERT_TRUE(server.started);
  NetDownloader d;
  Transfer first, second;
  startInto(d, server.sim.updateBaseUrl() + "quillmereup.txt", file, first);
  ASSERT_TRUE(waitUntil([&] { return !first.done.empty(); }));
  const fs::path other = tmp.path / "pellow";
  startInto(d, server.sim.updateBaseUrl() + "pellow.jpg", other, second);
  ASSERT_TRUE(waitUntil([&] { return !second.done.empty(); }));
  EXPECT_TRUE(first.done[0].ok);
  EXPECT_TRUE(second.done[0].ok);
  EXPECT_NE(readFile(file).find("filename=quillmere"), std::string::npos);
  EXPECT_TRUE(readFile(other) == server.sim.companionFile("pellow"));
}

struct FailureCase {
  const char* name;
  bool drop;          // regsim cuts program downloads in half
  bool closed;        // nobody listens
  const char* file;   // what is asked for
  const char* statusLinePrefix;  // "" : no status line
};

class DownloadFailures : public Downloads, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DownloadFailures, FailWithTheStatusLineTheServerGave) {
  const FailureCase c = GetParam();
  sim::RegSimOptions options;
  options.updateDropDownload = c.drop;
  StartedRegSim server(options);
  ASSERT_TRUE(server.started);
  const std::string base =
      c.closed ? "http://127.0.0.1:" + std::to_string(closedPort()) + "/update/" : server.sim.updateBaseUrl();
  NetDownloader d;
  Transfer run;
  startInto(d, base + c.file, file, run);
  ASSERT_TRUE(waitUntil([&] { return !run.done.empty(); }));
  ASSERT_EQ(run.done.size(), 1u);
  EXPECT_FALSE(run.done[0].ok);
  if (*c.statusLinePrefix)
    EXPECT_EQ(run.done[0].statusLine.rfind(c.statusLinePrefix, 0), 0u) << run.done[0].statusLine;
  else
    EXPECT_EQ(run.done[0].statusLine, "");
  EXPECT_EQ(run.done[0].statusLine.find('\r'), std::string::npos);
  // Whatever came is less than the whole program (the caller deletes it).
  if (c.drop) {
    EXPECT_LT(run.sizeAtDone, static_cast<std::int64_t>(server.sim.updateProgram().size()));
  } else {
    EXPECT_EQ(readFile(file), "") << "an error page is not kept as the download";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadFailures,
    ::testing::Values(FailureCase{"missing", false, false, "nothing.jpg", "HTTP/1.1 404"},
                      FailureCase{"refused", false, true, "quillmere.jpg", ""},
                      FailureCase{"dropped", true, false, "quillmere.jpg", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Downloads, NothingIsCalledBackAfterCancel) {
  StartedRegSim server;
  ASSERT_TRUE(server.started);
  NetDownloader d;
  Transfer cancelled, next;
  startInto(d, server.sim.updateBaseUrl() + "quillmere.jpg", file, cancelled);
  d.cancel();
  EXPECT_FALSE(d.running());
  // The next download on the same object runs to its end; the cancelled one stays silent.
  const fs::path other = tmp.path / "next";
  startInto(d, server.sim.updateBaseUrl() + "quorrit.jpg", other, next);
  ASSERT_TRUE(waitUntil([&] { return !next.done.empty(); }));
  QTest::qWait(200);  // a late call-back of the cancelled one would have come by now
  EXPECT_TRUE(cancelled.progress.empty());
  EXPECT_TRUE(cancelled.done.empty());
  EXPECT_TRUE(next.done[0].ok);
  EXPECT_TRUE(readFile(other) == server.sim.companionFile("quorrit"));
}

TEST_F(Downloads, GoingAwayMidTransferStopsItQuietly) {
  StartedRegSim server;
  ASSERT_TRUE(server.started);
  Transfer run;
  {
    NetDownloader d;
    startInto(d, server.sim.updateBaseUrl() + "quillmere.jpg", file, run);
  }
  QTest::qWait(200);  // a call-back after the downloader went would have come by now
  EXPECT_TRUE(run.done.empty());
}

TEST_F(Downloads, AFileThatCannotBeOpenedFailsWithoutAStatusLine) {
  StartedRegSim server;
  ASSERT_TRUE(server.started);
  NetDownloader d;
  Transfer run;
  startInto(d, server.sim.updateBaseUrl() + "quillmere.jpg", tmp.unwritableFolder() / "x", run);
  ASSERT_TRUE(waitUntil([&] { return !run.done.empty(); }));
  EXPECT_FALSE(run.done[0].ok);
  EXPECT_EQ(run.done[0].statusLine, "");
  EXPECT_TRUE(server.sim.requests().empty());
}

struct LimitCase {
  const char* name;
  const char* fault;      // RegSimOptions::updateFault
  const char* faultFile;  // "" : the downloads
  const char* file;       // what is asked for
  std::int64_t maxBytes;
  bool ok;
  // What lies in the file when done: -1 whole, -2 half of it, else at most this many bytes.
  std::int64_t kept;
};

class DownloadLimits : public Downloads, public ::testing::WithParamInterface<LimitCase> {};

// Hostile servers: a stall, an endless body, a body cut where no length was
// announced, a 103 before the answer, a size past the bound.
TEST_P(DownloadLimits, EndAsTheyShould) {
  const LimitCase c = GetParam();
  sim::RegSimOptions options;
  options.updateFault = c.fault;
  options.updateFaultFile = c.faultFile;
  StartedRegSim server(options);
  ASSERT_TRUE(server.started);
  NetDownloader d;
  d.stallSeconds = 1;  // a minute in the program
  Transfer run;
  startInto(d, server.sim.updateBaseUrl() + c.file, file, run, c.maxBytes);
  ASSERT_TRUE(waitUntil([&] { return !run.done.empty(); }, 20000));
  ASSERT_EQ(run.done.size(), 1u);
  EXPECT_EQ(run.done[0].ok, c.ok);
  if (!c.ok) EXPECT_EQ(run.done[0].statusLine, "") << "no answer of the server failed";
  const std::string whole = std::string(c.file) == "quillmere.jpg" ? server.sim.updateProgram()
                                                                    : server.sim.updateDescriptorBytes();
  const auto size = static_cast<std::int64_t>(whole.size());
  if (c.kept == -1) {
    EXPECT_TRUE(readFile(file) == whole);
  } else if (c.kept == -2) {
    EXPECT_EQ(run.sizeAtDone, size / 2);
  } else {
    EXPECT_LE(run.sizeAtDone, c.kept);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadLimits,
    ::testing::Values(
        LimitCase{"stall", "stall", "", "quillmere.jpg", 512ll << 20, false, -2},
        LimitCase{"endless_descriptor", "endless", "quillmereup.txt", "quillmereup.txt", 64 * 1024, false, 64 * 1024},
        LimitCase{"endless_program", "endless", "", "quillmere.jpg", 1 << 20, false, 1 << 20},
        // Nothing tells a cut from the end here: the caller's SHA-256 does.
        LimitCase{"close_early_without_length", "close-early", "", "quillmere.jpg", 512ll << 20, true, -2},
        LimitCase{"early_hints", "early-hints", "", "quillmere.jpg", 512ll << 20, true, -1},
        LimitCase{"early_hints_descriptor", "early-hints", "quillmereup.txt", "quillmereup.txt", 64 * 1024, true, -1},
        LimitCase{"announced_past_the_bound", "", "", "quillmere.jpg", 1000, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Only http and https: a settings address of another scheme reaches nothing.
TEST_F(Downloads, OtherSchemesAreRefused) {
  TempFolder source("net_downloader_source");
  std::ofstream(source.path / "secret") << "local file";
  for (const std::string url : {"file://" + (source.path / "secret").string(), std::string("ftp://127.0.0.1:1/x"),
                                std::string("ldap://127.0.0.1:1/x"), std::string("dict://127.0.0.1:1/x")}) {
    SCOPED_TRACE(url);
    NetDownloader d;
    Transfer run;
    startInto(d, url, file, run);
    ASSERT_TRUE(waitUntil([&] { return !run.done.empty(); }));
    EXPECT_FALSE(run.done[0].ok);
    EXPECT_EQ(readFile(file), "");
  }
}

}  // namespace
