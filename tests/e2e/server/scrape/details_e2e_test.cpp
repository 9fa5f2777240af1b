// "抓取学生更多信息" end to end: the hidden button's handler on the in-school
// page's second layout, three POSTs per student on IdHTTP3 byte for byte,
// the fetched columns, the stop after the row in hand, a query that never
// answers.
#include <QTimer>

#include "browser/web/cookie_mirror.h"
#include "common/text_encoding.h"
#include "server/scrape/scrape_layout.h"
#include "sim/grid_data.h"
#include "tests/e2e/server/scrape/scrape_e2e_support.h"

namespace qm::e2e {
namespace {

const char* const kUserAgent =
    "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1; WOW64; Trident/7.0; SLCC2; .NET CLR 2.0.50727; "
    ".NET CLR 3.5.30729; .NET CLR 3.0.30729; Media Center PC 6.0; .NET4.0C; .NET4.0E)";

std::string studentBody(const std::string& id) {
  return R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"XS_JBXX_ID@=":")" + id +
         R"(","defaultSort":{"javaClass":"ArrayList","list":[]},"dir":"ASC"},"length":4},"context":{"javaClass":"HashMap","map":{},"length":0}})";
}

std::string classBody(const std::string& id) {
  return R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"XX_BJXX_ID@=":")" + id +
         R"(","start":0,"limit":10,"defaultSort":{"javaClass":"ArrayList","list":[]},"dir":"ASC"},"length":6},"context":{"javaClass":"HashMap","map":{},"length":0}})";
}

std::string postHead(const std::string& path, const std::string& host, std::size_t length, const std::string& cookie,
                     const std::string& referer) {
  return "POST " + path + " HTTP/1.0\r\nHost: " + host +
         "\r\nConnection: Keep-Alive\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(length) +
         "\r\nCache-control: no-cache\r\nCookie:" + cookie +
         "\r\nx-requested-with: XMLHttpRequest\r\nAccept: */*\r\nAccept-Encoding: gzip,deflate,sdch\r\n"
         "Accept-Language: zh-cn\r\nReferer: " + referer + "\r\nUser-Agent: " + kUserAgent + "\r\n";
}

std::vector<sim::RawRequest> posts(const sim::RegSim& sim) {
  std::vector<sim::RawRequest> out;
  for (const auto& r : sim.requests())
    if (r.method == "POST") out.push_back(r);
  return out;
}

class DetailsScrapeTest : public ScrapeWindowTest {
 public:
  void openDetails(sim::RegSimOptions options) {
    options.detailsLayout = true;
    startSim(options);
    makeForm();
    logIn();
    openListPage("FlatButton4", "l5-gen49");
  }
};

TEST_F(DetailsScrapeTest, ThreeStudentsNinePosts) {
  openDetails({.students = 3});
  ASSERT_EQ(button("FlatButton23")->text(), QStringLiteral("抓取学生更多信息"));
  EXPECT_FALSE(button("FlatButton23")->isVisible());
  prompts_.fileNames = {QString::fromStdString(path("more.xls"))};
  sim_->clearRequests();
  ASSERT_TRUE(runScrape("FlatButton23"));
  ASSERT_EQ(prompts_.messages(), QStringList{kDone});
  EXPECT_EQ(prompts_.log.back().icon, PromptIcon::Information);
  EXPECT_EQ(form_->panelText(1), QStringLiteral("已导出记录条数：3"));
  EXPECT_FALSE(state_.stopRequested);

  const std::string host = state_.serverHost;
  const std::string cookie = form_->cookies()->ReadBrowserCookies(host);
  const std::vector<sim::RawRequest> sent = posts(*sim_);
  ASSERT_EQ(sent.size(), 9u);
  const auto& school = sim_->school();
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const sim::Student& s = sim_->students()[i];
    const std::string detailReferer = "http://" + host + "/jsp/mems/xjgl/zhcx/zxxsxsjbxx_detail.jsp?xsJbxxId=" +
                                      s.xsJbxxId + "&xxmc=" + utf8ToGbk(school.xxmc);  // GBK bytes
    const std::string listReferer = "http://" + host + "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp";
    const struct {
      const char* path;
      std::string body;
      std::string referer;
    } want[] = {{sim::RegSim::kDetailServicePath, studentBody(s.xsJbxxId), detailReferer},
                {sim::RegSim::kFamilyServicePath, studentBody(s.xsJbxxId), detailReferer},
                {sim::RegSim::kClassServicePath, classBody(s.xxBjxxId), listReferer}};
    for (std::size_t q = 0; q < 3; ++q) {
      const sim::RawRequest& r = sent[i * 3 + q];
      EXPECT_EQ(r.head, postHead(want[q].path, host, want[q].body.size(), cookie, want[q].referer));
      EXPECT_EQ(r.body, want[q].body);
    }
  }

  const test::ReadBack file = test::readWithFreexl(path("more.xls"));
  EXPECT_EQ(file.cols, 14);
  const std::vector<std::string> header = sim::gridHeader(sim::GridKind::InSchoolDetails);
  for (int c = 3; c <= 11; ++c) EXPECT_EQ(file.text.at({1, c - 2}), header[static_cast<std::size_t>(c)]);
  const char* titles[] = {"出生日期", "户口所在地", "户口类型", "监护人姓名", "班级"};
  for (int c = 10; c <= 14; ++c) EXPECT_EQ(file.text.at({1, c}), titles[c - 10]);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const std::vector<std::string> row = sim::gridRow(school, sim::GridKind::InSchoolDetails, i);
    for (int c = 3; c <= 11; ++c) EXPECT_EQ(file.text.at({i + 2, c - 2}), row[static_cast<std::size_t>(c)]);
    const sim::StudentDetails d = sim_->studentDetails(static_cast<std::size_t>(i));
    EXPECT_EQ(file.text.at({i + 2, 10}), d.birthDate);
    EXPECT_EQ(file.text.at({i + 2, 11}), d.residenceArea);
    EXPECT_EQ(file.text.at({i + 2, 12}), d.residenceType == "1" ? "农业户口" : "非农业户口");
    EXPECT_EQ(file.text.at({i + 2, 13}), d.guardianName);  // sent as \u escapes
    EXPECT_EQ(file.text.at({i + 2, 14}), sim_->students()[static_cast<std::size_t>(i)].bjmc);
  }
  // Both residence types occur among the three.
  EXPECT_EQ(file.text.at({2, 12}), "农业户口");
  EXPECT_EQ(file.text.at({3, 12}), "非农业户口");
  EXPECT_EQ(test::readWithXlrd(path("more.xls")).text, file.text);
}

TEST_F(DetailsScrapeTest, AStudentInNoClassGetsAnEmptyClassCellAndNoClassQuery) {
  openDetails({.students = 3, .noClassAt = 1});
  prompts_.fileNames = {QString::fromStdString(path("noclass.xls"))};
  sim_->clearRequests();
  ASSERT_TRUE(runScrape("FlatButton23"));
  ASSERT_EQ(prompts_.messages(), QStringList{kDone});
  const auto sent = posts(*sim_);
  ASSERT_EQ(sent.size(), 8u);
  for (const auto& r : sent) EXPECT_EQ(r.body.find(R"("XX_BJXX_ID@=":"")"), std::string::npos) << r.body;
  const test::ReadBack file = test::readWithFreexl(path("noclass.xls"));
  EXPECT_EQ(file.text.at({2, 14}), sim_->students()[0].bjmc);
  const auto noClass = file.text.find({3, 14});  // student 1: in no class
  EXPECT_EQ(noClass == file.text.end() ? std::string() : noClass->second, "");
  EXPECT_EQ(file.text.at({3, 13}), sim_->studentDetails(1).guardianName);
  EXPECT_EQ(file.text.at({4, 14}), sim_->students()[2].bjmc);
}

TEST_F(DetailsScrapeTest, StopEndsAfterTheStudentInHand) {
  openDetails({.students = 25});
  prompts_.fileNames = {QString::fromStdString(path("stop.xls"))};
  sim_->clearRequests();
  QTimer poll;
  poll.setInterval(1);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (posts(*sim_).size() < 4) return;
    poll.stop();
    button("FlatButton8")->click();
  });
  poll.start();
  ASSERT_TRUE(runScrape("FlatButton23"));
  ASSERT_EQ(prompts_.messages(), QStringList{kDone});
  const std::size_t sent = posts(*sim_).size();
  EXPECT_EQ(sent % 3, 0u);
  EXPECT_GE(sent, 6u);
  EXPECT_LT(sent, 60u);
  EXPECT_EQ(gridRequests(2), 0);  // the pager was not clicked
  const test::ReadBack file = test::readWithFreexl(path("stop.xls"));
  const int students = static_cast<int>(sent / 3);
  EXPECT_EQ(file.text.at({students + 1, 13}), sim_->studentDetails(static_cast<std::size_t>(students - 1)).guardianName);
  EXPECT_EQ(file.text.count({students + 2, 1}), 0u);
}

TEST_F(DetailsScrapeTest, QueryWithoutAnswerFailsAndKeepsTheOldFile) {
  openDetails({.students = 3, .neverAnswer = true});
  const std::string target = path("old.xls");
  writeOld(target);
  prompts_.fileNames = {QString::fromStdString(target)};
  prompts_.answers = {true};
  ASSERT_TRUE(runScrape("FlatButton23"));
  ASSERT_EQ(prompts_.messages(), QStringList{QStringLiteral("导出失败！可能您安装的Office是精简版？")});
  EXPECT_EQ(prompts_.log.back().icon, PromptIcon::Error);
  EXPECT_FALSE(state_.stopRequested);
  EXPECT_EQ(contents(target), QByteArray("old export"));
  EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(DetailsScrapeTest, WithoutTheSecondLayoutTheFirstMessage) {
  startSim({.students = 3});  // the in-school page in its first layout
  makeForm();
  logIn();
  openListPage("FlatButton4", "l5-gen55");
  sim_->clearRequests();
  ASSERT_TRUE(runScrape("FlatButton23"));
  EXPECT_EQ(prompts_.messages(), QStringList{QStringLiteral("抓取出错，可能是没有打开查询在校生网页！")});
  EXPECT_EQ(prompts_.log.size(), 1u);  // no save dialog
  EXPECT_TRUE(posts(*sim_).empty());
}

}  // namespace
}  // namespace qm::e2e
