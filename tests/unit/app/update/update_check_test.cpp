#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "app/update/update_check.h"
#include "common/text_encoding.h"
#include "tests/support/temp_folder.h"
#include "tests/support/update_signing.h"
#include "tests/unit/app/update/fake_downloader.h"
#include "tests/unit/app/update/recording_view.h"

namespace fs = std::filesystem;
using namespace qm;
using qm::test::FakeDownloader;
using qm::test::FakeResponse;
using qm::test::RecordingUpdateView;
using qm::test::TempFolder;

namespace {

const std::string kBase = "http://up.test/";
const std::string kDescriptorUrl = kBase + "quillmereup.txt";
const std::string kSignatureUrl = kBase + "quillmereup.sig";
const std::string kTamper = "错误|error|升级文件的签名或校验不正确，已停止升级。";
const std::string kProgramUrl = kBase + "quillmere2.jpg";
const std::string kHashAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string kNetworkError = "网络出错！";

using qm::test::readFile;

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string descriptor(const std::string& ver, const std::string& sha = kHashAbc) {
  return utf8ToGb18030("[file]\r\nfilename=quillmere2\r\nver=" + ver + "\r\nsjxx=修复导出\r\nsha256=" + sha + "\r\n");
}

struct Fixture {
  TempFolder tmp{"update_check"};
  FakeDownloader net;
  RecordingUpdateView view;
  bool autoUpdateCheck = false;
  std::unique_ptr<UpdateCheck> check;

  explicit Fixture(std::string publicKey = test::testPublicKey()) {
    std::ofstream(tmp.path / "quillmere", std::ios::binary) << "old program";
    check = std::make_unique<UpdateCheck>(UpdateSetup{program(), kBase, "2.3.40.5", 4242, publicKey}, net, view,
                                          autoUpdateCheck);
  }
  // The descriptor as the publisher signed it.
  void serve(const std::string& bytes, FakeResponse answer = {}) {
    answer.body = bytes;
    net.responses[kDescriptorUrl] = answer;
    net.responses[kSignatureUrl] = {test::signWithTestKey(bytes) + "\n"};
  }
  std::string program() const { return (tmp.path / "quillmere").string(); }
  std::string folder() const { return tmp.path.string() + "/"; }

  void run(bool automatic) {
    autoUpdateCheck = automatic;
    ASSERT_TRUE(check->start());
    net.runAll();
    EXPECT_FALSE(check->running());
    EXPECT_FALSE(autoUpdateCheck);
    // Controls are disabled first and enabled again at the end, whatever happened.
    ASSERT_FALSE(view.events.empty());
    EXPECT_EQ(view.events.front(), "enabled 0");
    EXPECT_FALSE(view.has("unexpected question"));
  }
  std::string lastEnable() const {
    for (auto it = view.events.rbegin(); it != view.events.rend(); ++it)
      if (it->rfind("enabled", 0) == 0) return *it;
    return {};
  }
};

struct StopCase {
  const char* name;
  std::optional<FakeResponse> descriptorAnswer;  // nullopt: server unreachable; signed when it arrives
  bool automatic;
  std::vector<bool> answers;
  std::vector<std::string> shown;  // "title|icon|text"
  bool programRequested;
};

}  // namespace

// Every way the check ends without an update: what it shows, that the old
// program is untouched, and that no download or script is left behind.
TEST(UpdateCheck, EndsWithoutUpdate) {
  const std::string upToDate = "信息|info|您所使用的已经是最新版本！";
  const std::string noVer = "错误|none|无法获取升级文件版本！";
  const StopCase cases[] = {
      {"equal, manual", FakeResponse{descriptor("2.3.40.5")}, false, {}, {upToDate}, false},
      {"equal, automatic", FakeResponse{descriptor("2.3.40.5")}, true, {}, {}, false},
      {"older, manual", FakeResponse{descriptor("2.3.40")}, false, {}, {upToDate}, false},
      {"unreachable, automatic", std::nullopt, true, {}, {}, false},
      {"unreachable, manual", std::nullopt, false, {}, {"Quillmere|none|" + kNetworkError}, false},
      {"404, manual", FakeResponse{"<html/>", "HTTP/1.1 404 Not Found", false}, false, {},
       {"Quillmere|none|" + kNetworkError + "HTTP/1.1 404 Not Found"}, false},
      {"404, automatic", FakeResponse{"<html/>", "HTTP/1.1 404 Not Found", false}, true, {}, {}, false},
      {"missing section, manual", FakeResponse{"[other]\r\nver=9\r\n"}, false, {}, {noVer}, false},
      {"missing section, automatic", FakeResponse{"[other]\r\nver=9\r\n"}, true, {}, {noVer}, false},
      {"bad piece", FakeResponse{descriptor("2.4x")}, true, {},
       {"Quillmere|error|'4x' is not a valid integer value"}, false},
      {"newer, No", FakeResponse{descriptor("2.4")}, false, {false}, {}, false},
      {"newer, No, automatic", FakeResponse{descriptor("2.4")}, true, {false}, {}, false},
      {"newer without hash", FakeResponse{descriptor("2.4", "")}, true, {}, {kTamper}, false},
      {"newer, Yes, dropped download, automatic", FakeResponse{descriptor("2.4")}, true, {true},
       {"Quillmere|none|" + kNetworkError}, true},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture fx;
    if (c.descriptorAnswer) fx.serve(c.descriptorAnswer->body, *c.descriptorAnswer);
    // The program on the server is "abc"; the dropped case loses it half way.
    const bool dropped = std::string(c.name).find("dropped") != std::string::npos;
    fx.net.responses[kProgramUrl] = dropped ? FakeResponse{"abc", "HTTP/1.1 200 OK", true, true, 1} : FakeResponse{"abc"};
    fx.view.answers.assign(c.answers.begin(), c.answers.end());
    fx.run(c.automatic);

    std::vector<std::string> shown;
    for (const Notice& n : fx.view.notices) shown.push_back(n.title + "|" + test::Recorder::iconName(n.icon) + "|" + n.text);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(fx.view.questions.size(), c.answers.size());
    EXPECT_EQ(fx.lastEnable(), "enabled 1");
    EXPECT_FALSE(fx.view.has("close"));
    EXPECT_TRUE(fx.view.scripts.empty());
    const bool arrived = c.descriptorAnswer && c.descriptorAnswer->ok;
    EXPECT_EQ(fx.net.requested.size(), c.programRequested ? 3u : arrived ? 2u : 1u);
    EXPECT_EQ(readFile(fx.program()), "old program");
    // The descriptor and its signature stay when they arrived; nothing else is left.
    std::vector<std::string> expected{"quillmere"};
    if (arrived) expected.insert(expected.end(), {"quillmereup.ini", "quillmereup.sig"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(fx.tmp.path), expected);
  }
}

TEST(UpdateCheck, NetworkErrorPutsTheStatusLineInThePanel) {
  Fixture fx;
  fx.net.responses[kDescriptorUrl] = {"", "HTTP/1.1 503 Service Unavailable", false};
  fx.run(true);
  EXPECT_TRUE(fx.view.notices.empty());
  EXPECT_EQ(fx.view.statuses().back(), "status HTTP/1.1 503 Service Unavailable");
}

TEST(UpdateCheck, NewerAndYesWritesTheScriptStartsItAndClosesTheMainWindow) {
  Fixture fx;
  fx.serve(descriptor("2.4"));
  fx.net.responses[kProgramUrl] = {"abc"};
  fx.view.answers = {true};
  fx.run(true);

  ASSERT_EQ(fx.view.questions.size(), 1u);
  EXPECT_EQ(fx.view.questions[0], (Notice{"新版本2.4已经发布，是否升级？\r主要更新：\r修复导出", "新版本提醒", NoticeIcon::Question}));
  EXPECT_TRUE(fx.view.notices.empty());
  EXPECT_EQ(fx.net.requested, (std::vector<std::string>{kDescriptorUrl, kSignatureUrl, kProgramUrl}));
  EXPECT_EQ(fx.net.limits, (std::vector<std::int64_t>{64 * 1024, 64 * 1024, 512ll * 1024 * 1024}));

  // The verified download lies beside the program with its run bit; the old program is untouched until the script runs.
  const fs::path download = fx.tmp.path / "quillmere2.bak";
  EXPECT_EQ(readFile(download), "abc");
  struct stat st {};
  ASSERT_EQ(::stat(download.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  EXPECT_EQ(readFile(fx.program()), "old program");

  const fs::path script = fx.tmp.path / "SJ.sh";
  EXPECT_EQ(readFile(script), shellUpdateScript(scriptInputsFor(fx.program(), "quillmere2", 4242)));
  ASSERT_EQ(fx.view.scripts.size(), 1u);
  EXPECT_EQ(fx.view.scripts[0].program, "/bin/sh");
  EXPECT_EQ(fx.view.scripts[0].arguments, std::vector<std::string>{script.string()});
  EXPECT_EQ(namesIn(fx.tmp.path),
            (std::vector<std::string>{"SJ.sh", "quillmere", "quillmere2.bak", "quillmereup.ini", "quillmereup.sig"}));

  // The order the dialog sees, progress reports aside.
  std::vector<std::string> steps;
  for (const auto& e : fx.view.events)
    if (e.find("已下载") == std::string::npos && e.find("下载已完成") == std::string::npos) steps.push_back(e);
  EXPECT_EQ(steps, (std::vector<std::string>{"enabled 0", "status 升级配置文件开始下载", "status 下载升级配置文件完成", "ask",
                                             "reveal", "status 主程序文件开始下载", "status! 下载主程序文件完成", "script",
                                             "enabled 1", "close"}));
  EXPECT_TRUE(fx.view.has("status! 下载已完成，请等待文件更新..."));
  EXPECT_EQ(fx.view.bar.back(), std::make_pair(3LL, 3LL));
}

TEST(UpdateCheck, ScriptThatCannotStartKeepsTheProgramOpen) {
  Fixture fx;
  fx.serve(descriptor("3"));
  fx.net.responses[kProgramUrl] = {"abc"};
  fx.view.answers = {true};
  fx.view.scriptStarts = false;
  fx.run(false);
  ASSERT_EQ(fx.view.notices.size(), 1u);
  EXPECT_EQ(fx.view.notices[0].text, "升级脚本无法启动，已停止升级！");
  EXPECT_FALSE(fx.view.has("close"));
  EXPECT_FALSE(fs::exists(fx.tmp.path / "SJ.sh"));
  EXPECT_EQ(readFile(fx.program()), "old program");
}

TEST(UpdateCheck, UnwritableFolder) {
  TempFolder tmp("update_check_locked");
  FakeDownloader net;
  net.responses[kDescriptorUrl] = {descriptor("2.4")};
  for (bool automatic : {true, false}) {
    RecordingUpdateView view;
    bool flag = automatic;
    UpdateCheck check({(tmp.unwritableFolder() / "quillmere").string(), kBase, "2.3.40.5", 1, test::testPublicKey()},
                      net, view, flag);
    ASSERT_TRUE(check.start());
    net.runAll();
    // Quiet at start-up, like an unreachable server; told when asked for.
    EXPECT_EQ(view.notices.size(), automatic ? 0u : 1u);
    if (!automatic) {
      EXPECT_EQ(view.notices[0], (Notice{"文件创建失败，请检查磁盘权限后再试！", "Quillmere", NoticeIcon::Error}));
    }
    EXPECT_FALSE(flag);
    EXPECT_FALSE(check.running());
  }
}

TEST(UpdateCheck, SecondStartWhileRunningIsRefusedAndClosingCancels) {
  Fixture fx;
  fx.serve(descriptor("2.4"));
  ASSERT_TRUE(fx.check->start());
  EXPECT_TRUE(fx.check->running());
  EXPECT_FALSE(fx.check->start());
  EXPECT_EQ(fx.net.requested.size(), 1u);
  fx.check.reset();  // the dialog goes away mid-download
  EXPECT_EQ(fx.net.cancels, 1);
  EXPECT_EQ(namesIn(fx.tmp.path), std::vector<std::string>{"quillmere"});
}

TEST(UpdateCheck, DescriptorWithoutSizeStillCompletes) {
  Fixture fx;
  fx.serve(descriptor("2.3.40.5"), {"", "HTTP/1.1 200 OK", true, false});
  fx.run(false);
  EXPECT_TRUE(fx.view.has("status 已下载:0K字节"));
  ASSERT_EQ(fx.view.notices.size(), 1u);
  EXPECT_EQ(fx.view.notices[0].text, "您所使用的已经是最新版本！");
}

namespace {

std::string wrapped(const std::string& text, std::size_t width) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += width) out += text.substr(i, width) + "\n";
  return out;
}

struct SignatureCase {
  const char* name;
  std::string publicKey;
  std::optional<FakeResponse> signature;  // nullopt: no answer at all
  bool tamperDescriptor = false;          // the bytes served are not the bytes signed
  std::string program = "abc";            // served as the new program, whose hash the descriptor gives
  std::vector<std::string> shownManual, shownAutomatic;
  std::vector<std::string> requested;     // beyond the descriptor
};

}  // namespace

// Who sent the update: only a descriptor signed with the configured key, whose
// program has the hash it gives, gets as far as the script.
TEST(UpdateCheck, SignatureDecidesWhetherAnythingRuns) {
  const std::string signedBytes = descriptor("2.4");
  const std::string good = test::signWithTestKey(signedBytes);
  const std::string raw = test::rawTestSignature(signedBytes);
  const std::string noKey = "Quillmere|error|没有配置升级签名公钥，无法验证升级文件。";
  const std::vector<std::string> sigOnly{kSignatureUrl}, sigAndProgram{kSignatureUrl, kProgramUrl};
  const SignatureCase cases[] = {
      {"right", test::testPublicKey(), FakeResponse{good}, false, "abc", {}, {}, sigAndProgram},
      {"right, wrapped at 76 as base64 does", test::testPublicKey(), FakeResponse{wrapped(good, 76)}, false, "abc", {}, {},
       sigAndProgram},
      {"right, wrapped at 64 with CR LF", test::testPublicKey(), FakeResponse{" " + wrapped(good, 64) + "\r\n\t"}, false,
       "abc", {}, {}, sigAndProgram},
      {"tampered descriptor", test::testPublicKey(), FakeResponse{good}, true, "abc", {kTamper}, {kTamper}, sigOnly},
      {"tampered program", test::testPublicKey(), FakeResponse{good}, false, "abd", {kTamper}, {kTamper}, sigAndProgram},
      {"foreign key", test::foreignPublicKey(), FakeResponse{good}, false, "abc", {kTamper}, {kTamper}, sigOnly},
      {"key of 31 bytes", test::base64(std::string(31, 'k')), FakeResponse{good}, false, "abc", {kTamper}, {kTamper},
       sigOnly},
      {"no .sig (404)", test::testPublicKey(), FakeResponse{"<html/>", "HTTP/1.1 404 Not Found", false}, false, "abc",
       {kTamper}, {kTamper}, sigOnly},
      {"empty .sig", test::testPublicKey(), FakeResponse{""}, false, "abc", {kTamper}, {kTamper}, sigOnly},
      {"63 bytes of signature", test::testPublicKey(), FakeResponse{test::base64(raw.substr(0, 63))}, false, "abc",
       {kTamper}, {kTamper}, sigOnly},
      {"65 bytes of signature", test::testPublicKey(), FakeResponse{test::base64(raw + "x")}, false, "abc", {kTamper},
       {kTamper}, sigOnly},
      {"not base64", test::testPublicKey(), FakeResponse{good.substr(0, 86) + "!="}, false, "abc", {kTamper}, {kTamper},
       sigOnly},
      {".sig unreachable", test::testPublicKey(), std::nullopt, false, "abc", {"Quillmere|none|网络出错！"}, {}, sigOnly},
      {"no key", "", FakeResponse{good}, false, "abc", {noKey}, {}, {}},
  };
  for (const SignatureCase& c : cases) {
    for (bool automatic : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (automatic ? ", automatic" : ", manual"));
      Fixture fx(c.publicKey);
      fx.net.responses[kDescriptorUrl] = {c.tamperDescriptor ? descriptor("2.5") : signedBytes};
      if (c.signature) fx.net.responses[kSignatureUrl] = *c.signature;
      fx.net.responses[kProgramUrl] = {c.program};
      fx.view.answers = {true};
      fx.run(automatic);

      std::vector<std::string> shown;
      for (const Notice& n : fx.view.notices)
        shown.push_back(n.title + "|" + test::Recorder::iconName(n.icon) + "|" + n.text);
      EXPECT_EQ(shown, automatic ? c.shownAutomatic : c.shownManual);
      std::vector<std::string> requested{kDescriptorUrl};
      if (c.publicKey.empty()) requested.clear();
      requested.insert(requested.end(), c.requested.begin(), c.requested.end());
      EXPECT_EQ(fx.net.requested, requested);

      const bool updated = c.shownManual.empty();  // the cases that are not stopped at all
      EXPECT_EQ(fx.view.scripts.size(), updated ? 1u : 0u);
      EXPECT_EQ(fx.view.has("close"), updated);
      EXPECT_EQ(readFile(fx.program()), "old program");
      std::vector<std::string> names{"quillmere"};
      if (!c.publicKey.empty()) names.push_back("quillmereup.ini");
      if (!c.publicKey.empty() && c.signature && c.signature->ok) names.push_back("quillmereup.sig");
      if (updated) names = {"SJ.sh", "quillmere", "quillmere2.bak", "quillmereup.ini", "quillmereup.sig"};
      EXPECT_EQ(namesIn(fx.tmp.path), names);
    }
  }
}

// The hidden start-up check and an about dialog's: only one update at a time.
TEST(UpdateCheck, OneUpdateAtATime) {
  Fixture first, second;
  for (Fixture* fx : {&first, &second}) {
    fx->serve(descriptor("2.4"));
    fx->net.responses[kProgramUrl] = {"abc"};
    fx->view.answers = {true};
  }
  ASSERT_TRUE(first.check->start());
  first.net.runOne();  // the descriptor
  first.net.runOne();  // its signature; Yes: the program download is out
  ASSERT_EQ(first.net.requested.size(), 3u);
  ASSERT_TRUE(first.net.waiting());
  EXPECT_TRUE(updateUnderWay());
  // A check that finds an update under way does nothing.
  EXPECT_FALSE(second.check->start());
  EXPECT_TRUE(second.net.requested.empty());
  EXPECT_TRUE(second.view.events.empty());
  // Once the first one has ended, the second may run.
  first.check->cancel();
  EXPECT_FALSE(updateUnderWay());
  EXPECT_TRUE(second.check->start());
  second.check->cancel();
}

// Cancelling (Esc, the title bar, "退出(&Q)") in the middle of the program download.
TEST(UpdateCheck, CancelDuringTheProgramDownloadLeavesNothing) {
  Fixture fx;
  fx.serve(descriptor("2.4"));
  fx.view.answers = {true};
  ASSERT_TRUE(fx.check->start());
  fx.net.runOne();
  fx.net.runOne();
  ASSERT_EQ(fx.net.requested.size(), 3u);
  ASSERT_TRUE(fx.net.waiting());
  fx.check->cancel();
  EXPECT_FALSE(fx.check->running());
  EXPECT_FALSE(updateUnderWay());
  EXPECT_EQ(fx.net.cancels, 1);
  EXPECT_TRUE(fx.view.notices.empty());
  EXPECT_EQ(fx.lastEnable(), "enabled 1");
  EXPECT_TRUE(fx.view.scripts.empty());
  EXPECT_EQ(namesIn(fx.tmp.path), (std::vector<std::string>{"quillmere", "quillmereup.ini", "quillmereup.sig"}));
}
