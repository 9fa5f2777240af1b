// The program's window on a virtual X display, with its features and real Qt
// dialogs, driven by xdotool: keys go through the X server to whatever holds
// the keyboard, as on a user's desktop, instead of to a widget the test picks.
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "desktop_fixture.h"

namespace qm::desktop {
namespace {

using DesktopInputTest = DesktopFixture;

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
  ASSERT_TRUE(clickAt(edit->mapToGlobal(edit->rect().center())));
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
  QTest::qWait(500);  // a second tab from the same Enter would be open by now
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

class FirstPageWithoutLoginTest : public DesktopFixture {
 protected:
  std::string firstPage() const override { return "/sim/inputs.html"; }
};

TEST_F(FirstPageWithoutLoginTest, TheViewTakesTheKeyboardWhenAnInputTookTheFocus) {
  // No user-name field: nothing is filled, but the third input (a login name
  // is set) has the focus, and the user types into it at once.
  ASSERT_TRUE(startedUp()) << "the web view did not take the keyboard; focus is on "
                           << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                                           : "nothing");
  const WebDocument home = tabDocument(*form_, 0);
  EXPECT_EQ(pageValue(home, "document.activeElement.name"), "third");
  ASSERT_TRUE(xdotool({"type", "--delay", "30", "abc"}));
  EXPECT_TRUE(QTest::qWaitFor([&] { return pageValue(home, "document.getElementsByName('third')[0].value") == "abc"; },
                              10000));
  EXPECT_FALSE(addressBox()->currentText().contains("abc"));
}

}  // namespace
}  // namespace qm::desktop
