#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <algorithm>
#include <gtest/gtest.h>

#include "browser/web/cookie_mirror.h"
#include "browser/main_window.h"
#include "browser/tab_caption.h"
#include "tests/support/main_window_fixture.h"

namespace qm {
namespace {

using test::awaitTask;
using test::kLongWait;
using test::loadAndWait;
using test::waitUntil;

const QString kLimitMessage = QStringLiteral("请关闭一些标签后再打开！");

class BrowserWindowTest : public test::MainWindowFixture {
 protected:
  void SetUp() override { startSim(); }

  // A window whose home tab has shown the server's first page.
  TForm1& makeLoadedForm() { return test::MainWindowFixture::makeForm(true); }
  TForm1& makeForm() { return test::MainWindowFixture::makeForm(false); }

  QTabWidget* tabControl(TForm1& form) { return form.findChild<QTabWidget*>("RzPageControl1"); }

  // Opens an address from the address box as a user would.
  void openFromAddressBox(const QString& text) {
    addressBox()->setEditText(text);
    button("FlatButton1")->click();
  }
};

TEST_F(BrowserWindowTest, LayoutAndTopBarOrder) {
  TForm1& form = makeForm();
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Quillmere - 学籍工作浏览器"));
  EXPECT_EQ(form.panelText(0), QStringLiteral("正在打开学籍网主页..."));
  EXPECT_EQ(addressBox()->width(), 433);
  EXPECT_TRUE(addressBox()->isEditable());
  EXPECT_EQ(addressBox()->count(), 0);
  EXPECT_EQ(form.toolColumn()->width(), 49);
  EXPECT_EQ(form.findChild<QWidget*>("TopBar")->height(), 33);
  EXPECT_EQ(form.findChild<QLabel*>("StatusPanel0")->width(), 300);
  EXPECT_EQ(form.findChild<QLabel*>("StatusPanel1")->width(), 200);
  EXPECT_GE(form.findChild<QLabel*>("StatusPanel2")->width(), 50);
  EXPECT_EQ(button("FlatButton1")->text(), QStringLiteral("开新窗口转到"));
  EXPECT_EQ(button("FlatButton2")->text(), QStringLiteral("刷新"));
  EXPECT_EQ(button("FlatButton6")->text(), QStringLiteral("关闭当前页"));
  EXPECT_EQ(form.findChild<QTimer*>("Timer2")->interval(), 50);

  // Later features add their buttons in any order; the bar keeps its own order.
  form.addTopButton("FlatButton28", QStringLiteral("快捷导航"));
  form.addTopButton("FlatButton4", QStringLiteral("查询在校生"));
  form.addTopButton("FlatButton13", QStringLiteral("抓包导出"));
  form.addTopButton("FlatButton8", QStringLiteral("停止抓取"));
  const char* order[] = {"FlatButton1", "FlatButton2", "FlatButton6", "FlatButton4", "FlatButton13", "FlatButton8",
                         "FlatButton28"};
  // The bar lays the new buttons out on its next layout pass.
  (void)waitUntil([&] { return button("FlatButton28")->x() > button("FlatButton8")->x(); }, 5000);
  int previousX = addressBox()->x();
  for (const char* name : order) {
    ASSERT_NE(button(name), nullptr) << name;
    EXPECT_GT(button(name)->x(), previousX) << name;
    previousX = button(name)->x();
  }
  EXPECT_EQ(form.addTopButton("FlatButton4", QStringLiteral("x")), button("FlatButton4"));
}

TEST_F(BrowserWindowTest, AboutButtonFollowsTheWindowHeight) {
  TForm1& form = makeForm();
  auto* about = new QPushButton(QStringLiteral("关于"), form.toolColumn());
  about->setObjectName("FlatButton12");
  form.setWindowState(Qt::WindowNoState);
  form.resize(700, 520);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.height() == 520; }, 5000));
  EXPECT_EQ(about->y(), 520 - 140);
  form.resize(700, 480);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.height() == 480; }, 5000));
  EXPECT_EQ(about->y(), 480 - 140);
}

TEST_F(BrowserWindowTest, HomeTabShowsTheServerPage) {
  TForm1& form = makeLoadedForm();
  EXPECT_EQ(form.LastTabIndex(), 0);
  EXPECT_EQ(form.ActiveTabIndex(), 0);
  EXPECT_GE(requestsFor("GET", "/"), 1);
  QWebEngineView* home = tabView(form, 0);
  EXPECT_EQ(home->url().host(), "127.0.0.1");
  EXPECT_EQ(home->url().port(), sim_->port());
  EXPECT_EQ(addressBox()->currentText(), home->url().toString());
  EXPECT_EQ(tabControl(form)->tabText(0),
            QString::fromStdString(tabCaption(home->title().toStdString())));
  EXPECT_TRUE(tabControl(form)->tabText(0).startsWith(QStringLiteral("学籍管理系统 登录")));
  const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
  EXPECT_TRUE(form.panelText(0).startsWith(QStringLiteral("打开完毕!") + date + " ")) << form.panelText(0).toStdString();
}

TEST_F(BrowserWindowTest, PageWindowOpenLandsInANewTab) {
  TForm1& form = makeLoadedForm();
  ASSERT_TRUE(loadAndWait(tabView(form, 0), url("/sim/popup.html")));
  awaitTask(tabDocument(form, 0).run("document.getElementById('open').click(); true;"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.LastTabIndex() == 1; }, kLongWait));
  EXPECT_EQ(form.ActiveTabIndex(), 1);
  EXPECT_EQ(tabControl(form)->currentIndex(), 1);
  const QString padded = QStringLiteral("子窗口") + QString(20, ' ') + "...";
  ASSERT_TRUE(QTest::qWaitFor([&] { return tabControl(form)->tabText(1) == padded; }, kLongWait))
      << tabControl(form)->tabText(1).toStdString();
  EXPECT_TRUE(tabView(form, 1)->url().path().endsWith("/sim/child.html"));
  EXPECT_EQ(addressBox()->currentText(), tabView(form, 1)->url().toString());

  // A link with a target opens the next tab the same way.
  awaitTask(tabDocument(form, 0).run("document.getElementById('pop').click(); true;"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.LastTabIndex() == 2; }, kLongWait));
  EXPECT_EQ(form.ActiveTabIndex(), 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return tabControl(form)->tabText(2) == padded; }, kLongWait));
}

TEST_F(BrowserWindowTest, WindowCloseClosesTheActiveTabOfAHookedTab) {
  TForm1& form = makeLoadedForm();
  openFromAddressBox(address("/sim/closer.html"));
  ASSERT_EQ(form.LastTabIndex(), 1);
  EXPECT_EQ(form.panelText(0), QStringLiteral("正在打开网页") + address("/sim/closer.html") + "...");
  ASSERT_TRUE(waitForHtml(1, "id=\"close\""));
  // A third tab is the active one when the second asks to close: the active one goes.
  openFromAddressBox(address("/sim/title?t=third"));
  ASSERT_EQ(form.LastTabIndex(), 2);
  ASSERT_TRUE(waitForHtml(2, "third"));
  QWebEngineView* closer = tabView(form, 1);
  QSignalSpy asked(closer->page(), &QWebEnginePage::windowCloseRequested);
  awaitTask(tabDocument(form, 1).run("document.getElementById('close').click(); true;"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.LastTabIndex() == 1; }, kLongWait));
  EXPECT_EQ(asked.count(), 1);
  EXPECT_EQ(form.ActiveTabIndex(), 1);
  EXPECT_EQ(tabView(form, 1), closer);
  EXPECT_EQ(tabControl(form)->count(), 2);
}

TEST_F(BrowserWindowTest, WindowCloseOfATabWithoutTheHookClosesNothing) {
  TForm1& form = makeLoadedForm();
  QWebEngineView* view = viewOf(form.OpenTab(false));
  ASSERT_NE(view, nullptr);
  form.NavigateLastTab(address("/sim/closer.html"));
  ASSERT_TRUE(waitForHtml(1, "id=\"close\""));
  QSignalSpy asked(view->page(), &QWebEnginePage::windowCloseRequested);
  awaitTask(tabDocument(form, 1).run("document.getElementById('close').click(); true;"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return asked.count() == 1; }, kLongWait));
  QTest::qWait(500);  // well past the 50 ms of a deferred close
  EXPECT_EQ(form.LastTabIndex(), 1);
  EXPECT_EQ(tabView(form, 1), view);
  EXPECT_FALSE(form.findChild<QTimer*>("Timer2")->isActive());
}

TEST_F(BrowserWindowTest, CloseInTheMiddleShowsTheLeftNeighbour) {
  TForm1& form = makeLoadedForm();
  QWebEngineView* first = viewOf(form.OpenTab(true));
  QWebEngineView* second = viewOf(form.OpenTab(true));
  ASSERT_TRUE(first && second);
  tabControl(form)->setCurrentIndex(1);  // the user picks the middle tab
  EXPECT_EQ(form.ActiveTabIndex(), 1);
  QTabBar* bar = tabControl(form)->tabBar();
  auto closeButtonShown = [&](int i) {
    QWidget* b = bar->tabButton(i, QTabBar::RightSide);
    if (!b) b = bar->tabButton(i, QTabBar::LeftSide);
    return b && b->isVisible();
  };
  EXPECT_FALSE(closeButtonShown(0));
  EXPECT_TRUE(closeButtonShown(1));
  EXPECT_FALSE(closeButtonShown(2));

  button("FlatButton6")->click();
  EXPECT_EQ(form.LastTabIndex(), 1);
  EXPECT_EQ(form.ActiveTabIndex(), 0);
  EXPECT_EQ(tabView(form, 1), second);
  EXPECT_EQ(tabView(form, 2), nullptr);
  EXPECT_EQ(tabControl(form)->currentIndex(), 0);
  EXPECT_EQ(tabControl(form)->count(), 2);
  EXPECT_TRUE(closeButtonShown(0));
  EXPECT_FALSE(closeButtonShown(1));

  // On the home tab the button and the tab's own close button do nothing.
  button("FlatButton6")->click();
  emit bar->tabCloseRequested(0);
  EXPECT_EQ(form.LastTabIndex(), 1);
  EXPECT_EQ(tabControl(form)->count(), 2);
  EXPECT_TRUE(prompts_.log.empty());

  // The close button of the active tab closes it.
  tabControl(form)->setCurrentIndex(1);
  emit bar->tabCloseRequested(1);
  EXPECT_EQ(form.LastTabIndex(), 0);
  EXPECT_EQ(tabControl(form)->count(), 1);
}

TEST_F(BrowserWindowTest, TwentyOneTabsAtMost) {
  TForm1& form = makeLoadedForm();
  ASSERT_TRUE(loadAndWait(tabView(form, 0), url("/sim/popup.html")));
  for (int i = 1; i <= 20; ++i) ASSERT_NE(form.OpenTab(i % 2 == 0), nullptr) << i;
  EXPECT_EQ(form.LastTabIndex(), 20);
  EXPECT_EQ(form.OpenTab(false), nullptr);
  openFromAddressBox(address("/sim/child.html"));
  EXPECT_EQ(form.LastTabIndex(), 20);
  EXPECT_EQ(tabControl(form)->count(), 21);
  ASSERT_EQ(prompts_.log.size(), 2u);
  EXPECT_EQ(prompts_.log[0].text, kLimitMessage);
  EXPECT_EQ(prompts_.log[0].title, QStringLiteral("Quillmere"));
  EXPECT_EQ(prompts_.log[1].text, kLimitMessage);

  // A page's own pop-up at the limit gets the message and no tab.
  awaitTask(tabDocument(form, 0).run("document.getElementById('open').click(); true;"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return prompts_.log.size() == 3; }, kLongWait));
  EXPECT_EQ(prompts_.lastMessage(), kLimitMessage);
  EXPECT_EQ(form.LastTabIndex(), 20);
  EXPECT_EQ(tabControl(form)->count(), 21);
}

TEST_F(BrowserWindowTest, EnterInTheAddressBox) {
  TForm1& form = makeLoadedForm();
  QLineEdit* edit = addressBox()->lineEdit();
  // On the home tab Enter opens a new tab.
  addressBox()->setEditText(address("/sim/title?t=one"));
  QTest::keyClick(edit, Qt::Key_Return);
  ASSERT_EQ(form.LastTabIndex(), 1);
  ASSERT_TRUE(waitForHtml(1, "one"));
  form.OpenTab(true);
  form.OpenTab(true);
  tabControl(form)->setCurrentIndex(1);
  // Elsewhere it sends the last tab to the address, whichever tab is active.
  addressBox()->setEditText(address("/sim/title?t=two"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(form.LastTabIndex(), 3);
  EXPECT_EQ(form.ActiveTabIndex(), 1);
  ASSERT_TRUE(waitForHtml(3, "two"));
  EXPECT_EQ(addressBox()->count(), 0);

  // The desktop delivers keys to the combo box, which holds the keyboard and
  // hands them to its line edit: one Enter, one action.
  tabControl(form)->setCurrentIndex(0);
  addressBox()->setEditText(address("/sim/title?t=three"));
  QTest::keyClick(addressBox(), Qt::Key_Return);
  EXPECT_EQ(form.LastTabIndex(), 4);
  ASSERT_TRUE(waitForHtml(4, "three"));
}

TEST_F(BrowserWindowTest, RefreshReloadsTheActiveTab) {
  TForm1& form = makeLoadedForm();
  openFromAddressBox(address("/sim/title?t=again"));
  ASSERT_TRUE(waitForHtml(1, "again"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !tabView(form, 1)->page()->isLoading(); }, kLongWait));
  const int before = requestsFor("GET", "/sim/title");
  QSignalSpy finished(tabView(form, 1)->page(), &QWebEnginePage::loadFinished);
  button("FlatButton2")->click();
  ASSERT_TRUE(finished.wait(kLongWait));
  EXPECT_EQ(requestsFor("GET", "/sim/title"), before + 1);
}

TEST_F(BrowserWindowTest, CookieMirrorHoldsTheSessionCookie) {
  TForm1& form = makeLoadedForm();
  EXPECT_EQ(form.cookies()->ReadBrowserCookies(state_.serverHost), "");
  logIn();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.cookies()->ReadBrowserCookies(state_.serverHost).empty(); }, kLongWait));
  const std::string text = form.cookies()->ReadBrowserCookies(state_.serverHost);
  EXPECT_EQ(text.rfind("JSESSIONID=", 0), 0u) << text;
  EXPECT_FALSE(sim_->tokenFor(text).empty()) << text;  // the server knows this session
  ASSERT_EQ(form.cookies()->cookies().size(), 1u);
  EXPECT_TRUE(form.cookies()->cookies()[0].httpOnly);
}

TEST_F(BrowserWindowTest, CloseRequestLogsOffAndStaysWithTheCursorAtTheCloseButton) {
  TForm1& form = makeLoadedForm();
  logIn();
  const int width = QGuiApplication::primaryScreen()->geometry().width();
  form.setCursorSource([width] { return QPoint(width - 10, 5); });
  EXPECT_FALSE(form.close());
  EXPECT_FALSE(form.close());  // a second request while the first runs is ignored
  ASSERT_TRUE(QTest::qWaitFor([&] { return requestsFor("GET", "/logout") == 1; }, kLongWait));
  ASSERT_TRUE(waitForHtml(0, "_j_username"));
  QTest::qWait(200);  // a close that came after all would have hidden the window by now
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(requestsFor("GET", "/logout"), 1);

  // The page that follows has no such link: the next request closes.
  form.close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, kLongWait));
  EXPECT_EQ(requestsFor("GET", "/logout"), 1);
}

TEST_F(BrowserWindowTest, CloseRequestWithTheCursorInTheBandLogsOffAndCloses) {
  TForm1& form = makeLoadedForm();
  logIn();
  const int width = QGuiApplication::primaryScreen()->geometry().width();
  form.setCursorSource([width] { return QPoint(width / 2, 300); });
  form.close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, kLongWait));
  EXPECT_TRUE(QTest::qWaitFor([&] { return requestsFor("GET", "/logout") == 1; }, kLongWait));
}

TEST_F(BrowserWindowTest, CloseRequestBeforeAnyDocumentCloses) {
  state_.serverHost = "127.0.0.1:9";  // nothing answers there
  TForm1& form = makeForm();
  form.setCursorSource([] { return QPoint(0, 0); });
  form.close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, kLongWait));
}

}  // namespace
}  // namespace qm
