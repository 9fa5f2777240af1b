// The duplicate check's captcha dialog with real X keys: the caret is in the
// entry as it opens, typing and Enter confirm, Esc cancels.
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "common/ui/scripted_prompts.h"
#include "desktop_fixture.h"
#include "net/http_client.h"
#include "server/duplicate/captcha_dialog.h"

namespace qm::desktop {
namespace {

class CaptchaDialogKeysTest : public test::RegSimFixture {
 protected:
  void SetUp() override {
    if (const std::string why = missingDesktop(); !why.empty()) GTEST_SKIP() << why;
    startServer();
    client_->addExtraLine("Cookie:" + sim_->loginCookie());
  }
  // Opens the dialog as the run does and waits until it has the keyboard and its picture.
  std::unique_ptr<TForm13> open() {
    auto d = std::make_unique<TForm13>(client_, "http://" + sim_->host() + sim::RegSim::kCaptchaPath, prompts_);
    QSignalSpy settled(d.get(), &TForm13::pictureSettled);
    d->show();
    d->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(d.get(), kLongWait));
    EXPECT_TRUE(!settled.isEmpty() || settled.wait(30000));
    return d;
  }

  std::shared_ptr<HttpClient> client_ = std::make_shared<HttpClient>("IdHTTP4");
  ScriptedPrompts prompts_;
};

TEST_F(CaptchaDialogKeysTest, TypingAndEnterConfirm) {
  auto d = open();
  EXPECT_EQ(QApplication::focusWidget(), d->Edit3);
  ASSERT_TRUE(xdotool({"type", "--delay", "30", "4821"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return d->Edit3->text() == "4821"; }, 10000)) << d->Edit3->text().toStdString();
  ASSERT_TRUE(xdotool({"key", "Return"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return d->closed(); }, 10000));
  EXPECT_FALSE(d->cancelled());
  EXPECT_EQ(d->result(), QDialog::Accepted);
  EXPECT_EQ(d->code(), "4821");
  EXPECT_TRUE(prompts_.log.empty());
}

TEST_F(CaptchaDialogKeysTest, EscCancels) {
  auto d = open();
  EXPECT_EQ(QApplication::focusWidget(), d->Edit3);
  ASSERT_TRUE(xdotool({"type", "--delay", "30", "77"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return d->Edit3->text() == "77"; }, 10000));
  ASSERT_TRUE(xdotool({"key", "Escape"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return d->closed(); }, 10000));
  EXPECT_TRUE(d->cancelled());
  EXPECT_EQ(d->result(), QDialog::Rejected);
  EXPECT_TRUE(prompts_.log.empty());
}

}  // namespace
}  // namespace qm::desktop
