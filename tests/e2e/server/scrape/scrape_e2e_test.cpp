// "抓取在校生" and "抓取异动记录" end to end: the real window on regsim, the
// list page opened by its top-bar button, the file read back with FreeXL and
// xlrd; the pager, the stop button, a pager that never advances and a tab
// closed under a run.
#include <QElapsedTimer>
#include <QTimer>

#include "server/scrape/scrape_layout.h"
#include "sim/grid_data.h"
#include "tests/e2e/server/scrape/scrape_e2e_support.h"

namespace qm::e2e {
namespace {

const QString kTimedOutAtPage2 = QString::fromStdString(nextPageTimeoutMessage(2, 2));
const QString kTabClosed = QString::fromStdString(kScrapeTabClosedMessage);

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
  void openInSchool(int rows, bool stuck = false) {
    startSim({.students = std::max(rows, 1), .gridRows = rows, .pagerStuck = stuck});
    makeForm();
    logIn();
    openListPage("FlatButton4", "l5-gen55");
  }
};

TEST_F(ListScrapeTest, PagesOfTheInSchoolList) {
  const struct {
    int rows;
    int pagesAsked;  // next-page requests the run makes
  } cases[] = {{7, 0}, {20, 0}, {45, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows);
    openInSchool(c.rows);
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
  QTest::qWait(200);
  EXPECT_EQ(gridRequests(4), 0);
  expectGrid(test::readWithFreexl(path("stop.xls")), sim_->school(), sim::GridKind::InSchool, 3, 15, 40);
  EXPECT_EQ(form_->panelText(1), QStringLiteral("已导出记录条数：40"));
}

TEST_F(ListScrapeTest, PagerThatNeverAdvancesEndsTheRunAndKeepsTheOldFile) {
  openInSchool(45, true);
  scrapes().hooks.nextPageTimeoutMs = 1500;
  const std::string target = path("old.xls");
  writeOld(target);
  prompts_.fileNames = {QString::fromStdString(target)};
  prompts_.answers = {true};  // overwrite
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(runScrape("FlatButton7"));
  EXPECT_GE(clock.elapsed(), 1500);
  ASSERT_EQ(prompts_.messages(), QStringList{kTimedOutAtPage2});
  EXPECT_EQ(prompts_.log.back().icon, PromptIcon::Error);
  EXPECT_FALSE(state_.stopRequested);
  EXPECT_EQ(contents(target), QByteArray("old export"));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
  EXPECT_TRUE(button("FlatButton7")->isEnabled());
  EXPECT_FALSE(form_->tab(1)->busy());
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
  prompts_.answers = {true};
  ASSERT_TRUE(runScrape("FlatButton7"));
  ASSERT_EQ(prompts_.messages(), QStringList{kTabClosed});
  EXPECT_EQ(prompts_.log.back().icon, PromptIcon::Error);
  EXPECT_EQ(gridRequests(3), 1);  // pages 2 and 3 came in the run's tab
  EXPECT_FALSE(state_.stopRequested);
  EXPECT_EQ(contents(target), QByteArray("old export"));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
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
