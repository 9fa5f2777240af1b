#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/companions/companion_fetch.h"
#include "app/companions/companion_tools.h"
#include "tests/support/temp_folder.h"
#include "tests/unit/app/update/fake_downloader.h"
#include "tests/unit/app/update/recording_view.h"

namespace fs = std::filesystem;
using namespace qm;
using qm::test::FakeResponse;

namespace {

class RecordingCompanionView : public test::RecordingTransferView<CompanionView> {
 public:
  void startProgram(const std::string& path) override { events.push_back("start " + path); }
  void closeDialog() override { events.push_back("close"); }
};

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct Fixture {
  test::TempFolder tmp{"companion_fetch"};
  test::FakeDownloader net;
  RecordingCompanionView view;
  std::string folder() const { return tmp.path.string() + "/"; }
};

}  // namespace

TEST(CompanionFetch, DownloadsStartsAndCloses) {
  for (bool immediate : {false, true}) {
    SCOPED_TRACE(immediate ? "answered at once" : "answered later");
    Fixture fx;
    fx.net.immediate = immediate;
    fx.net.responses["http://up.test/drumsel.jpg"] = {"#!/bin/sh\n"};
    // An old download of the same name is replaced.
    std::ofstream(fx.tmp.path / "drumsel") << "old";
    CompanionFetch fetch(fx.folder(), "http://up.test/", fx.net, fx.view);
    ASSERT_TRUE(fetch.start("drumsel"));
    fx.net.runAll();

    const fs::path program = fx.tmp.path / "drumsel";
    EXPECT_EQ(readAll(program), "#!/bin/sh\n");
    EXPECT_TRUE((fs::status(program).permissions() & fs::perms::owner_exec) != fs::perms::none);
    EXPECT_EQ(namesIn(fx.tmp.path), std::vector<std::string>{"drumsel"});
    std::vector<std::string> steps;
    for (const auto& e : fx.view.events)
      if (e.find("已下载") == std::string::npos && e.find("下载已完成") == std::string::npos) steps.push_back(e);
    EXPECT_EQ(steps, (std::vector<std::string>{"enabled 0", "status 升级配置文件开始下载", "status 下载升级配置文件完成",
                                               "enabled 1", "start " + program.string(), "close"}));
    EXPECT_TRUE(fx.view.notices.empty());
  }
}

TEST(CompanionFetch, FailedDownloadLeavesNothingStartable) {
  struct Case {
    const char* name;
    std::optional<FakeResponse> answer;
    std::string shown;
    std::string status;
  };
  const Case cases[] = {
      {"refused", std::nullopt, "网络出错！", "status "},
      {"500", FakeResponse{"oops", "HTTP/1.1 500 Internal Server Error", false}, "网络出错！HTTP/1.1 500 Internal Server Error",
       "status HTTP/1.1 500 Internal Server Error"},
      {"dropped", FakeResponse{"#!/bin/sh\nlong program\n", "HTTP/1.1 200 OK", true, true, 5}, "网络出错！", "status "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture fx;
    if (c.answer) fx.net.responses["http://up.test/pellow.jpg"] = *c.answer;
    CompanionFetch fetch(fx.folder(), "http://up.test/", fx.net, fx.view);
    ASSERT_TRUE(fetch.start("pellow"));
    fx.net.runAll();
    ASSERT_EQ(fx.view.notices.size(), 1u);
    EXPECT_EQ(fx.view.notices[0], Notice{c.shown});
    EXPECT_EQ(fx.view.statuses().back(), c.status);
    EXPECT_EQ(fx.view.events.back(), "enabled 1");
    EXPECT_FALSE(fx.view.has("close"));
    EXPECT_TRUE(namesIn(fx.tmp.path).empty());
    // The button would offer the download again instead of starting a broken file.
    EXPECT_EQ(installedCompanion(*companionToolForButton("FlatButton24"), fx.folder()), std::nullopt);
    // The dialog stays open and can try again.
    fx.net.responses["http://up.test/pellow.jpg"] = {"ok"};
    ASSERT_TRUE(fetch.start("pellow"));
    fx.net.runAll();
    EXPECT_EQ(installedCompanion(*companionToolForButton("FlatButton24"), fx.folder()), fx.folder() + "pellow");
  }
}

TEST(CompanionFetch, UnwritableFolderSaysSo) {
  Fixture fx;
  fx.net.responses["http://up.test/quorrit.jpg"] = {"x"};
  CompanionFetch fetch(fx.tmp.unwritableFolder().string() + "/", "http://up.test/", fx.net, fx.view);
  ASSERT_TRUE(fetch.start("quorrit"));
  fx.net.runAll();
  ASSERT_EQ(fx.view.notices.size(), 1u);
  EXPECT_EQ(fx.view.notices[0], (Notice{"文件创建失败，请检查磁盘权限后再试！", "Quillmere", NoticeIcon::Error}));
  EXPECT_FALSE(fx.view.has("close"));
  EXPECT_EQ(fx.view.events.back(), "enabled 1");
}

TEST(CompanionFetch, OneDownloadAtATime) {
  Fixture fx;
  CompanionFetch fetch(fx.folder(), "http://up.test/", fx.net, fx.view);
  ASSERT_TRUE(fetch.start("pellow"));
  EXPECT_TRUE(fetch.running());
  EXPECT_FALSE(fetch.start("quorrit"));
  EXPECT_EQ(fx.net.requested, std::vector<std::string>{"http://up.test/pellow.jpg"});
}
