#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/companions/companion_fetch.h"
#include "app/companions/companion_tools.h"
#include "common/text_encoding.h"
#include "tests/support/temp_folder.h"
#include "tests/support/update_signing.h"
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

using qm::test::readFile;

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

const std::string kDescriptorUrl = "http://up.test/quillmereup.txt";
const std::string kSignatureUrl = "http://up.test/quillmereup.sig";
const std::string kTamper = "升级文件的签名或校验不正确，已停止升级。";

std::string sha256Of(const std::string& bytes) {
  test::TempFolder tmp("companion_hash");
  std::ofstream(tmp.path / "f", std::ios::binary) << bytes;
  return fileSha256((tmp.path / "f").string());
}

struct Fixture {
  test::TempFolder tmp{"companion_fetch"};
  test::FakeDownloader net;
  RecordingCompanionView view;
  std::string folder() const { return tmp.path.string() + "/"; }

  // The signed descriptor naming these companion bytes; the names and
  // hashes sit under [companions].
  explicit Fixture(const std::map<std::string, std::string>& tools = {{"pellow", "ok"}, {"drumsel", "#!/bin/sh\n"},
                                                                       {"quorrit", "x"}}) {
    std::string text = "[file]\r\nfilename=quillmere\r\nver=1\r\n[companions]\r\n";
    for (const auto& [stem, bytes] : tools) text += stem + "= " + sha256Of(bytes) + " \r\n";
    const std::string bytes = utf8ToGb18030(text);
    net.responses[kDescriptorUrl] = {bytes};
    net.responses[kSignatureUrl] = {test::signWithTestKey(bytes)};
  }
  std::unique_ptr<CompanionFetch> make(std::string key = test::testPublicKey()) {
    return std::make_unique<CompanionFetch>(folder(), "http://up.test/", key, net, view);
  }
  std::vector<std::string> afterDescriptor() const {
    std::vector<std::string> names = namesIn(tmp.path);
    std::erase(names, "quillmereup.ini");
    std::erase(names, "quillmereup.sig");
    return names;
  }
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
    auto fetch = fx.make();
    ASSERT_TRUE(fetch->start("drumsel"));
    fx.net.runAll();

    const fs::path program = fx.tmp.path / "drumsel";
    EXPECT_EQ(readFile(program), "#!/bin/sh\n");
    EXPECT_TRUE((fs::status(program).permissions() & fs::perms::owner_exec) != fs::perms::none);
    EXPECT_EQ(namesIn(fx.tmp.path), (std::vector<std::string>{"drumsel", "quillmereup.ini", "quillmereup.sig"}));
    EXPECT_EQ(fx.net.requested, (std::vector<std::string>{kDescriptorUrl, kSignatureUrl, "http://up.test/drumsel.jpg"}));
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
  // (A body cut where no length was announced comes in as complete; its hash then fails: see below.)
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture fx;
    if (c.answer) fx.net.responses["http://up.test/pellow.jpg"] = *c.answer;
    auto fetch = fx.make();
    ASSERT_TRUE(fetch->start("pellow"));
    fx.net.runAll();
    ASSERT_EQ(fx.view.notices.size(), 1u);
    EXPECT_EQ(fx.view.notices[0], Notice{c.shown});
    EXPECT_EQ(fx.view.statuses().back(), c.status);
    EXPECT_EQ(fx.view.events.back(), "enabled 1");
    EXPECT_FALSE(fx.view.has("close"));
    EXPECT_TRUE(fx.afterDescriptor().empty());
    // The button would offer the download again instead of starting a broken file.
    EXPECT_EQ(installedCompanion(*companionToolForButton("FlatButton24"), fx.folder()), std::nullopt);
    // The dialog stays open and can try again.
    fx.net.responses["http://up.test/pellow.jpg"] = {"ok"};
    ASSERT_TRUE(fetch->start("pellow"));
    fx.net.runAll();
    EXPECT_EQ(installedCompanion(*companionToolForButton("FlatButton24"), fx.folder()), fx.folder() + "pellow");
  }
}

TEST(CompanionFetch, UnwritableFolderSaysSo) {
  Fixture fx;
  fx.net.responses["http://up.test/quorrit.jpg"] = {"x"};
  CompanionFetch fetch(fx.tmp.unwritableFolder().string() + "/", "http://up.test/", test::testPublicKey(), fx.net,
                       fx.view);
  ASSERT_TRUE(fetch.start("quorrit"));
  fx.net.runAll();
  ASSERT_EQ(fx.view.notices.size(), 1u);
  EXPECT_EQ(fx.view.notices[0], (Notice{"文件创建失败，请检查磁盘权限后再试！", "Quillmere", NoticeIcon::Error}));
  EXPECT_FALSE(fx.view.has("close"));
  EXPECT_EQ(fx.view.events.back(), "enabled 1");
}

TEST(CompanionFetch, OneDownloadAtATime) {
  Fixture fx;
  auto fetch = fx.make();
  ASSERT_TRUE(fetch->start("pellow"));
  EXPECT_TRUE(fetch->running());
  EXPECT_FALSE(fetch->start("quorrit"));
  EXPECT_EQ(fx.net.requested, std::vector<std::string>{kDescriptorUrl});
}

// Only a tool whose bytes have the hash the signed descriptor gives is placed and started.
TEST(CompanionFetch, SignedHashDecides) {
  struct Case {
    const char* name;
    std::string key;
    std::string served;   // the bytes of pellow.jpg
    bool listed = true;   // pellow has a line in [companions]
    bool signedRight = true;
    std::string shown;    // empty: started
    std::vector<std::string> requested;
  };
  const std::string tool = "http://up.test/pellow.jpg";
  const Case cases[] = {
      {"right hash", test::testPublicKey(), "ok", true, true, "", {kDescriptorUrl, kSignatureUrl, tool}},
      {"wrong hash", test::testPublicKey(), "ok, but another", true, true, kTamper, {kDescriptorUrl, kSignatureUrl, tool}},
      {"a login portal's 200 page", test::testPublicKey(), "<html>请先登录</html>", true, true, kTamper,
       {kDescriptorUrl, kSignatureUrl, tool}},
      {"no hash for the stem", test::testPublicKey(), "ok", false, true, kTamper, {kDescriptorUrl, kSignatureUrl}},
      {"descriptor signed by someone else", test::foreignPublicKey(), "ok", true, true, kTamper,
       {kDescriptorUrl, kSignatureUrl}},
      {"tampered descriptor", test::testPublicKey(), "ok", true, false, kTamper, {kDescriptorUrl, kSignatureUrl}},
      {"no key", "", "ok", true, true, "没有配置升级签名公钥，无法验证升级文件。", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::map<std::string, std::string> tools{{"quorrit", "x"}};
    if (c.listed) tools["pellow"] = "ok";
    Fixture fx(tools);
    if (!c.signedRight) fx.net.responses[kSignatureUrl] = {test::signWithTestKey("other bytes")};
    fx.net.responses[tool] = {c.served};
    auto fetch = fx.make(c.key);
    ASSERT_TRUE(fetch->start("pellow"));
    fx.net.runAll();
    EXPECT_FALSE(fetch->running());
    EXPECT_EQ(fx.net.requested, c.requested);
    if (c.shown.empty()) {
      EXPECT_TRUE(fx.view.notices.empty());
      EXPECT_TRUE(fx.view.has("start " + fx.folder() + "pellow"));
      EXPECT_EQ(fx.afterDescriptor(), std::vector<std::string>{"pellow"});
      continue;
    }
    ASSERT_EQ(fx.view.notices.size(), 1u);
    EXPECT_EQ(fx.view.notices[0].text, c.shown);
    EXPECT_EQ(fx.view.notices[0].icon, NoticeIcon::Error);
    EXPECT_EQ(fx.view.notices[0].title, c.key.empty() ? "Quillmere" : "错误");
    EXPECT_FALSE(fx.view.has("close"));
    EXPECT_EQ(fx.view.events.back(), "enabled 1");
    EXPECT_TRUE(fx.afterDescriptor().empty());
  }
}

TEST(CompanionFetch, CancelLeavesNothingBehind) {
  Fixture fx;
  fx.net.responses["http://up.test/quorrit.jpg"] = {"x"};
  auto fetch = fx.make();
  ASSERT_TRUE(fetch->start("quorrit"));
  fx.net.runOne();
  fx.net.runOne();
  ASSERT_EQ(fx.net.requested.size(), 3u);
  ASSERT_TRUE(fx.net.waiting());
  fetch->cancel();
  EXPECT_FALSE(fetch->running());
  EXPECT_EQ(fx.net.cancels, 1);
  EXPECT_TRUE(fx.view.notices.empty());
  EXPECT_EQ(fx.view.events.back(), "enabled 1");
  EXPECT_TRUE(fx.afterDescriptor().empty());
}
