#pragma once
// The program's window on a virtual X display with real Qt dialogs, driven
// by xdotool: keys go through the X server to whatever holds the keyboard,
// as on a user's desktop, instead of to a widget the test picks.
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "browser/main_window.h"
#include "browser/navigation/login_keeper.h"
#include "common/profile_file.h"
#include "common/settings_names.h"
#include "common/ui/qt_prompts.h"
#include "tests/support/main_window_fixture.h"

namespace qm::desktop {

using test::kLongWait;

inline bool xdotool(const QStringList& args) { return QProcess::execute(QStringLiteral("xdotool"), args) == 0; }

inline QString pageValue(const WebDocument& doc, const QString& script) {
  QVariant result;
  bool done = false;
  if (QWebEnginePage* page = doc.page())
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
      result = v;
      done = true;
    });
  QTest::qWaitFor([&] { return done; }, 10000);
  return result.toString();
}

inline bool isInside(QWidget* widget, QWidget* ancestor) {
  for (QWidget* w = widget; w; w = w->parentWidget())
    if (w == ancestor) return true;
  return false;
}

// Moves the pointer to a screen point and clicks there.
inline bool clickAt(QPoint global) {
  // "--sync" waits for the pointer to move, which it never does when it is there already.
  if (QCursor::pos() != global &&
      !xdotool({"mousemove", "--sync", QString::number(global.x()), QString::number(global.y())}))
    return false;
  return xdotool({"click", "1"});
}

// Why a test with real X input cannot run here; empty when it can.
inline std::string missingDesktop() {
  if (qgetenv("DISPLAY").isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
    return "needs an X display (run through run_on_xvfb.sh)";
  if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) return "xdotool is missing";
  return {};
}

class DesktopFixture : public test::BasicMainWindowFixture<QtPrompts> {
 protected:
  // What the program attaches to its window; the login keeper alone by default.
  virtual void attach(TForm1& form) { new LoginKeeper(form); }
  // The first page's path on the server ("" for the login page); tests put
  // it in the server host, which the window opens as its home page.
  virtual std::string firstPage() const { return {}; }

  // As the program starts: real dialogs parented to the window, and the
  // login keeper, which fills the name in and hands the page the keyboard.
  void install(TForm1& form) final {
    prompts_.setParent(&form);
    attach(form);
  }

  void SetUp() override {
    if (const std::string why = missingDesktop(); !why.empty()) GTEST_SKIP() << why;
    startSim({}, firstPage());
    writeSetting(kLoginSection, kLoginKey, sim::RegSim::kUserName);
    makeForm(false);
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get(), test::kLongWait));
  }

  bool htmlContains(int slot, const QString& text) { return waitForHtml(slot, text); }
  // Start-up is over: the login page is in, and the login keeper has handed
  // the keyboard to it.
  bool startedUp() {
    return QTest::qWaitFor(
        [&] { return test::homeShown(*form_) && isInside(QApplication::focusWidget(), tabView(*form_, 0)); },
        kLongWait);
  }
  // The screen point of the centre of the first element a selector finds in a tab's page.
  QPoint elementCentre(int slot, const QString& selector) {
    const QString rect = pageValue(tabDocument(*form_, slot),
                                   QStringLiteral("(function () { var r = document.querySelector('%1')"
                                                  ".getBoundingClientRect(); return Math.round(r.left + r.width / 2)"
                                                  " + ',' + Math.round(r.top + r.height / 2); })()")
                                       .arg(selector));
    const QStringList xy = rect.split(',');
    if (xy.size() != 2) return {};
    return tabView(*form_, slot)->mapToGlobal(QPoint(xy[0].toInt(), xy[1].toInt()));
  }
};

}  // namespace qm::desktop
