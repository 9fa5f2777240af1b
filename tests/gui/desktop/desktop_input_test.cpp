// The program's window on a virtual X display, with its features and real Qt
// dialogs, driven by xdotool: keys go through the X server to whatever holds
// the keyboard, as on a user's desktop, instead of to a widget the test picks.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <algorithm>
#include <gtest/gtest.h>

#include "browser/main_window.h"
#include "browser/navigation/login_keeper.h"
#include "common/app_state.h"
#include "common/profile_file.h"
#include "common/settings_names.h"
#include "common/ui/qt_prompts.h"
#include "sim/regsim.h"
#include "tests/support/tab_access.h"

namespace qm {
namespace {

constexpr int kLongWait = 60000;

bool xdotool(const QStringList& args) { return QProcess::execute(QStringLiteral("xdotool"), args) == 0; }

QString pageValue(const WebDocument& doc, const QString& script) {
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

bool isInside(QWidget* widget, QWidget* ancestor) {
  for (QWidget* w = widget; w; w = w->parentWidget())
    if (w == ancestor) return true;
  return false;
}

class DesktopInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (qgetenv("DISPLAY").isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
      GTEST_SKIP() << "needs an X display (run through run_on_xvfb.sh)";
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) GTEST_SKIP() << "xdotool is missing";
    sim_ = std::make_unique<sim::RegSim>();
    ASSERT_TRUE(sim_->start());
    state_.serverHost = sim_->host();
    state_.settingsPath = QDir(dir_.path()).filePath(QStringLiteral("quillmeresz.ini")).toStdString();
    ASSERT_TRUE(ProfileFile(state_.settingsPath).write(kLoginSection, kLoginKey, sim::RegSim::kUserName));

    // As the program starts: real dialogs parented to the window, and the
    // login keeper, which fills the name in and hands the page the keyboard.
    form_ = std::make_unique<TForm1>(state_, prompts_);
    prompts_.setParent(form_.get());
    new LoginKeeper(*form_);
    form_->show();
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get(), kLongWait));
  }
  void TearDown() override {
    form_.reset();
    sim_.reset();
  }

  QComboBox* addressBox() { return form_->findChild<QComboBox*>("FlatComboBox1"); }
  QString address(const std::string& path) const { return QString::fromStdString(state_.serverUrl(path)); }
  int requestsFor(const std::string& method, const std::string& path) const {
    const auto log = sim_->requests();
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const sim::RawRequest& r) {
      return r.method == method && r.path == path;
    }));
  }
  bool htmlContains(int slot, const QString& text) {
    return QTest::qWaitFor(
        [&] { return pageValue(tabDocument(*form_, slot), "document.documentElement.outerHTML").contains(text); },
        kLongWait);
  }
  // Start-up is over: the login page is in, and the login keeper has handed
  // the keyboard to it.
  bool startedUp() {
    return QTest::qWaitFor(
        [&] {
          return form_->panelText(0).startsWith(QStringLiteral("打开完毕!")) &&
                 isInside(QApplication::focusWidget(), tabView(*form_, 0));
        },
        kLongWait);
  }

  QTemporaryDir dir_;
  std::unique_ptr<sim::RegSim> sim_;
  AppState state_;
  QtPrompts prompts_;
  std::unique_ptr<TForm1> form_;
};

TEST_F(DesktopInputTest, PasswordTypedRightAfterStartUpAndEnterLogIn) {
  ASSERT_TRUE(startedUp()) << "the web view did not take the keyboard; focus is on "
                           << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                                           : "nothing");
  const WebDocument home = tabDocument(*form_, 0);
  EXPECT_EQ(pageValue(home, "document.activeElement.name"), "_j_password");
  EXPECT_EQ(pageValue(home, "document.getElementsByName('_j_username')[0].value"), sim::RegSim::kUserName);

  // No click: the user types the password and presses Enter.
  ASSERT_TRUE(xdotool({"type", "--delay", "30", sim::RegSim::kPassword}));
  ASSERT_TRUE(xdotool({"key", "Return"}));
  EXPECT_TRUE(htmlContains(0, QStringLiteral("注销")));
  EXPECT_EQ(requestsFor("POST", "/login"), 1);
  EXPECT_FALSE(addressBox()->currentText().contains(sim::RegSim::kPassword));
  EXPECT_EQ(form_->LastTabIndex(), 0);
}

TEST_F(DesktopInputTest, EnterInTheAddressBoxOnTheHomeTabOpensANewTab) {
  ASSERT_TRUE(startedUp());
  QLineEdit* edit = addressBox()->lineEdit();
  const QPoint at = edit->mapToGlobal(edit->rect().center());
  ASSERT_TRUE(xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()), "click", "1"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return addressBox()->hasFocus(); }, 10000));
  ASSERT_TRUE(xdotool({"key", "ctrl+a"}));
  const QString typed = address("/sim/title?t=typed");
  ASSERT_TRUE(xdotool({"type", "--delay", "20", typed}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return addressBox()->currentText() == typed; }, 10000))
      << addressBox()->currentText().toStdString();
  ASSERT_TRUE(xdotool({"key", "Return"}));

  ASSERT_TRUE(QTest::qWaitFor([&] { return form_->LastTabIndex() == 1; }, kLongWait));
  EXPECT_EQ(form_->ActiveTabIndex(), 1);
  EXPECT_TRUE(htmlContains(1, "typed"));
  QTest::qWait(500);
  EXPECT_EQ(form_->LastTabIndex(), 1);  // one Enter, one tab
}

TEST_F(DesktopInputTest, ConfirmShownAndAcceptedReachesThePage) {
  ASSERT_TRUE(startedUp());
  // The box runs its own event loop inside the page's call; watch for it from a timer.
  QString shown;
  bool pressed = false;
  QTimer watch;
  watch.setInterval(100);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (pressed || !box || !box->isActiveWindow()) return;
    shown = box->text();
    EXPECT_EQ(box->parentWidget(), form_.get());
    pressed = true;
    EXPECT_TRUE(xdotool({"key", "Return"}));  // the box's default button
  });
  watch.start();
  pageValue(tabDocument(*form_, 0),
            "setTimeout(function () { if (confirm('确定审核通过？')) location.href = '/sim/title?t=approved'; }, 0);"
            "'started'");
  EXPECT_TRUE(QTest::qWaitFor([&] { return pressed; }, kLongWait));
  EXPECT_EQ(shown, QStringLiteral("确定审核通过？"));
  EXPECT_TRUE(htmlContains(0, "approved"));
  EXPECT_EQ(requestsFor("GET", "/sim/title"), 1);
}

}  // namespace
}  // namespace qm
