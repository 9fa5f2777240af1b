// The companion tools as the user meets them: a tool that lies in the
// program's folder starts at once; otherwise TForm11 fetches it from regsim,
// starts it and closes; a download that fails leaves nothing a later click
// would start.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <sys/stat.h>

#include "app/companions/companion_tools.h"
#include "app/companions/companions_controller.h"
#include "app/companions/companions_window.h"
#include "tests/e2e/app/update/update_e2e_support.h"
#include "tests/gui/app/window_host_stub.h"

namespace fs = std::filesystem;
using namespace qm;
using namespace qm::test;

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

struct CompanionRig {
  StartedRegSim server;
  ProgramFolder program;
  WindowHostStub host;
  CompanionsController* controller = nullptr;
  std::vector<std::string> started;  // programs started, in order
  std::vector<QString> dialogs;      // Label2 of each dialog opened

  CompanionRig(const std::string& name, sim::RegSimOptions options = {}, bool closed = false,
               const std::string& publicKey = testPublicKey())
      : server(std::move(options)),
        program(name,
                closed ? "http://127.0.0.1:" + std::to_string(closedPort()) + "/update/" : server.sim.updateBaseUrl(),
                publicKey) {
    host.appState.settingsPath = program.settingsPath;
    controller = new CompanionsController(host);
    controller->folder = program.dir();
    controller->programStarter = [this](const std::string& path) { started.push_back(path); };
  }

  // Opens with the dialog pressed "扩展(&U)" and waits until its download has ended.
  void fetchOnOpen() {
    controller->runDialog = [this](TForm11& form) {
      dialogs.push_back(form.findChild<QLabel*>("Label2")->text());
      form.show();
      form.findChild<QPushButton*>("Button1")->click();
      // (Without a key nothing is fetched and the button is back at once.)
      EXPECT_EQ(form.findChild<QPushButton*>("Button1")->isEnabled(), !form.downloading());
      EXPECT_TRUE(form.findChild<QPushButton*>("Button3")->isEnabled()) << "退出(&Q) cancels";
      ASSERT_TRUE(waitUntil([&] { return !form.downloading(); }));
      statusAfter = form.statusText();
      closedAfter = !form.isVisible();
    };
  }
  QString statusAfter;
  bool closedAfter = false;
};

TEST(CompanionButtons, AreInTheToolColumnWithTheirCaptionsAndTheCalculatorKey) {
  CompanionRig rig("companion_buttons");
  const std::pair<const char*, const char*> buttons[] = {
      {"FlatButton24", "合并"}, {"FlatButton25", "录入"}, {"FlatButton27", "体测"}, {"FlatButton14", "计算器"}};
  for (const auto& [name, caption] : buttons) {
    ASSERT_NE(rig.host.button(name), nullptr) << name;
    EXPECT_EQ(rig.host.button(name)->text(), u(caption));
  }
  EXPECT_EQ(rig.host.keys["FlatButton14"], QKeySequence(Qt::Key_F2));
  // Two calculators on the search path: the desktop's own one is started.
  const TempFolder bin("companion_calculators");
  for (const char* name : {"gnome-calculator", "kcalc"})
    fs::permissions(bin.write(name, "#!/bin/sh\n"), fs::perms::owner_all);
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  const std::string desktopBefore = desktop ? desktop : "";
  ::setenv("PATH", bin.path.c_str(), 1);
  ::setenv("XDG_CURRENT_DESKTOP", "ubuntu:KDE", 1);
  rig.host.button("FlatButton14")->click();
  ::setenv("PATH", path.c_str(), 1);
  if (desktop) ::setenv("XDG_CURRENT_DESKTOP", desktopBefore.c_str(), 1);
  else ::unsetenv("XDG_CURRENT_DESKTOP");
  ASSERT_EQ(rig.started.size(), 1u);
  EXPECT_EQ(rig.started[0], bin.file("kcalc"));
}


TEST(CompanionButtons, AToolInTheFolderStartsAtOnceWithoutTheDialog) {
  CompanionRig rig("companion_installed");
  const fs::path pellow = rig.program.folder / "pellow";
  std::ofstream(pellow) << "#!/bin/sh\n";
  rig.controller->runDialog = [&](TForm11&) { rig.dialogs.push_back("opened"); };
  rig.host.button("FlatButton24")->click();
  EXPECT_EQ(rig.started, std::vector<std::string>{pellow.string()});
  EXPECT_TRUE(rig.dialogs.empty());
  EXPECT_TRUE(rig.server.sim.requests().empty());
}

struct FetchCase {
  const char* button;
  const char* stem;         // downloaded and started
  const char* displayName;  // Label2
};

class CompanionFetchOk : public ::testing::TestWithParam<FetchCase> {};

TEST_P(CompanionFetchOk, DownloadsStartsAndCloses) {
  const FetchCase c = GetParam();
  CompanionRig rig(std::string("companion_ok_") + c.stem);
  // "录入" looks for drumsap: an older drumsel does not stop the dialog, and is replaced.
  const fs::path target = rig.program.folder / c.stem;
  if (std::string(c.stem) == "drumsel") std::ofstream(target) << "older";
  rig.fetchOnOpen();
  rig.host.button(c.button)->click();
  EXPECT_EQ(rig.host.appState.companionToolName, c.stem);
  EXPECT_EQ(rig.dialogs, std::vector<QString>{u(c.displayName)});
  EXPECT_TRUE(readFile(target) == rig.server.sim.companionFile(c.stem)) << "the file as served";
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  EXPECT_EQ(rig.started, std::vector<std::string>{target.string()});
  EXPECT_TRUE(rig.closedAfter);
  EXPECT_EQ(rig.statusAfter, u("下载升级配置文件完成"));
  // The signed descriptor first, then the tool it gives the hash of.
  std::vector<std::string> paths;
  for (const auto& r : rig.server.sim.requests()) paths.push_back(r.path);
  EXPECT_EQ(paths, (std::vector<std::string>{"/update/quillmereup.txt", "/update/quillmereup.sig",
                                             std::string("/update/") + c.stem + ".jpg"}));
}

INSTANTIATE_TEST_SUITE_P(Tools, CompanionFetchOk,
                         ::testing::Values(FetchCase{"FlatButton24", "pellow", "Pellowin"},
                                           FetchCase{"FlatButton25", "drumsel", "Drumselle"},
                                           FetchCase{"FlatButton27", "quorrit", "Quorritan"}),
                         [](const auto& info) { return std::string(info.param.stem); });

enum class Fault { Unreachable, Dropped, CloseEarly, WrongHash, Tampered, Unsigned, ForeignKey, NoKey, EarlyHints };

struct FailCase {
  const char* name;
  Fault fault;
  const char* message;  // nullptr: no message, the tool starts
};

class CompanionFetchFails : public ::testing::TestWithParam<FailCase> {};

TEST_P(CompanionFetchFails, LeavesNothingStartableAndOffersTheDownloadAgain) {
  const FailCase c = GetParam();
  sim::RegSimOptions options;
  options.updateDropDownload = c.fault == Fault::Dropped;
  options.updateCompanionWrongHash = c.fault == Fault::WrongHash;
  options.updateTamperDescriptor = c.fault == Fault::Tampered;
  options.updateUnsigned = c.fault == Fault::Unsigned;
  if (c.fault == Fault::CloseEarly) options.updateFault = "close-early";
  if (c.fault == Fault::EarlyHints) options.updateFault = "early-hints";
  const std::string key = c.fault == Fault::NoKey        ? std::string()
                          : c.fault == Fault::ForeignKey ? foreignPublicKey()
                                                         : testPublicKey();
  CompanionRig rig(std::string("companion_") + c.name, options, c.fault == Fault::Unreachable, key);
  rig.fetchOnOpen();
  rig.host.button("FlatButton27")->click();
  if (!c.message) {
    EXPECT_TRUE(rig.host.scripted.log.empty());
    EXPECT_EQ(rig.started, std::vector<std::string>{rig.program.dir() + "quorrit"});
    EXPECT_TRUE(readFile(rig.program.folder / "quorrit") == rig.server.sim.companionFile("quorrit"));
    return;
  }
  EXPECT_EQ(rig.host.scripted.log.size(), 1u);
  EXPECT_EQ(rig.host.scripted.lastMessage(), u(c.message));
  EXPECT_TRUE(rig.started.empty());
  EXPECT_FALSE(rig.closedAfter) << "the dialog stays open after a failure";
  // Nothing but the descriptor and its signature, where they came.
  std::vector<std::string> names{"quillmere", "quillmeresz.ini"};
  const bool descriptorCame = c.fault != Fault::Unreachable && c.fault != Fault::NoKey;
  if (descriptorCame) names.push_back("quillmereup.ini");
  if (descriptorCame && c.fault != Fault::Unsigned) names.push_back("quillmereup.sig");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(namesIn(rig.program.folder), names);
  if (c.fault == Fault::NoKey) EXPECT_TRUE(rig.server.sim.requests().empty());
  // A later click finds no program and offers the download again.
  rig.host.button("FlatButton27")->click();
  EXPECT_EQ(rig.dialogs.size(), 2u);
  EXPECT_TRUE(rig.started.empty());
}

const char* const kTamperText = "升级文件的签名或校验不正确，已停止升级。";

INSTANTIATE_TEST_SUITE_P(
    Faults, CompanionFetchFails,
    ::testing::Values(FailCase{"unreachable", Fault::Unreachable, "网络出错！"},
                      FailCase{"dropped", Fault::Dropped, "网络出错！"},
                      // A 200 without a length cut by a closed connection: its hash gives it away.
                      FailCase{"close_early", Fault::CloseEarly, kTamperText},
                      FailCase{"wrong_hash", Fault::WrongHash, kTamperText},
                      FailCase{"tampered_descriptor", Fault::Tampered, kTamperText},
                      FailCase{"unsigned", Fault::Unsigned, kTamperText},
                      FailCase{"foreign_key", Fault::ForeignKey, kTamperText},
                      FailCase{"no_key", Fault::NoKey, "没有配置升级签名公钥，无法验证升级文件。"},
                      FailCase{"early_hints", Fault::EarlyHints, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// Esc during a stalled download: the transfer stops, nothing of it stays, the dialog closes.
TEST(CompanionDialog, EscapeDuringAStalledDownloadCancelsIt) {
  sim::RegSimOptions options;
  options.updateFault = "stall";
  CompanionRig rig("companion_stall", options);
  bool wasDownloading = false, closed = false;
  rig.controller->runDialog = [&](TForm11& form) {
    form.show();
    form.findChild<QPushButton*>("Button1")->click();
    auto* bar = form.findChild<QProgressBar*>("ProgressBar1");
    ASSERT_TRUE(waitUntil([&] { return bar->value() > 0 && bar->value() < bar->maximum(); }, 20000));
    wasDownloading = form.downloading();
    QTest::keyClick(&form, Qt::Key_Escape);
    closed = !form.isVisible() && !form.downloading();
  };
  rig.host.button("FlatButton24")->click();
  EXPECT_TRUE(wasDownloading);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(rig.host.scripted.log.empty());
  EXPECT_TRUE(rig.started.empty());
  EXPECT_EQ(namesIn(rig.program.folder),
            (std::vector<std::string>{"quillmere", "quillmeresz.ini", "quillmereup.ini", "quillmereup.sig"}));
}

TEST(CompanionDialog, QuitAndEscapeCloseWithoutDownloading) {
  CompanionRig rig("companion_quit");
  for (bool escape : {false, true}) {
    rig.controller->runDialog = [&](TForm11& form) {
      form.show();
      if (escape)
        QTest::keyClick(&form, Qt::Key_Escape);
      else
        form.findChild<QPushButton*>("Button3")->click();
      EXPECT_FALSE(form.isVisible());
    };
    rig.host.button("FlatButton25")->click();
  }
  EXPECT_TRUE(rig.server.sim.requests().empty());
  EXPECT_TRUE(rig.started.empty());
}

TEST(CompanionDialog, ShowsItsTextsAndKeepsLabel2ForAnUnknownTool) {
  AppState state;
  state.companionToolName = "other";
  ScriptedPrompts prompts;
  TForm11 form(state, prompts, "/nonexistent/");
  EXPECT_EQ(form.windowTitle(), u("功能扩展"));
  EXPECT_EQ(form.findChild<QLabel*>("Label2")->text(), u("Label2"));
  EXPECT_EQ(form.findChild<QLabel*>("Label1")->text(), u("本次您即将要扩展的功能是："));
  EXPECT_EQ(form.findChild<QLabel*>("Label3")->text(), u("如果您确认扩展，请点击→"));
  EXPECT_TRUE(form.findChild<QLabel*>("Label5")->text().startsWith(u("    我们的Quillmere功能越来越强大了！")));
  EXPECT_EQ(form.findChild<QPushButton*>("Button1")->text(), u("扩展(&U)"));
  EXPECT_EQ(form.findChild<QPushButton*>("Button3")->text(), u("退出(&Q)"));
}

}  // namespace
