// The list pages in a real browser engine: the next-page button swaps rows, pager
// text and page box in place, and the tables are numbered as the scrapes count them.
#include <QNetworkCookie>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <gtest/gtest.h>

#include "sim/regsim.h"
#include "tests/support/regsim_fixture.h"

namespace qm::test {
namespace {

constexpr int kWait = 15000;

class GridPagingTest : public test::RegSimFixture {
 protected:
  void open(sim::RegSimOptions options, const char* path) {
    ASSERT_NO_FATAL_FAILURE(startServer(std::move(options)));
    const std::string cookie = sim_->loginCookie();
    const QUrl origin(QString::fromStdString("http://" + sim_->host() + "/"));
    QNetworkCookie session("JSESSIONID", QByteArray::fromStdString(cookie.substr(cookie.find('=') + 1)));
    session.setDomain("127.0.0.1");
    session.setPath("/");
    profile_.cookieStore()->setCookie(session, origin);
    QSignalSpy loaded(&page_, &QWebEnginePage::loadFinished);
    page_.load(origin.resolved(QUrl(path)));
    ASSERT_TRUE(loaded.wait(kWait) || loaded.count() > 0);
    ASSERT_TRUE(loaded.last().at(0).toBool());
    js("window.qmSameDocument = true; true");
  }
  QVariant js(const QString& script) {
    QVariant result;
    bool done = false;
    page_.runJavaScript(script, [&](const QVariant& v) {
      result = v;
      done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, kWait)) << script.toStdString();
    return result;
  }
  QString cell(int table, int cell) {
    return js(QString("(function(){var t=document.getElementsByTagName('table')[%1];"
                      "return t ? t.rows[0].cells[%2].innerText : '<none>';})()")
                  .arg(table)
                  .arg(cell))
        .toString();
  }
  QString inputValue(const char* id) { return js(QString("document.getElementById('%1').value").arg(id)).toString(); }
  QString text(const char* id) { return js(QString("document.getElementById('%1').innerText").arg(id)).toString(); }
  void click(const char* id) { js(QString("document.getElementById('%1').click(); true").arg(id)); }

  QWebEngineProfile profile_;  // off the record
  QWebEnginePage page_{&profile_};
};

TEST_F(GridPagingTest, NextPageSwapsRowsInPlaceUntilTheLastPage) {
  open({.gridRows = 45}, sim::RegSim::kQueryPagePath);
  EXPECT_EQ(text("l5-gen55"), QStringLiteral("，共 3 页"));
  EXPECT_EQ(cell(6, 3), QStringLiteral("姓名"));
  EXPECT_EQ(cell(7, 3), QString::fromStdString(sim_->students()[0].xm));
  EXPECT_EQ(cell(26, 1), "20");
  const struct {
    const char* page;
    int first, rows;
  } pages[] = {{"2", 21, 20}, {"3", 41, 5}};
  for (const auto& p : pages) {
    click("l5-gen59");
    ASSERT_TRUE(QTest::qWaitFor([&] { return inputValue("l5-gen54") == p.page; }, kWait)) << p.page;
    // When the page box shows the new number, the rows are already the new page's.
    EXPECT_EQ(cell(7, 1), QString::number(p.first));
    EXPECT_EQ(cell(7, 3), QString::fromStdString(sim_->students()[static_cast<std::size_t>(p.first - 1)].xm));
    EXPECT_EQ(cell(6 + p.rows, 1), QString::number(p.first + p.rows - 1));
    EXPECT_EQ(text("l5-gen55"), QStringLiteral("，共 3 页"));
  }
  EXPECT_EQ(cell(12, 3), QStringLiteral("第"));
  EXPECT_TRUE(js("document.getElementById('l5-gen59').disabled").toBool());
  EXPECT_TRUE(js("window.qmSameDocument === true").toBool()) << "paged without a new document";
}

TEST_F(GridPagingTest, AuditPagerOfDepartmentAccountsUsesItsOwnIds) {
  open({.gridRows = 23}, sim::RegSim::kDepartmentAuditPath);
  EXPECT_EQ(cell(3, 2), QStringLiteral("姓名"));
  click("l5-gen39");
  ASSERT_TRUE(QTest::qWaitFor([&] { return inputValue("l5-gen34") == "2"; }, kWait));
  EXPECT_EQ(cell(4, 1), "21");
  EXPECT_EQ(cell(7, 2), QStringLiteral("第"));
  EXPECT_EQ(text("l5-gen35"), QStringLiteral("，共 2 页"));
}

TEST_F(GridPagingTest, StuckPagerStaysOnPageOne) {
  open({.gridRows = 45, .pagerStuck = true}, sim::RegSim::kQueryPagePath);
  // A mark on the shown row that only a swap of the rows removes.
  js("document.getElementsByTagName('table')[7].rows[0].cells[1].innerText = 'old'; true");
  click("l5-gen59");
  ASSERT_TRUE(QTest::qWaitFor([&] { return cell(7, 1) == "1"; }, kWait)) << "the answer came and was swapped in";
  EXPECT_EQ(inputValue("l5-gen54"), "1");
  EXPECT_EQ(cell(7, 1), "1");
}

}  // namespace
}  // namespace qm::test
