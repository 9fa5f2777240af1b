#pragma once
// The real main window on an in-process RegSim, for window and end-to-end
// tests: a settings file in the test's own folder, prompts the test scripts,
// and the waits every such test needs. Waits are generous (the web engine starts slowly) and end as soon as
// what they wait for has happened; no test depends on how long anything takes.
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>

#include "app/features.h"
#include "browser/main_window.h"
#include "common/app_state.h"
#include "common/profile_file.h"
#include "common/settings_names.h"
#include "common/ui/scripted_prompts.h"
#include "tests/support/regsim_fixture.h"
#include "tests/support/tab_access.h"

namespace qm::test {

inline constexpr int kLongWait = 60000;

// Runs the event loop until pred holds; false when it never did in time.
template <typename Pred>
bool waitUntil(Pred&& pred, int timeoutMs = kLongWait) {
  return QTest::qWaitFor(std::forward<Pred>(pred), timeoutMs);
}

// Runs the event loop until task has finished; nothing when it did not.
template <typename T>
std::optional<T> awaitResult(QCoro::Task<T> task, int timeoutMs = kLongWait) {
  auto result = std::make_shared<std::optional<T>>();
  auto done = task.then([result](T value) { *result = std::move(value); });
  (void)waitUntil([&] { return result->has_value(); }, timeoutMs);
  return *result;
}

template <typename T>
T awaitTask(QCoro::Task<T> task, int timeoutMs = kLongWait) {
  return awaitResult(std::move(task), timeoutMs).value_or(T{});
}

inline bool awaitDone(QCoro::Task<> task, int timeoutMs = kLongWait) {
  auto finished = std::make_shared<bool>(false);
  auto done = task.then([finished] { *finished = true; });
  return waitUntil([&] { return *finished; }, timeoutMs);
}

// Loads url in view and waits for the load to finish.
inline bool loadAndWait(QWebEngineView* view, const QUrl& url) {
  QSignalSpy finished(view->page(), &QWebEnginePage::loadFinished);
  view->load(url);
  return finished.wait(kLongWait) || finished.count() > 0;
}

// Waits until the root element of slot's page holds text.
inline bool waitForHtml(TForm1& form, int slot, const QString& text, int timeoutMs = kLongWait) {
  return waitUntil(
      [&] { return awaitTask(tabDocument(form, slot).rootInnerHtml(), 10000).toString().contains(text); },
      timeoutMs);
}

// The home tab has shown the server's first page.
inline bool homeLoaded(TForm1& form, int timeoutMs = kLongWait) {
  return waitUntil([&] { return form.panelText(0).startsWith(QStringLiteral("打开完毕!")); }, timeoutMs);
}

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
