// The about dialog's update check against regsim's update server, in both
// modes: "升级(&U)" pressed by the user, and the silent check that Timer3 runs
// on the hidden start-up instance. Questions are answered by ScriptedPrompts;
// the script is recorded instead of started.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "app/update/about_controller.h"
#include "app/update/about_window.h"
#include "app/update/update_script.h"
#include "app/update/version_record.h"
#include "common/app_state.h"
#include "common/ui/scripted_prompts.h"
#include "sim/update_files.h"
#include "tests/e2e/app/update/update_e2e_support.h"
#include "tests/gui/app/window_host_stub.h"

namespace fs = std::filesystem;
using namespace qm;
using namespace qm::test;

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

struct Shown {
  QString text, title;
  PromptIcon icon;
  bool operator==(const Shown&) const = default;
};
void PrintTo(const Shown& s, std::ostream* os) {
  *os << "{" << s.text.toStdString() << " | " << s.title.toStdString() << " | " << int(s.icon) << "}";
}

enum class Server { Newer, Same, NoSection, WrongHash, Drop, Closed, Tampered, Unsigned, ForeignKey, NoKey, Stall };

struct UpdateCase {
  const char* name;
  Server server;
  bool automatic;
  std::deque<bool> answers;      // the new-version question
  std::vector<Shown> messages;   // message boxes, in order
  bool asked;
  bool updated;                  // the download is in, the script written and started
};

sim::RegSimOptions optionsFor(Server s) {
  sim::RegSimOptions o;
  if (s != Server::Same) o.updateVersion = sim::newerProgramVersion();
  o.updateTamperDescriptor = s == Server::Tampered;
  o.updateUnsigned = s == Server::Unsigned;
  if (s == Server::Stall) o.updateFault = "stall";
  o.updateNoSection = s == Server::NoSection;
  o.updateWrongHash = s == Server::WrongHash;
  o.updateDropDownload = s == Server::Drop;
  return o;
}

// The update server's state, the program's folder and the dialog, as the program makes them.
struct AboutRig {
  StartedRegSim server;
  ProgramFolder program;
  AppState state;
  ScriptedPrompts prompts;
  std::vector<ScriptCommand> scripts;
  int closeRequests = 0;

  AboutRig(Server s, const std::string& name)
      : server(optionsFor(s)),
        program(name,
                s == Server::Closed ? "http://127.0.0.1:" + std::to_string(closedPort()) + "/update/"
                                    : server.sim.updateBaseUrl(),
                s == Server::NoKey ? std::string() : s == Server::ForeignKey ? foreignPublicKey() : testPublicKey()) {
    state.settingsPath = program.settingsPath;
  }

  void wire(TForm3& form) {
    form.programPath = program.programPath;
    form.scriptStarter = [this](const ScriptCommand& c) {
      scripts.push_back(c);
      return true;
    };
    form.closeMainWindow = [this] { ++closeRequests; };
  }

  std::vector<Shown> messages() const {
    std::vector<Shown> out;
    for (const RecordedPrompt& p : prompts.log)
      if (p.kind == RecordedPrompt::Message) out.push_back({p.text, p.title, p.icon});
    return out;
  }
  std::vector<RecordedPrompt> questions() const {
    std::vector<RecordedPrompt> out;
    for (const RecordedPrompt& p : prompts.log)
      if (p.kind == RecordedPrompt::Question) out.push_back(p);
    return out;
  }
};

// Button3 "退出(&Q)" is never off: it cancels a running transfer.
bool controlsEnabled(TForm3& form) {
  return form.findChild<QPushButton*>("Button1")->isEnabled() && form.findChild<QPushButton*>("Button3")->isEnabled() &&
         form.findChild<QLabel*>("Label6")->isEnabled();
}

class AboutUpdate : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(AboutUpdate, EndsAsTheCaseSays) {
  const UpdateCase c = GetParam();
  AboutRig rig(c.server, std::string("about_") + c.name);
  rig.prompts.answers = c.answers;
  TForm3 form(rig.state, rig.prompts);
  rig.wire(form);
  if (c.automatic) {
    // What Timer3 does on the hidden start-up instance.
    rig.state.autoUpdateCheck = true;
    form.Button1Click();
  } else {
    form.show();
    form.findChild<QPushButton*>("Button1")->click();
  }
  if (c.server != Server::NoKey) {  // without a key the check ends at once
    EXPECT_TRUE(form.checkRunning());
    EXPECT_FALSE(form.findChild<QPushButton*>("Button1")->isEnabled()) << "no second check meanwhile";
  }
  ASSERT_TRUE(waitUntil([&] { return !form.checkRunning(); }));

  EXPECT_EQ(rig.messages(), c.messages);
  const auto questions = rig.questions();
  ASSERT_EQ(questions.size(), c.asked ? 1u : 0u);
  if (c.asked) {
    EXPECT_EQ(questions[0].title, u("新版本提醒"));
    EXPECT_EQ(questions[0].text, u("新版本") + QString::fromStdString(rig.server.sim.announcedVersion()) +
                                     u("已经发布，是否升级？\n主要更新：\n新增省内学籍批量查重，修正若干问题。"));
  }
  EXPECT_TRUE(controlsEnabled(form));
  EXPECT_FALSE(rig.state.autoUpdateCheck);

  const fs::path dir = rig.program.folder;
  const fs::path download = dir / "quillmere.bak";
  const fs::path script = dir / "SJ.sh";
  if (c.server != Server::Closed && c.server != Server::NoKey) {
    EXPECT_TRUE(fs::exists(dir / "quillmereup.ini")) << "the descriptor stays beside the program";
  }
  if (c.server == Server::NoKey) {
    EXPECT_TRUE(rig.server.sim.requests().empty()) << "nothing is downloaded without a key";
  }
  EXPECT_EQ(readFile(rig.program.programPath), "#!/bin/sh\n# the old program\n") << "the old program is untouched";
  for (const std::string& n : namesIn(dir)) EXPECT_EQ(n.find(".~qm"), std::string::npos) << n << " left behind";
  if (c.updated) {
    EXPECT_TRUE(readFile(download) == rig.server.sim.updateProgram()) << "the program as served";
    struct stat st {};
    ASSERT_EQ(::stat(download.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR) << "the new program can run";
    const UpdateScript expected =
        updateScriptForThisPlatform(scriptInputsFor(rig.program.programPath, sim::kUpdateProgramStem, ::getpid()));
    EXPECT_EQ(readFile(script), expected.bytes);
    ASSERT_EQ(rig.scripts.size(), 1u);
    EXPECT_EQ(rig.scripts[0].program, expected.command.program);
    EXPECT_EQ(rig.scripts[0].arguments, expected.command.arguments);
    EXPECT_EQ(rig.closeRequests, 1);
    EXPECT_EQ(form.statusText(), u("下载主程序文件完成"));
    auto* bar = form.findChild<QProgressBar*>("ProgressBar1");
    EXPECT_EQ(bar->maximum(), static_cast<int>(rig.server.sim.updateProgram().size()));
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(form.isVisible()) << "a check that found an update shows its dialog";
  } else {
    EXPECT_FALSE(fs::exists(download)) << "nothing unverified or partial stays";
    EXPECT_FALSE(fs::exists(script));
    EXPECT_TRUE(rig.scripts.empty());
    EXPECT_EQ(rig.closeRequests, 0);
    if (c.automatic && !c.asked) {
      EXPECT_FALSE(form.isVisible()) << "the start-up instance stays hidden";
    }
  }
}

const Shown kUpToDate{u("您所使用的已经是最新版本！"), u("信息"), PromptIcon::Information};
const Shown kNetworkError{u("网络出错！"), u("Quillmere"), PromptIcon::None};
const Shown kNoVersion{u("无法获取升级文件版本！"), u("错误"), PromptIcon::None};
const Shown kTamper{u("升级文件的签名或校验不正确，已停止升级。"), u("错误"), PromptIcon::Error};
const Shown kNoKey{u("没有配置升级签名公钥，无法验证升级文件。"), u("Quillmere"), PromptIcon::Error};

INSTANTIATE_TEST_SUITE_P(
    Cases, AboutUpdate,
    ::testing::Values(
        UpdateCase{"up_to_date_manual", Server::Same, false, {}, {kUpToDate}, false, false},
        UpdateCase{"up_to_date_automatic", Server::Same, true, {}, {}, false, false},
        UpdateCase{"newer_no_manual", Server::Newer, false, {false}, {}, true, false},
        UpdateCase{"newer_no_automatic", Server::Newer, true, {false}, {}, true, false},
        UpdateCase{"newer_yes_manual", Server::Newer, false, {true}, {}, true, true},
        UpdateCase{"newer_yes_automatic", Server::Newer, true, {true}, {}, true, true},
        UpdateCase{"unreachable_manual", Server::Closed, false, {}, {kNetworkError}, false, false},
        UpdateCase{"unreachable_automatic", Server::Closed, true, {}, {}, false, false},
        UpdateCase{"no_section_manual", Server::NoSection, false, {}, {kNoVersion}, false, false},
        UpdateCase{"no_section_automatic", Server::NoSection, true, {}, {kNoVersion}, false, false},
        UpdateCase{"wrong_hash_manual", Server::WrongHash, false, {true}, {kTamper}, true, false},
        UpdateCase{"wrong_hash_automatic", Server::WrongHash, true, {true}, {kTamper}, true, false},
        UpdateCase{"tampered_descriptor_manual", Server::Tampered, false, {}, {kTamper}, false, false},
        UpdateCase{"tampered_descriptor_automatic", Server::Tampered, true, {}, {kTamper}, false, false},
        UpdateCase{"unsigned_manual", Server::Unsigned, false, {}, {kTamper}, false, false},
        UpdateCase{"unsigned_automatic", Server::Unsigned, true, {}, {kTamper}, false, false},
        UpdateCase{"foreign_key_manual", Server::ForeignKey, false, {}, {kTamper}, false, false},
        UpdateCase{"foreign_key_automatic", Server::ForeignKey, true, {}, {kTamper}, false, false},
        UpdateCase{"no_key_manual", Server::NoKey, false, {}, {kNoKey}, false, false},
        UpdateCase{"no_key_automatic", Server::NoKey, true, {}, {}, false, false},
        UpdateCase{"dropped_manual", Server::Drop, false, {true}, {kNetworkError}, true, false},
        UpdateCase{"dropped_automatic", Server::Drop, true, {true}, {kNetworkError}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AboutWindow, ShowsTheCompiledInVersionAndItsFixedTexts) {
  AppState state;
  ScriptedPrompts prompts;
  TForm3 form(state, prompts);
  const VersionRecord& v = programVersionRecord();
  EXPECT_EQ(form.windowTitle(), u("关于"));
  EXPECT_EQ(form.findChild<QLabel*>("Label2")->text(), u("Quillmere"));
  EXPECT_EQ(form.findChild<QLabel*>("Label3")->text(),
            QString::fromStdString("版本:" + sim::builtProgramVersion() + " (" + v.productVersion + ")"));
  EXPECT_EQ(form.findChild<QLabel*>("Label4")->text(), QString::fromStdString(v.legalCopyright));
  EXPECT_EQ(form.findChild<QPushButton*>("Button1")->text(), u("升级(&U)"));
  EXPECT_TRUE(form.findChild<QPushButton*>("Button1")->isDefault());
  EXPECT_EQ(form.findChild<QPushButton*>("Button3")->text(), u("退出(&Q)"));
  EXPECT_EQ(form.findChild<QLabel*>("Image1")->pixmap().size(), QSize(85, 84));
  EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "fixed size";
}

TEST(AboutWindow, TheLinkOpensThePublishersSiteAndCloses) {
  AppState state;
  ScriptedPrompts prompts;
  TForm3 form(state, prompts);
  QStringList opened;
  form.openLink = [&](const QString& a) { opened << a; };
  form.show();
  form.Label6Click();
  EXPECT_EQ(opened, QStringList{u(kPublisherSiteUrl)});
  EXPECT_FALSE(form.isVisible());
}

TEST(AboutController, TheStartUpInstanceChecksSilentlyFiveSecondsAfterStart) {
  AboutRig rig(Server::Same, "about_timer");
  WindowHostStub host;
  host.appState.settingsPath = rig.program.settingsPath;
  auto* controller = new AboutController(host);
  QTimer* timer = host.mainWindow.findChild<QTimer*>("Timer3");
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->isActive());
  EXPECT_TRUE(timer->isSingleShot());
  EXPECT_EQ(timer->interval(), 5000);
  TForm3* startup = controller->startupForm();
  ASSERT_NE(startup, nullptr);
  EXPECT_FALSE(startup->isVisible());
  startup->programPath = rig.program.programPath;

  timer->stop();
  controller->Timer3Timer();
  EXPECT_TRUE(startup->checkRunning());
  ASSERT_TRUE(waitUntil([&] { return !startup->checkRunning(); }));
  EXPECT_TRUE(host.scripted.log.empty()) << "up to date at start-up says nothing";
  EXPECT_FALSE(startup->isVisible());
  EXPECT_FALSE(host.appState.autoUpdateCheck);
  ASSERT_EQ(rig.server.sim.requests().size(), 2u);
  EXPECT_EQ(rig.server.sim.requests()[0].path, "/update/quillmereup.txt");
  EXPECT_EQ(rig.server.sim.requests()[1].path, "/update/quillmereup.sig");

  // "关于" makes a new modal dialog each time; a manual check there speaks up.
  QPushButton* about = host.button("FlatButton12");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->text(), u("关于"));
  int opened = 0;
  controller->runDialog = [&](TForm3& form) {
    ++opened;
    EXPECT_NE(&form, startup);
    EXPECT_EQ(form.parentWidget(), &host.mainWindow);
    form.programPath = rig.program.programPath;
    form.Button1Click();
    ASSERT_TRUE(waitUntil([&] { return !form.checkRunning(); }));
  };
  about->click();
  about->click();
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(host.scripted.messages(), QStringList({u("您所使用的已经是最新版本！"), u("您所使用的已经是最新版本！")}));
}

// Esc, the title bar's close and "退出(&Q)" while the program download stalls:
// the download stops, nothing of it stays and the dialog closes at once.
TEST(AboutWindow, ClosingDuringAStalledDownloadCancelsIt) {
  const std::pair<const char*, std::function<void(TForm3&)>> ways[] = {
      {"Esc", [](TForm3& f) { QTest::keyClick(&f, Qt::Key_Escape); }},
      {"title bar", [](TForm3& f) { f.close(); }},
      {"退出(&Q)", [](TForm3& f) { f.findChild<QPushButton*>("Button3")->click(); }},
  };
  for (const auto& [name, closeIt] : ways) {
    SCOPED_TRACE(name);
    AboutRig rig(Server::Stall, "about_cancel");
    rig.prompts.answers = {true};
    TForm3 form(rig.state, rig.prompts);
    rig.wire(form);
    form.show();
    form.findChild<QPushButton*>("Button1")->click();
    // The program download has begun and then stalls half way.
    auto* bar = form.findChild<QProgressBar*>("ProgressBar1");
    ASSERT_TRUE(waitUntil([&] { return bar->value() > 0 && bar->value() < bar->maximum(); }, 20000));
    EXPECT_TRUE(form.checkRunning());
    EXPECT_TRUE(form.findChild<QPushButton*>("Button3")->isEnabled()) << "退出(&Q) can cancel";
    EXPECT_FALSE(form.findChild<QPushButton*>("Button1")->isEnabled());
    closeIt(form);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.checkRunning());
    EXPECT_TRUE(rig.messages().empty());
    EXPECT_EQ(namesIn(rig.program.folder),
              (std::vector<std::string>{"quillmere", "quillmeresz.ini", "quillmereup.ini", "quillmereup.sig"}));
    EXPECT_TRUE(rig.scripts.empty());
    // Another check may run at once: the cancelled one holds no update.
    EXPECT_FALSE(updateUnderWay());
  }
}

}  // namespace
