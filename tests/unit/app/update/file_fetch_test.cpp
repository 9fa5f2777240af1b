#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "app/update/file_fetch.h"
#include "tests/support/temp_folder.h"
#include "tests/unit/app/update/fake_downloader.h"

namespace fs = std::filesystem;
using namespace qm;
using qm::test::FakeDownloader;
using qm::test::TempFolder;

namespace {

const std::string kHashAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string kUrl = "http://up.test/tool.jpg";

using qm::test::readFile;

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool executable(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 && (st.st_mode & S_IXUSR);
}

struct Fixture {
  TempFolder tmp{"file_fetch"};
  FakeDownloader net;
  std::optional<FetchResult> result;
  int calls = 0;

  FetchResult fetch(FetchRequest req) {
    FileFetch f(net);
    EXPECT_TRUE(f.start(std::move(req), nullptr, [this](const FetchResult& r) {
      result = r;
      ++calls;
    }));
    net.runAll();
    EXPECT_EQ(calls, 1);
    return result.value_or(FetchResult{});
  }
  std::string target() const { return (tmp.path / "tool").string(); }
};

}  // namespace

TEST(FileFetch, LandsCompleteVerifiedFileWithRunBit) {
  Fixture fx;
  fx.net.responses[kUrl] = {"abc"};
  FetchResult r = fx.fetch({kUrl, fx.target(), kHashAbc, true});
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(readFile(fx.target()), "abc");
  EXPECT_TRUE(executable(fx.target()));
  EXPECT_EQ(namesIn(fx.tmp.path), std::vector<std::string>{"tool"});
  // The bytes went to a temporary file beside the target, never to the target itself.
  ASSERT_EQ(fx.net.paths.size(), 1u);
  EXPECT_NE(fx.net.paths[0], fx.target());
  EXPECT_EQ(fs::path(fx.net.paths[0]).parent_path(), fx.tmp.path);
}

TEST(FileFetch, UpperCaseDigestAndNoRunBit) {
  Fixture fx;
  fx.net.responses[kUrl] = {"abc"};
  std::string upper = kHashAbc;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  ASSERT_TRUE(fx.fetch({kUrl, fx.target(), upper, false}).ok());
  EXPECT_FALSE(executable(fx.target()));
}

TEST(FileFetch, FailuresLeaveThePreviousFileAndNothingElse) {
  struct Case {
    const char* name;
    std::optional<test::FakeResponse> response;  // nullopt: connection refused
    std::string sha256;
    FetchResult::Status status;
    const char* statusLine;
  };
  const Case cases[] = {
      {"refused", std::nullopt, "", FetchResult::NetworkError, ""},
      {"404", test::FakeResponse{"<html>not found</html>", "HTTP/1.1 404 Not Found", false}, "",
       FetchResult::NetworkError, "HTTP/1.1 404 Not Found"},
      {"dropped", test::FakeResponse{"abcdef", "HTTP/1.1 200 OK", true, true, 3}, "", FetchResult::NetworkError, ""},
      {"wrong hash", test::FakeResponse{"abd"}, kHashAbc, FetchResult::HashMismatch, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture fx;
    std::ofstream(fx.target(), std::ios::binary) << "old program";
    if (c.response) fx.net.responses[kUrl] = *c.response;
    FetchResult r = fx.fetch({kUrl, fx.target(), c.sha256, true});
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.statusLine, c.statusLine);
    EXPECT_EQ(readFile(fx.target()), "old program");
    EXPECT_EQ(namesIn(fx.tmp.path), std::vector<std::string>{"tool"});
  }
}

TEST(FileFetch, FailedFirstDownloadLeavesNoFile) {
  Fixture fx;
  fx.net.responses[kUrl] = {"abcdef", "HTTP/1.1 200 OK", true, true, 2};
  EXPECT_EQ(fx.fetch({kUrl, fx.target(), "", true}).status, FetchResult::NetworkError);
  EXPECT_TRUE(namesIn(fx.tmp.path).empty());
}

TEST(FileFetch, UnwritableFolderIsAFileError) {
  Fixture fx;
  fx.net.responses[kUrl] = {"abc"};
  std::string target = (fx.tmp.unwritableFolder() / "tool").string();
  FetchResult r = fx.fetch({kUrl, target, "", true});
  EXPECT_EQ(r.status, FetchResult::FileError);
  EXPECT_NE(r.error.find("Unable to write to " + target), std::string::npos);
  EXPECT_TRUE(fx.net.requested.empty());
}

TEST(FileFetch, CancelDeletesTheTemporaryFileAndCallsNothing) {
  Fixture fx;
  fx.net.responses[kUrl] = {"abc"};
  {
    FileFetch f(fx.net);
    ASSERT_TRUE(f.start({kUrl, fx.target(), "", true}, nullptr, [&](const FetchResult&) { ++fx.calls; }));
    EXPECT_TRUE(f.running());
    EXPECT_FALSE(f.start({kUrl, fx.target(), "", true}, nullptr, [&](const FetchResult&) { ++fx.calls; }));
    EXPECT_EQ(namesIn(fx.tmp.path).size(), 1u);  // the temporary file waits for the bytes
  }  // destroyed while the download runs
  EXPECT_EQ(fx.net.cancels, 1);
  EXPECT_FALSE(fx.net.waiting());
  EXPECT_EQ(fx.calls, 0);
  EXPECT_TRUE(namesIn(fx.tmp.path).empty());
}

TEST(FileFetch, ReportsProgressAndSizes) {
  Fixture fx;
  fx.net.responses[kUrl] = {"abcd", "HTTP/1.1 200 OK", true, false};
  std::vector<std::pair<std::int64_t, std::int64_t>> seen;
  FileFetch f(fx.net);
  FetchResult result;
  f.start({kUrl, fx.target(), "", false}, [&](std::int64_t got, std::int64_t total) { seen.emplace_back(got, total); },
          [&](const FetchResult& r) { result = r; });
  fx.net.runAll();
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(seen.back(), (std::pair<std::int64_t, std::int64_t>(4, -1)));
  EXPECT_EQ(result.received, 4);
  EXPECT_EQ(result.total, -1);
}

TEST(FileFetch, Sha256OfAFile) {
  TempFolder tmp("sha");
  std::ofstream(tmp.path / "empty", std::ios::binary).flush();
  EXPECT_EQ(fileSha256((tmp.path / "empty").string()),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(fileSha256((tmp.path / "missing").string()), "");
}

// The temporary file carries this process's id, so a later fetch (or save)
// into the folder removes what a crashed run left and nothing of a live one.
TEST(FileFetch, TemporaryNameCarriesThePidAndStaleOnesAreSwept) {
  Fixture fx;
  // 2^22 + 1 is above Linux's highest pid: no such process lives.
  const fs::path stale = fx.tmp.path / "tool.~qm4194305-AbC123";
  const fs::path live = fx.tmp.path / ("tool.~qm" + std::to_string(::getppid()) + "-XyZ789");
  std::ofstream(stale) << "left by a crash";
  std::ofstream(live) << "another run's download";
  fx.net.responses[kUrl] = {"abc"};
  FileFetch f(fx.net);
  ASSERT_TRUE(f.start({kUrl, fx.target(), kHashAbc, false}, nullptr, [&](const FetchResult&) { ++fx.calls; }));
  ASSERT_EQ(fx.net.paths.size(), 1u);
  const std::string temp = fs::path(fx.net.paths[0]).filename().string();
  EXPECT_EQ(temp.rfind("tool.~qm" + std::to_string(::getpid()) + "-", 0), 0u) << temp;
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(live));
  fx.net.runAll();
  EXPECT_EQ(fx.calls, 1);
  EXPECT_EQ(namesIn(fx.tmp.path), (std::vector<std::string>{"tool", live.filename().string()}));
}

TEST(FileFetch, PassesItsSizeBoundToTheDownloader) {
  Fixture fx;
  fx.net.responses[kUrl] = {"abc"};
  FetchRequest request{kUrl, fx.target(), "", false, 65536};
  EXPECT_TRUE(fx.fetch(request).ok());
  EXPECT_EQ(fx.net.limits, std::vector<std::int64_t>{65536});
}
