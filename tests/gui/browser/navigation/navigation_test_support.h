#pragma once
// A real main window with its features installed, on an in-process RegSim,
// and the waits the navigation tests need. Waits are generous: the web
// engine starts slowly; no test depends on how long anything takes.
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>

#include "app/features.h"
#include "common/profile_file.h"
#include "common/settings_names.h"
#include "browser/navigation/login_keeper.h"
#include "browser/main_window.h"
#include "tests/support/tab_access.h"
#include "browser/navigation/navigation.h"
#include "common/app_state.h"
#include "common/ui/scripted_prompts.h"
#include "sim/regsim.h"

namespace qm::navtest {

inline constexpr int kLongWait = 60000;

template <typename T>
T awaitTask(QCoro::Task<T> task, int timeoutMs = kLongWait) {
  auto result = std::make_shared<std::optional<T>>();
  auto done = task.then([result](T value) { *result = std::move(value); });
  (void)QTest::qWaitFor([&] { return result->has_value(); }, timeoutMs);
  return result->value_or(T{});
}

inline bool awaitDone(QCoro::Task<> task, int timeoutMs = kLongWait) {
  auto finished = std::make_shared<bool>(false);
  auto done = task.then([finished] { *finished = true; });
  return QTest::qWaitFor([&] { return *finished; }, timeoutMs);
}

class NavigationWindowTest : public ::testing::Test {
 public:
  void TearDown() override {
    form_.reset();
    sim_.reset();
  }

  void startSim(sim::RegSimOptions options = {}) {
    sim_ = std::make_unique<sim::RegSim>(options);
    ASSERT_TRUE(sim_->start());
    state_.serverHost = sim_->host();
  }

  // Settings file with the login name; nullopt leaves the key out.
  void writeSettings(const std::optional<std::string>& loginName) {
    ASSERT_TRUE(dir_.isValid());
    state_.settingsPath = QDir(dir_.path()).filePath(kSettingsFileName).toStdString();
    QFile::remove(QString::fromStdString(state_.settingsPath));
    ProfileFile file(state_.settingsPath);
    ASSERT_TRUE(file.write(kProvinceSection, kProvinceKey, "99"));
    if (loginName) {
      ASSERT_TRUE(file.write(kLoginSection, kLoginKey, *loginName));
    }
  }

  // The window as the program builds it, after its home tab has loaded
  // (unless the server is not meant to answer).
  TForm1& makeForm(bool waitForHome = true) {
    if (state_.settingsPath.empty()) writeSettings(std::nullopt);
    form_ = std::make_unique<TForm1>(state_, prompts_);
    installFeatures(*form_);
    recordClicks();
    form_->show();
    if (!waitForHome) return *form_;
    EXPECT_TRUE(QTest::qWaitFor([&] { return form_->panelText(0).startsWith(QStringLiteral("打开完毕!")); },
                                kLongWait));
    return *form_;
  }

  Navigation& navigation() { return *form_->findChild<Navigation*>(); }
  LoginKeeper& keeper() { return *form_->findChild<LoginKeeper*>(); }

  QVariant js(int slot, const QString& script) { return awaitTask(tabDocument(*form_, slot).run(script)); }

  // Waits until slot's root element holds text.
  bool waitForHtml(int slot, const QString& text) {
    return QTest::qWaitFor(
        [&] { return awaitTask(tabDocument(*form_, slot).rootInnerHtml(), 10000).toString().contains(text); }, kLongWait);
  }

  // Logs in on the home tab's login page as the user would.
  void logIn() {
    ASSERT_TRUE(waitForHtml(0, "_j_username"));
    js(0, QStringLiteral("document.getElementsByName('_j_username')[0].value = 'demo';"
                         "document.getElementsByName('_j_password')[0].value = 'demo123';"
                         "document.forms[0].submit(); true;"));
    ASSERT_TRUE(waitForHtml(0, QStringLiteral("注销")));
  }

  // What the page's click listener saw: the id of the element clicked.
  QString clickedId(int slot) {
    return js(slot, "document.documentElement.getAttribute('data-qm-clicked') || ''").toString();
  }

  QString requestedPath(int slot) {
    QWebEngineView* view = tabView(*form_, slot);
    return view ? view->page()->requestedUrl().path() : QString();
  }

  int requestsFor(const std::string& path) const {
    int n = 0;
    for (const auto& r : sim_->requests()) n += r.path == path;
    return n;
  }

  std::unique_ptr<sim::RegSim> sim_;
  AppState state_;
  ScriptedPrompts prompts_;
  QTemporaryDir dir_;
  std::unique_ptr<TForm1> form_;

 private:
  // Every page of the window records which element a click reached, so a
  // test sees the click that the page itself does not answer.
  void recordClicks() {
    QWebEngineScript script;
    script.setName("qm-record-clicks");
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setSourceCode(
        "document.addEventListener('click', function (e) {"
        "  document.documentElement.setAttribute('data-qm-clicked', e.target.id || e.target.tagName);"
        "}, true);");
    form_->profile()->scripts()->insert(script);
  }
};

}  // namespace qm::navtest
