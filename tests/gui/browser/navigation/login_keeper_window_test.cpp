#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <set>
#include <string>
#include <vector>

#include "browser/web/cookie_mirror.h"
#include "navigation_test_support.h"
#include "tests/support/hostile_server.h"

namespace qm::navtest {
namespace {

const QString kKept = QStringLiteral("为您保持登录成功!");
const QString kLost = QStringLiteral("为您保持登录失败!");

QString fieldValue(NavigationWindowTest& t) {
  return t.js(0, "document.getElementsByName('_j_username')[0].value").toString();
}
// Position of the focused element among the page's INPUTs, -1 when none.
int focusedInput(NavigationWindowTest& t) {
  return t.js(0, "Array.prototype.indexOf.call(document.getElementsByTagName('INPUT'), document.activeElement)")
      .toInt();
}

std::vector<std::string> keepAliveHeads(const sim::RegSim& sim) {
  std::vector<std::string> heads;
  for (const auto& r : sim.requests())
    if (r.path == "/jsp/public/head.jsp") heads.push_back(r.head);
  return heads;
}

TEST_F(NavigationWindowTest, Timer1RunsEvery200SecondsFromCreation) {
  startSim();
  TForm1& form = makeForm();
  auto* timer = form.findChild<QTimer*>("Timer1");
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer, keeper().timer1());
  EXPECT_EQ(timer->parent(), &form);
  EXPECT_EQ(timer->interval(), 200000);
  EXPECT_TRUE(timer->isActive());
  EXPECT_FALSE(timer->isSingleShot());
}

TEST_F(NavigationWindowTest, KeepAliveWithASessionSendsTheBrowserCookieAndSucceeds) {
  startSim();
  TForm1& form = makeForm();
  logIn();
  const std::string cookieText = form.cookies()->ReadBrowserCookies(state_.serverHost);
  ASSERT_TRUE(QString::fromStdString(cookieText).contains(QRegularExpression("^JSESSIONID=[0-9A-Za-z]+$")))
      << cookieText;
  sim_->clearRequests();

  // Through the timer itself, as the run does it every 200 s.
  QTimer* timer = keeper().timer1();
  timer->setInterval(20);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.panelText(2) == kKept; }, kLongWait)) << form.panelText(2).toStdString();
  timer->stop();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !keeper().keepAliveRunning(); }, kLongWait));

  const auto heads = keepAliveHeads(*sim_);
  ASSERT_FALSE(heads.empty());
  const std::string expected = "GET /jsp/public/head.jsp HTTP/1.1\r\n"
                               "Host: " + state_.serverHost + "\r\n"
                               "Content-Type: text/html\r\n"
                               "Cookie:" + cookieText + "\r\n"
                               "Accept: text/html, */*\r\n"
                               "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n";
  for (const auto& head : heads) EXPECT_EQ(head, expected);
  // The connection is closed after each request: every request arrives on a new one.
  std::set<int> connections;
  for (const auto& r : sim_->requests())
    if (r.path == "/jsp/public/head.jsp") connections.insert(r.connectionId);
  EXPECT_EQ(connections.size(), heads.size());
  EXPECT_TRUE(prompts_.log.empty());
}

TEST_F(NavigationWindowTest, KeepAliveWithoutASessionFailsOnTheRedirect) {
  startSim();
  TForm1& form = makeForm();
  form.setPanelText(2, kKept);
  ASSERT_TRUE(awaitDone(keeper().KeepAliveRequest()));
  EXPECT_EQ(form.panelText(2), kLost);
  const auto heads = keepAliveHeads(*sim_);
  ASSERT_EQ(heads.size(), 1u);
  // No browser cookies: the bare cookie line still goes out.
  EXPECT_NE(heads[0].find("\r\nCookie:\r\n"), std::string::npos) << heads[0];
  EXPECT_TRUE(prompts_.log.empty());
}

TEST_F(NavigationWindowTest, KeepAliveFailsWhenTheServerAlwaysRedirects) {
  sim::RegSimOptions options;
  options.keepAliveRedirect = true;
  startSim(options);
  TForm1& form = makeForm();
  logIn();
  ASSERT_TRUE(awaitDone(keeper().KeepAliveRequest()));
  EXPECT_EQ(form.panelText(2), kLost);
}

TEST_F(NavigationWindowTest, KeepAliveFailsWhenTheServerIsGone) {
  startSim();
  TForm1& form = makeForm();
  logIn();
  ASSERT_TRUE(awaitDone(keeper().KeepAliveRequest()));
  ASSERT_EQ(form.panelText(2), kKept);
  sim_->stop();
  ASSERT_TRUE(awaitDone(keeper().KeepAliveRequest()));
  EXPECT_EQ(form.panelText(2), kLost);
  EXPECT_TRUE(prompts_.log.empty());
  // The next tick tries again and the program goes on.
  ASSERT_TRUE(awaitDone(keeper().KeepAliveRequest()));
  EXPECT_EQ(form.panelText(2), kLost);
}

TEST_F(NavigationWindowTest, HungKeepAliveFailsAtItsLimitAndTheNextTickSendsAnew) {
  // A server that accepts and never answers.
  test::HostileServer silent(test::HostileServer::Mode::Silent);
  state_.serverHost = silent.host();
  TForm1& form = makeForm(false);
  auto heads = [&silent] {
    int n = 0;
    for (const auto& r : silent.requests()) n += r.rfind("GET /jsp/public/head.jsp ", 0) == 0;
    return n;
  };
  ASSERT_LT(LoginKeeper::kKeepAliveLimitMs, LoginKeeper::kKeepAliveIntervalMs / 2);
  keeper().setKeepAliveTiming(300, 600);
  ASSERT_TRUE(QTest::qWaitFor([&] { return heads() >= 1; }, kLongWait));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.panelText(2) == kLost; }, kLongWait)) << form.panelText(2).toStdString();
  // Ticks while it hung were skipped; the one after its failure goes out.
  ASSERT_TRUE(QTest::qWaitFor([&] { return heads() >= 2; }, kLongWait));
  keeper().timer1()->stop();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !keeper().keepAliveRunning(); }, kLongWait));
  EXPECT_EQ(form.panelText(2), kLost);
  EXPECT_TRUE(prompts_.log.empty());
}

TEST_F(NavigationWindowTest, FirstCompletedDocumentGetsTheLoginNameOnce) {
  startSim();
  writeSettings("张老师");
  TForm1& form = makeForm();
  ASSERT_TRUE(QTest::qWaitFor([&] { return fieldValue(*this) == QStringLiteral("张老师"); }, kLongWait));
  EXPECT_TRUE(keeper().AutoLoginDone());
  // Named: third INPUT (the submit button of the login form) has the focus.
  EXPECT_EQ(focusedInput(*this), 2);

  // Later completions fill nothing: the reloaded login page keeps its empty field.
  QSignalSpy completed(&form, &TForm1::documentComplete);
  form.Refresh();
  ASSERT_TRUE(completed.wait(kLongWait) || completed.count() > 0);
  ASSERT_TRUE(waitForHtml(0, "_j_username"));
  EXPECT_EQ(fieldValue(*this), QString());
}

TEST_F(NavigationWindowTest, AutoLoginButtonReadsTheSettingsAfresh) {
  startSim();
  writeSettings("first");
  TForm1& form = makeForm();
  ASSERT_TRUE(QTest::qWaitFor([&] { return fieldValue(*this) == "first"; }, kLongWait));

  writeSettings("second");
  ASSERT_TRUE(awaitDone(keeper().FillLoginName()));
  EXPECT_EQ(fieldValue(*this), "second");

  // Without the key the field is emptied and the first INPUT takes the focus.
  writeSettings(std::nullopt);
  js(0, "document.getElementsByName('_j_username')[0].value = 'typed'; true;");
  QPushButton* autoLogin = form.findChild<QPushButton*>("FlatButton3");
  ASSERT_NE(autoLogin, nullptr);
  autoLogin->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return fieldValue(*this).isEmpty(); }, kLongWait));
  ASSERT_TRUE(QTest::qWaitFor([&] { return focusedInput(*this) == 0; }, kLongWait));
  EXPECT_TRUE(prompts_.log.empty());
}

TEST_F(NavigationWindowTest, FillOnAPageWithoutTheFieldIsSilent) {
  startSim();
  writeSettings("张老师");
  TForm1& form = makeForm();
  logIn();  // the home page has no user-name field and fewer than three inputs
  ASSERT_TRUE(awaitDone(keeper().FillLoginName()));
  EXPECT_TRUE(prompts_.log.empty());
  EXPECT_EQ(form.LastTabIndex(), 0);
}

}  // namespace
}  // namespace qm::navtest
