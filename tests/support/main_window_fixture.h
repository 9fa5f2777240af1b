#pragma once
// The real main window on an in-process RegSim, for window and end-to-end
// tests: a settings file in the test's own folder, prompts the test scripts,
// page scripts, logging in, and the waits of window_waits.h.
#include <QComboBox>
#include <QPushButton>
#include <memory>
#include <string>

#include "app/features.h"
#include "browser/main_window.h"
#include "common/app_state.h"
#include "common/profile_file.h"
#include "common/settings_names.h"
#include "common/ui/scripted_prompts.h"
#include "tests/support/regsim_fixture.h"
#include "tests/support/tab_access.h"
#include "tests/support/window_waits.h"

namespace qm::test {

// PromptsT answers the window's questions: ScriptedPrompts, a subclass that
// watches them, or the real dialogs.
template <typename PromptsT>
class BasicMainWindowFixture : public RegSimFixture {
 public:
  BasicMainWindowFixture() { state_.settingsPath = settingsFile(); }

  void TearDown() override {
    form_.reset();
    RegSimFixture::TearDown();
  }

  // The server the window opens; firstPage is the path of its home page
  // ("" for the login page).
  void startSim(sim::RegSimOptions options = {}, const std::string& firstPage = {}) {
    startServer(std::move(options));
    state_.serverHost = sim_->host() + firstPage;
  }

  // What the program attaches to the window before it shows; nothing here.
  virtual void install(TForm1&) {}

  // The window as the suite builds it, not yet shown.
  TForm1& buildForm() {
    form_ = std::make_unique<TForm1>(state_, prompts_);
    install(*form_);
    return *form_;
  }
  // The window shown, after its home tab has loaded unless
  // the test says not to wait (no server, or one not meant to answer).
  TForm1& makeForm(bool waitForHome = true) {
    buildForm();
    form_->show();
    if (waitForHome) EXPECT_TRUE(homeLoaded(*form_));
    return *form_;
  }

  std::string settingsFile() const { return path(kSettingsFileName); }
  void writeSetting(const char* section, const char* key, const std::string& value) {
    ASSERT_TRUE(ProfileFile(settingsFile()).write(section, key, value));
  }

  QVariant js(int slot, const QString& script) { return awaitTask(tabDocument(*form_, slot).run(script)); }
  QVariant js(const QString& script) { return js(0, script); }
  bool waitForHtml(int slot, const QString& text, int timeoutMs = kLongWait) {
    return test::waitForHtml(*form_, slot, text, timeoutMs);
  }

  // Logs in on the home tab's login page as the user does, and lets the
  // page that follows finish loading.
  void logIn() {
    ASSERT_TRUE(waitForHtml(0, QStringLiteral("_j_username")));
    js(0, QStringLiteral("document.getElementsByName('_j_username')[0].value = 'demo';"
                         "document.getElementsByName('_j_password')[0].value = 'demo123';"
                         "document.forms[0].submit(); true;"));
    ASSERT_TRUE(waitForHtml(0, QStringLiteral("注销")));
    ASSERT_TRUE(waitUntil([&] { return !tabView(*form_, 0)->page()->isLoading(); }));
  }

  QPushButton* button(const char* name) { return form_->findChild<QPushButton*>(QString::fromLatin1(name)); }
  QComboBox* addressBox() { return form_->findChild<QComboBox*>(QStringLiteral("FlatComboBox1")); }
  QString address(const std::string& path) const { return QString::fromStdString(state_.serverUrl(path)); }
  QUrl url(const std::string& path) const { return QUrl(address(path)); }

  AppState state_;
  PromptsT prompts_;
  std::unique_ptr<TForm1> form_;
};

using MainWindowFixture = BasicMainWindowFixture<ScriptedPrompts>;

// The window with the program's features, as main() builds it.
template <typename PromptsT>
class BasicProgramWindowFixture : public BasicMainWindowFixture<PromptsT> {
 public:
  void install(TForm1& form) override { installFeatures(form); }
};

using ProgramWindowFixture = BasicProgramWindowFixture<ScriptedPrompts>;

}  // namespace qm::test
