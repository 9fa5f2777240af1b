// "抓取在校生" and "抓取异动记录" end to end: the real window on regsim, the
// list page opened by its top-bar button, the file read back with FreeXL and
// xlrd; the pager, the stop button, a pager that never advances and a tab
// closed under a run.
#include <QElapsedTimer>
#include <QTimer>

#include "browser/web/web_page.h"
#include "server/scrape/scrape_layout.h"
#include "sim/grid_data.h"
#include "tests/e2e/server/scrape/scrape_e2e_support.h"

namespace qm::e2e {
namespace {

const QString kTimedOutAtPage2 = QStringLiteral("等待网页翻到第2页已超过2秒，抓取已停止。请检查网络或网页后再试。");
const QString kTabClosed = QStringLiteral("抓取所用的网页标签已被关闭，抓取已停止。");
const QString kLeftPage = QStringLiteral("网页已离开要抓取的列表，抓取已停止。");
const QString kBusyTab = QStringLiteral("此网页正在抓取数据，离开将停止抓取。是否继续？");

QString keepQuestion(int records) { return QStringLiteral("已抓取 %1 条记录，是否保存？").arg(records); }

// The questions asked so far, in order.
QStringList questions(const ScriptedPrompts& prompts) {
  QStringList out;
  for (const auto& p : prompts.log)
    if (p.kind == RecordedPrompt::Question) out << p.text;
  return out;
}

// Row 1 the header cells, then `count` grid rows, cells first..last of each.
void expectGrid(const test::ReadBack& file, const sim::SchoolData& school, sim::GridKind kind, int first, int last,
                int count) {
  const std::vector<std::string> header = sim::gridHeader(kind);
  for (int c = first; c <= last; ++c) EXPECT_EQ(file.text.at({1, c - first + 1}), header[c]) << c;
  for (int i = 0; i < count; ++i) {
    const std::vector<std::string> row = sim::gridRow(school, kind, i);
    for (int c = first; c <= last; ++c) {
      const auto it = file.text.find({i + 2, c - first + 1});
      EXPECT_EQ(it == file.text.end() ? std::string() : it->second, row[c]) << "row " << i << " cell " << c;
    }
  }
  // Nothing after them but the formatted row the end test visited.
  for (const auto& [at, text] : file.text) EXPECT_LE(at.first, count + 1) << text;
}

class ListScrapeTest : public ScrapeWindowTest {
 public:
  void openInSchool(int rows, bool stuck = false, int pageStepMs = 0) {
    startSim({.students = std::max(rows, 1), .gridRows = rows, .pagerStuck = stuck, .pageStepMs = pageStepMs});
    makeForm();
    logIn();
    openListPage("FlatButton4", "l5-gen55");
  }
};

TEST_F(ListScrapeTest, PagesOfTheInSchoolList) {
  const struct {
    int rows;
    int pagesAsked;  // next-page requests the run makes
  } cases[] = {{0, 0}, {7, 0}, {20, 0}, {45, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows);
    openInSchool(c.rows);
    form_->setPanelText(1, QStringLiteral("已导出记录条数：99"));  // an earlier export's count
    ASSERT_EQ(button("FlatButton7")->text(), QStringLiteral("抓取在校生"));
    const std::string name = "zxs" + std::to_string(c.rows);
    prompts_.fileNames = {QString::fromStdString(path(name.c_str()))};  // no extension typed
    state_.stopRequested = true;  // an earlier stop is cleared at the start of the loop
    ASSERT_TRUE(runScrape("FlatButton7"));
    ASSERT_EQ(prompts_.messages(), QStringList{kDone});
    EXPECT_EQ(prompts_.log.back().icon, PromptIcon::Information);
    EXPECT_EQ(form_->panelText(1), QStringLiteral("已导出记录条数：") + QString::number(c.rows));
    EXPECT_FALSE(state_.stopRequested);
    EXPECT_EQ(gridRequests(2), c.pagesAsked > 0 ? 1 : 0);
    EXPECT_EQ(gridRequests(3), c.pagesAsked > 1 ? 1 : 0);
    EXPECT_FALSE(form_->tab(1)->busy());
    const std::string saved = path((name + ".xls").c_str());
    const test::ReadBack file = test::readWithFreexl(saved);
    EXPECT_EQ(file.cols, 13);
    expectGrid(file, sim_->school(), sim::GridKind::InSchool, 3, 15, c.rows);
    EXPECT_EQ(test::readWithXlrd(saved).text, file.text);
    prompts_.log.clear();
    TearDown();
  }
}

TEST_F(ListScrapeTest, StopDuringPageTwoOfFiveSavesTwoPages) {
  openInSchool(100);
  scrapes().hooks.pageWritten = [this](int page) {
    if (page == 2) button("FlatButton8")->click();  // "停止抓取"
  };
  prompts_.fileNames = {QString::fromStdString(path("stop.xls"))};
  ASSERT_TRUE(runScrape("FlatButton7"));
  ASSERT_EQ(prompts_.messages(), QStringList{kDone});
  EXPECT_FALSE(state_.stopRequested);
  // The next page was asked for, and nothing after it.
  EXPECT_TRUE(QTest::qWaitFor([&] { return gridRequests(3) == 1; }, 5000));
  QTest::qWait(200);  // a request for page 4 would come within this time; none may
  EXPECT_EQ(gridRequests(4), 0);
  expectGrid(test::readWithFreexl(path("stop.xls")), sim_->school(), sim::GridKind::InSchool, 3, 15, 40);
  EXPECT_EQ(form_->panelText(1), QStringLiteral("已导出记录条数：40"));
}

TEST_F(ListScrapeTest, PagerThatNeverAdvancesEndsTheRunAndOffersThePagesRead) {
  for (const bool keep : {false, true}) {
    SCOPED_TRACE(keep);
    openInSchool(45, true);
    scrapes().hooks.nextPageTimeoutMs = 1500;
    const std::string target = path("old.xls");
    writeOld(target);
    prompts_.fileNames = {QString::fromStdString(target)};
    prompts_.answers = {true, keep};  // overwrite, then keep what was read
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(runScrape("FlatButton7"));
    EXPECT_GE(clock.elapsed(), 1500);
    ASSERT_EQ(questions(prompts_).size(), 2);
    EXPECT_EQ(questions(prompts_)[1], keepQuestion(20));
    ASSERT_EQ(prompts_.messages(), QStringList{kTimedOutAtPage2});
    EXPECT_EQ(prompts_.log.back().icon, PromptIcon::Error);
    EXPECT_FALSE(state_.stopRequested);
    if (keep)
      expectGrid(test::readWithFreexl(target), sim_->school(), sim::GridKind::InSchool, 3, 15, 20);
    else
      EXPECT_EQ(contents(target), QByteArray("old export"));
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_TRUE(button("FlatButton7")->isEnabled());
    EXPECT_FALSE(form_->tab(1)->busy());
    prompts_.log.clear();
    TearDown();
  }
}

// The pager shows new rows well before its page box: each change restarts the wait.
TEST_F(ListScrapeTest, APageAtWorkGetsAFullWaitAgainAndABackTabStaysAwake) {
  openInSchool(45, false, 2000);
  scrapes().hooks.nextPageTimeoutMs = 3000;  // less than the 4 s from click to page box
  WebTab* taken = form_->tab(1);
  bool awake = false;
  scrapes().hooks.pageWritten = [&](int page) {
    if (page == 1) form_->FlatButton1Click();  // the user goes to another tab
    if (page == 2) awake = taken->page()->isVisible();
  };
  prompts_.fileNames = {QString::fromStdString(path("slow.xls"))};
  ASSERT_TRUE(runScrape("FlatButton7"));
  ASSERT_EQ(prompts_.messages(), QStringList{kDone});
  EXPECT_TRUE(questions(prompts_).isEmpty());
  expectGrid(test::readWithFreexl(path("slow.xls")), sim_->school(), sim::GridKind::InSchool, 3, 15, 45);
  // Behind the other tab, the run's page was kept shown; after the run it is hidden as its tab is.
  EXPECT_EQ(form_->ActiveTabIndex(), 2);
  EXPECT_TRUE(awake);
  EXPECT_FALSE(taken->page()->isVisible());
}

// In-page changes and frames leave the list where it is; a reload leaves it.
// Enter in the address box and 刷新 on the busy tab ask first.
TEST_F(ListScrapeTest, LeavingTheListEndsTheRunAndOffersTheRowsRead) {
  openInSchool(45, false, 1500);  // page 3 comes long after any reload
  WebTab* taken = form_->tab(1);
  scrapes().hooks.pageWritten = [&](int page) {
    if (page == 1) {
      taken->page()->runJavaScript(QStringLiteral(
          "location.hash = 'x'; history.pushState({}, '', '#y');"
          "var f = document.createElement('iframe'); f.src = '/sim/title?t=frame'; document.body.appendChild(f);"));
      prompts_.answers = {false, false};
      form_->FlatButton2Click();           // 刷新: No
      form_->FlatComboBox1KeyPress(13);    // Enter in the address box (loads the last tab): No
    } else if (page == 2) {
      prompts_.answers = {true, true};
      form_->Refresh();                    // F5: Yes, then keep the rows
    }
  };
  prompts_.fileNames = {QString::fromStdString(path("left.xls"))};
  ASSERT_TRUE(runScrape("FlatButton7"));
  EXPECT_EQ(questions(prompts_), (QStringList{kBusyTab, kBusyTab, kBusyTab, keepQuestion(40)}));
  ASSERT_EQ(prompts_.messages(), QStringList{kLeftPage});
  EXPECT_EQ(prompts_.log.back().icon, PromptIcon::Error);
  expectGrid(test::readWithFreexl(path("left.xls")), sim_->school(), sim::GridKind::InSchool, 3, 15, 40);
  EXPECT_EQ(gridRequests(3), 1);  // asked for, but the page had gone
  EXPECT_FALSE(taken->busy());
  EXPECT_TRUE(button("FlatButton7")->isEnabled());
}

TEST_F(ListScrapeTest, StopWhileWaitingForThePageSavesTheRowsSoFar) {
  openInSchool(45, true);
  scrapes().hooks.pageWritten = [this](int) {
    QTimer::singleShot(300, form_.get(), [this] { button("FlatButton8")->click(); });
  };
  prompts_.fileNames = {QString::fromStdString(path("wait.xls"))};
  ASSERT_TRUE(runScrape("FlatButton7"));
  ASSERT_EQ(prompts_.messages(), QStringList{kDone});
  EXPECT_FALSE(state_.stopRequested);
  expectGrid(test::readWithFreexl(path("wait.xls")), sim_->school(), sim::GridKind::InSchool, 3, 15, 20);
}

TEST_F(ListScrapeTest, TheRunKeepsItsTabAndEndsWhenItCloses) {
  openInSchool(100);
  const std::string target = path("tab.xls");
  writeOld(target);
  WebTab* taken = form_->tab(1);
  scrapes().hooks.pageWritten = [&](int page) {
    EXPECT_TRUE(taken->busy());
    if (page == 1) {
      // Another tab becomes current: the run goes on with the one it took.
      form_->FlatButton1Click();
    } else if (page == 3) {
      ASSERT_EQ(form_->ActiveTabIndex(), 2);
      form_->CloseActiveTab();  // the other tab
      ASSERT_EQ(form_->ActiveTabIndex(), 1);
      form_->CloseActiveTab();  // the run's tab
    }
  };
  prompts_.fileNames = {QString::fromStdString(target)};
  prompts_.answers = {true, true};  // overwrite; keep the three pages read
  ASSERT_TRUE(runScrape("FlatButton7"));
  EXPECT_EQ(questions(prompts_).last(), keepQuestion(60));
  ASSERT_EQ(prompts_.messages(), QStringList{kTabClosed});
  EXPECT_EQ(prompts_.log.back().icon, PromptIcon::Error);
  EXPECT_EQ(gridRequests(3), 1);  // pages 2 and 3 came in the run's tab
  EXPECT_FALSE(state_.stopRequested);
  expectGrid(test::readWithFreexl(target), sim_->school(), sim::GridKind::InSchool, 3, 15, 60);
  EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(ListScrapeTest, WithoutTheListPageTheFirstMessageAndNoSaveDialog) {
  startSim({.students = 10});
  makeForm();
  logIn();
  ASSERT_TRUE(runScrape("FlatButton7"));
  ASSERT_EQ(prompts_.log.size(), 1u);
  EXPECT_EQ(prompts_.log[0].kind, RecordedPrompt::Message);
  EXPECT_EQ(prompts_.log[0].text, QString::fromStdString(inSchoolListLayout().startFailedMessage));
  EXPECT_EQ(prompts_.log[0].icon, PromptIcon::None);
  ASSERT_TRUE(runScrape("FlatButton16"));  // the home page is no audit page
  EXPECT_EQ(prompts_.lastMessage(), QString::fromStdString(auditStartFailedMessage()));
  EXPECT_EQ(prompts_.log.size(), 2u);
}

TEST_F(ListScrapeTest, AuditListForBothUserTypes) {
  for (int type : {1, 2}) {
    SCOPED_TRACE(type);
    startSim({.accountType = type, .students = 40});
    makeForm();
    logIn();
    openListPage("FlatButton15", type == 1 ? "l5-gen39" : "l5-gen38");
    ASSERT_EQ(button("FlatButton16")->text(), QStringLiteral("抓取异动记录"));
    prompts_.fileNames = {QString::fromStdString(path(type == 1 ? "audit1.xls" : "audit2.xls"))};
    ASSERT_TRUE(runScrape("FlatButton16"));
    ASSERT_EQ(prompts_.messages(), QStringList{kDone});
    EXPECT_EQ(form_->panelText(1), QStringLiteral("已导出记录条数：23"));
    const sim::GridKind kind = type == 1 ? sim::GridKind::DepartmentAudit : sim::GridKind::SchoolAudit;
    const test::ReadBack file = test::readWithFreexl(path(type == 1 ? "audit1.xls" : "audit2.xls"));
    EXPECT_EQ(file.cols, 10);
    expectGrid(file, sim_->school(), kind, 2, 11, 23);
    EXPECT_EQ(gridRequests(2), 1);
    prompts_.log.clear();
    TearDown();
  }
}

}  // namespace
}  // namespace qm::e2e
