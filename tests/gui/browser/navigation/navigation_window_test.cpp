#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "browser/navigation/navigation_pages.h"
#include "browser/navigation/provincial_sites.h"
#include "navigation_test_support.h"

namespace qm::navtest {
namespace {

const QString kLimitMessage = QStringLiteral("请关闭一些标签后再打开！");

// A page's own window.close() reaches the tab but closes nothing: the openers
// attach no WindowClosing hook.
void expectNoClosingHook(NavigationWindowTest& t, int slot) {
  QWebEngineView* view = tabView(*t.form_, slot);
  QSignalSpy asked(view->page(), &QWebEnginePage::windowCloseRequested);
  t.js(slot, "window.close(); true;");
  ASSERT_TRUE(QTest::qWaitFor([&] { return asked.count() == 1; }, kLongWait));
  QTest::qWait(500);  // well past the 50 ms of a deferred close
  EXPECT_EQ(t.form_->LastTabIndex(), slot);
  EXPECT_EQ(tabView(*t.form_, slot), view);
}

TEST_F(NavigationWindowTest, QueryButtonOpensTheQueryPageAndClicksItsFirstButton) {
  startSim();
  TForm1& form = makeForm();
  logIn();
  QPushButton* query = button("FlatButton4");
  ASSERT_NE(query, nullptr);
  EXPECT_EQ(query->text(), QStringLiteral("查询在校生"));
  query->click();
  ASSERT_EQ(form.LastTabIndex(), 1);
  EXPECT_EQ(form.ActiveTabIndex(), 1);
  EXPECT_EQ(form.panelText(0), QStringLiteral("正在打开查询在校生网页..."));
  EXPECT_EQ(requestedPath(1), QString(kInSchoolQueryPath));
  // The first <button> of the page ("查询", id "query"), not the reset button after it.
  ASSERT_TRUE(QTest::qWaitFor([&] { return clickedId(1) == "query"; }, kLongWait)) << clickedId(1).toStdString();
  EXPECT_TRUE(awaitTask(tabDocument(form, 1).rootInnerHtml()).toString().contains("var organCode="));
  expectNoClosingHook(*this, 1);
  EXPECT_TRUE(prompts_.log.empty());
}

TEST_F(NavigationWindowTest, WaitAndClickFollowsTheLastTab) {
  // The wait re-reads the last slot at each poll: a tab opened meanwhile is the one clicked.
  startSim();
  TForm1& form = makeForm();
  logIn();
  navigation().FlatButton4Click();
  ASSERT_EQ(form.LastTabIndex(), 1);
  ASSERT_NE(form.OpenTab(false), nullptr);
  form.NavigateLastTab(QString::fromStdString(state_.serverUrl("/jsp/mems/kszs/kszsSh_list.jsp")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return clickedId(2) == "query"; }, kLongWait));
  ASSERT_TRUE(waitForHtml(1, "var organCode="));
  EXPECT_EQ(clickedId(1), QString());
}

struct AuditCase {
  int accountType;
  const char* path;
};

void PrintTo(const AuditCase& c, std::ostream* os) { *os << "account type " << c.accountType; }

class AuditButtonTest : public NavigationWindowTest, public ::testing::WithParamInterface<AuditCase> {};

TEST_P(AuditButtonTest, OpensTheAuditListOfTheAccountType) {
  sim::RegSimOptions options;
  options.accountType = GetParam().accountType;
  startSim(options);
  TForm1& form = makeForm();
  logIn();
  QPushButton* audit = button("FlatButton15");
  ASSERT_NE(audit, nullptr);
  EXPECT_EQ(audit->text(), QStringLiteral("异动审核"));
  audit->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.LastTabIndex() == 1; }, kLongWait));
  EXPECT_EQ(form.panelText(0), QStringLiteral("正在打开学籍异动审核网页..."));
  EXPECT_EQ(requestedPath(1), QString(GetParam().path));
  ASSERT_TRUE(QTest::qWaitFor([&] { return clickedId(1) == "query"; }, kLongWait));
  EXPECT_EQ(tabView(form, 1)->page()->url().path(), QString(GetParam().path));
  expectNoClosingHook(*this, 1);
}

INSTANTIATE_TEST_SUITE_P(AccountTypes, AuditButtonTest,
                         ::testing::Values(AuditCase{1, "/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_zgbmsh_list.jsp"},
                                           AuditCase{2, "/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_xxsh_list.jsp"}),
                         [](const auto& info) { return "Type" + std::to_string(info.param.accountType); });

TEST_F(NavigationWindowTest, AuditButtonWithoutAnAccountTypeOpensNothing) {
  // The login page holds no "userType:" and its 10th character is no digit.
  startSim();
  TForm1& form = makeForm();
  ASSERT_TRUE(waitForHtml(0, "_j_username"));
  ASSERT_TRUE(awaitDone(navigation().FlatButton15Click()));
  EXPECT_EQ(form.LastTabIndex(), 0);
  EXPECT_TRUE(prompts_.log.empty());
  EXPECT_EQ(form.panelText(0).left(5), QStringLiteral("打开完毕!"));
}

TEST_F(NavigationWindowTest, OpenersAtTheTabLimitShowTheMessageAndOpenNothing) {
  startSim();
  TForm1& form = makeForm();
  logIn();
  for (int i = 0; i < 20; ++i) ASSERT_NE(form.OpenTab(false), nullptr);
  ASSERT_EQ(form.LastTabIndex(), 20);
  QWebEngineView* last = tabView(form, 20);
  int shown = 0;

  // The audit button says so before it reads the home page: at once, on the click.
  button("FlatButton15")->click();
  EXPECT_EQ(prompts_.messages().size(), ++shown);
  EXPECT_EQ(prompts_.lastMessage(), kLimitMessage);

  button("FlatButton4")->click();
  EXPECT_EQ(prompts_.messages().size(), ++shown);
  EXPECT_EQ(prompts_.lastMessage(), kLimitMessage);

  for (const char* item : {"N1", "N3"}) {
    form.findChild<QAction*>(item)->trigger();
    EXPECT_EQ(prompts_.messages().size(), ++shown) << item;
    EXPECT_EQ(prompts_.lastMessage(), kLimitMessage);
  }
  QTest::qWait(300);  // a tab opened after all would be there by now
  EXPECT_EQ(form.LastTabIndex(), 20);
  EXPECT_EQ(tabView(form, 20), last);
  EXPECT_EQ(prompts_.messages().size(), shown);
  EXPECT_EQ(requestsFor("/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_xxsh_list.jsp"), 0);
}

TEST_F(NavigationWindowTest, MenuItemsOpenTheirAddressesInNewTabs) {
  startSim();
  TForm1& form = makeForm();
  logIn();
  auto* menu = form.findChild<QMenu*>("PopupMenu1");
  ASSERT_NE(menu, nullptr);
  QStringList order;
  for (QAction* a : menu->actions()) order << a->objectName();
  EXPECT_EQ(order, QStringList({"N1", "N2", "N7", "N3", "N4", "N5", "N6", "N8", "N9", "N10"}));

  int slot = 0;
  for (const MenuEntry& entry : quickNavigationMenu()) {
    SCOPED_TRACE(entry.item);
    QAction* action = form.findChild<QAction*>(QString::fromStdString(entry.item));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QString::fromStdString(entry.caption));
    EXPECT_EQ(action->isVisible(), entry.item != "N8" && entry.item != "N10");
    action->trigger();
    ++slot;
    ASSERT_EQ(form.LastTabIndex(), slot);
    EXPECT_EQ(form.ActiveTabIndex(), slot);
    EXPECT_EQ(form.panelText(0), QString::fromStdString(entry.panelText));
    EXPECT_EQ(tabView(form, slot)->page()->requestedUrl(), QUrl(QString::fromStdString(entry.address(state_.serverHost))));
  }
  // The registration-server pages load in their tabs, with no closing hook.
  ASSERT_TRUE(waitForHtml(1, QStringLiteral("跨省就学审核")));
  ASSERT_TRUE(waitForHtml(2, QStringLiteral("全省学生查询")));
  ASSERT_TRUE(waitForHtml(3, QStringLiteral("毕业生查询")));
  EXPECT_EQ(requestsFor("/jsp/mems/kszs/kszsSh_list.jsp"), 1);
  // Menu pages are opened, not clicked.
  EXPECT_EQ(clickedId(1), QString());
  form.CloseActiveTab();  // leave a server page last for the hook check
  while (form.LastTabIndex() > 3) {
    form.findChild<QTabWidget*>("RzPageControl1")->setCurrentIndex(form.LastTabIndex());
    form.CloseActiveTab();
  }
  expectNoClosingHook(*this, 3);
  EXPECT_TRUE(prompts_.log.empty());
}

TEST_F(NavigationWindowTest, QuickNavigationOpensTheMenuOnLeftReleaseOnly) {
  startSim();
  TForm1& form = makeForm();
  QPushButton* quick = button("FlatButton28");
  ASSERT_NE(quick, nullptr);
  EXPECT_EQ(quick->text(), QStringLiteral("快捷导航"));
  auto* menu = form.findChild<QMenu*>("PopupMenu1");

  QTest::mouseRelease(quick, Qt::RightButton, {}, QPoint(5, 5));
  QContextMenuEvent context(QContextMenuEvent::Mouse, QPoint(5, 5), quick->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(quick, &context);
  QTest::qWait(100);  // a menu shown after all would be up by now
  EXPECT_FALSE(menu->isVisible());

  QCursor::setPos(120, 400);
  const int cursorX = QCursor::pos().x();
  QTest::mouseRelease(quick, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000));
  EXPECT_EQ(menu->pos(), QPoint(cursorX, quick->y() + 50));
  menu->hide();
  EXPECT_EQ(form.LastTabIndex(), 0);
}

// The keys themselves are pressed as real X keys in tests/gui/desktop.
TEST_F(NavigationWindowTest, RefreshButtonReloadsTheActiveTab) {
  startSim();
  TForm1& form = makeForm();
  auto* f5 = form.findChild<QAction*>("Action13");
  ASSERT_NE(f5, nullptr);
  EXPECT_EQ(f5->shortcut(), QKeySequence(Qt::Key_F5));
  EXPECT_TRUE(form.actions().contains(f5));
  const int before = requestsFor("/");
  QSignalSpy loaded(tabView(form, 0)->page(), &QWebEnginePage::loadFinished);
  button("FlatButton2")->click();
  ASSERT_TRUE(loaded.wait(kLongWait) || loaded.count() > 0);
  EXPECT_EQ(requestsFor("/"), before + 1);
}

TEST_F(NavigationWindowTest, StopButtonSetsTheStopFlag) {
  startSim();
  TForm1& form = makeForm();
  QPushButton* stop = button("FlatButton8");
  ASSERT_NE(stop, nullptr);
  EXPECT_EQ(stop->text(), QStringLiteral("停止抓取"));
  ASSERT_FALSE(state_.stopRequested);
  stop->click();
  EXPECT_TRUE(state_.stopRequested);
  auto* f10 = form.findChild<QAction*>("Action11");
  ASSERT_NE(f10, nullptr);
  EXPECT_EQ(f10->shortcut(), QKeySequence(Qt::Key_F10));
  EXPECT_TRUE(prompts_.log.empty());
  EXPECT_EQ(form.LastTabIndex(), 0);
}

TEST_F(NavigationWindowTest, TopBarKeepsItsOrder) {
  startSim();
  TForm1& form = makeForm();
  QStringList seen;
  auto* bar = form.findChild<QWidget*>("TopBar");
  ASSERT_NE(bar, nullptr);
  QList<QPushButton*> buttons = bar->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
  std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
  for (QPushButton* b : buttons)
    if (b->isVisible()) seen << b->objectName();
  // FlatButton4 before FlatButton15 before FlatButton8 before FlatButton28.
  const QStringList ours = {"FlatButton4", "FlatButton15", "FlatButton8", "FlatButton28"};
  QStringList filtered;
  for (const QString& name : seen)
    if (ours.contains(name)) filtered << name;
  EXPECT_EQ(filtered, ours);
  QPushButton* autoLogin = button("FlatButton3");
  ASSERT_NE(autoLogin, nullptr);
  EXPECT_EQ(autoLogin->text(), QStringLiteral("自动登陆"));
  EXPECT_FALSE(autoLogin->isVisible());
}

}  // namespace
}  // namespace qm::navtest
