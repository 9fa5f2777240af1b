// A duplicate-check run end to end: the window over a workbook, regsim's
// province query with its captchas, the log, the end messages and the bytes
// that went out.
#include <QFile>
#include <QGroupBox>
#include <QStringDecoder>

#include "tests/e2e/server/duplicate/duplicate_e2e_support.h"

namespace qm::e2e {
namespace {

using Entry = CaptchaEntry;

QString u(const std::string& s) { return QString::fromStdString(s); }

class DuplicateRunTest : public DuplicateTest {
 public:
  // Row 1 is registered at two schools, row 2 nowhere, row 3 has a blank
  // name, row 4 at one school.
  void openFourStudents() {
    const auto& outside = sim_->outsidePeople().at(0);
    ASSERT_TRUE(outside.schools.empty());
    openWorkbook({{"学生", {{"序号", "姓名", "身份证件号"},
                            {1, student(2).xm, student(2).sfzjh},
                            {2, outside.name, outside.idNumber},
                            {3, "  ", student(1).sfzjh},
                            {4, student(0).xm, student(0).sfzjh}}}});
    ASSERT_TRUE(form_->Button1->isEnabled());
  }
  QString found(int n, const sim::Student& s) const {
    return u("【" + std::to_string(n) + "、" + s.xm + "】共找到" +
             std::to_string(sim_->provinceRegistrations(s.sfzjh).size()) + "条学籍。学籍所在学校：" +
             schoolsOf(s.sfzjh) + "。");
  }
  QString line(int n, const std::string& name, const char* text) const {
    return u("【" + std::to_string(n) + "、" + name + "】" + text);
  }
  void setFilters(bool found, bool notFound, bool noResult, bool unchecked) {
    form_->CheckBox2->setChecked(found);
    form_->CheckBox4->setChecked(notFound);
    form_->CheckBox1->setChecked(noResult);
    form_->CheckBox3->setChecked(unchecked);
  }
  RecordedPrompt lastPrompt() const { return host_.scripted.log.back(); }
};

TEST_F(DuplicateRunTest, FoundNotFoundBlankAndAWrongCaptchaAskedAgain) {
  startSim();
  makeForm();
  openFourStudents();
  setFilters(true, true, true, true);
  entries = {{Entry::Right}, {Entry::Right}, {Entry::Wrong}, {Entry::Right, false, true}};
  ASSERT_TRUE(run());

  ASSERT_EQ(sim_->provinceRegistrations(student(2).sfzjh).size(), 2u);
  const std::string outsider = sim_->outsidePeople().at(0).name;
  EXPECT_EQ(log(), (QStringList{found(1, student(2)), line(2, outsider, "查重无问题。"),
                                line(3, "", "姓名或身份证号为空，无法查重。"), line(4, student(0).xm, "验证码错误。"),
                                found(4, student(0))}));
  EXPECT_TRUE(log()[0].contains(u(schoolsOf(student(2).sfzjh))) && log()[0].contains(QStringLiteral(";")));
  // The wrong code left the counter at 4 for the next dialog.
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].counter, QStringLiteral("1"));
  EXPECT_EQ(seen[1].counter, QStringLiteral("2"));
  EXPECT_EQ(seen[2].counter, QStringLiteral("4"));
  EXPECT_EQ(seen[3].counter, QStringLiteral("4"));
  for (const auto& s : seen) {
    EXPECT_TRUE(s.pictureLoaded);
    EXPECT_EQ(s.pictureSize, QSize(89, 25));
  }
  EXPECT_EQ(requestsTo(sim::RegSim::kProvinceServicePath).size(), 4u);
  EXPECT_EQ(lastPrompt().text, QStringLiteral("比对结束！"));
  EXPECT_EQ(lastPrompt().title, QStringLiteral("恭喜"));
  EXPECT_EQ(form_->Label9->text(), QStringLiteral("4"));
  EXPECT_EQ(form_->Label10->text(), QStringLiteral("4"));
  // Controls as after any run.
  EXPECT_TRUE(form_->Button1->isEnabled());
  EXPECT_FALSE(form_->Button2->isEnabled());
  EXPECT_TRUE(form_->Button4->isEnabled());
  EXPECT_TRUE(form_->BitBtn4->isEnabled());
  EXPECT_FALSE(form_->BitBtn2->isEnabled());
  EXPECT_TRUE(form_->ComboBox2->isEnabled());
  EXPECT_TRUE(form_->GroupBox4->isEnabled());
}

TEST_F(DuplicateRunTest, FiltersLetTheirLinesThrough) {
  struct Case {
    bool found, notFound, noResult, unchecked;
    std::vector<int> rows;  // the lines expected, by row: 1 found, 2 not found, 3 blank, 4 found
  };
  const std::vector<Case> cases = {
      {true, false, false, false, {1, 4}},  // as the window opens
      {false, true, false, false, {2}},
      {false, false, false, true, {3}},
      {false, false, true, false, {}},
  };
  startSim();
  makeForm();
  openFourStudents();
  for (const Case& c : cases) {
    setFilters(c.found, c.notFound, c.noResult, c.unchecked);
    entries = {{Entry::Right}, {Entry::Right}, {Entry::Right}};
    ASSERT_TRUE(run());
    QStringList want;
    for (int r : c.rows) {
      if (r == 1) want << found(1, student(2));
      if (r == 2) want << line(2, sim_->outsidePeople().at(0).name, "查重无问题。");
      if (r == 3) want << line(3, "", "姓名或身份证号为空，无法查重。");
      if (r == 4) want << found(4, student(0));
    }
    EXPECT_EQ(log(), want) << c.found << c.notFound << c.noResult << c.unchecked;
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(lastPrompt().text, QStringLiteral("比对结束！"));
  }
}

TEST_F(DuplicateRunTest, CancelStillSendsTheTypedCodeAndStops) {
  startSim();
  makeForm();
  openFourStudents();
  setFilters(true, true, true, true);
  // Esc with the right code: the student is still checked and logged.
  entries = {{Entry::Right, true, true}};
  ASSERT_TRUE(run());
  EXPECT_EQ(log(), QStringList{found(1, student(2))});
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(lastPrompt().text, QStringLiteral("查重停止！"));
  EXPECT_EQ(lastPrompt().title, QStringLiteral("请注意"));
  EXPECT_TRUE(form_->Button1->isEnabled());

  // 取消 with a wrong code: the rejection is not logged, nobody retries.
  entries = {{Entry::Wrong, true}};
  ASSERT_TRUE(run());
  EXPECT_EQ(log(), QStringList());
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(lastPrompt().text, QStringLiteral("查重停止！"));
  EXPECT_EQ(requestsTo(sim::RegSim::kProvinceServicePath).size(), 2u);

  // The next run starts afresh.
  entries = {{Entry::Right}, {Entry::Right}, {Entry::Right}};
  ASSERT_TRUE(run());
  EXPECT_EQ(lastPrompt().text, QStringLiteral("比对结束！"));
}

TEST_F(DuplicateRunTest, StopEndsTheRunAfterTheStudentInHand) {
  startSim();
  makeForm();
  openFourStudents();
  setFilters(true, true, true, true);
  Entry second{Entry::Right};
  second.pressStop = true;
  entries = {{Entry::Right}, second};
  ASSERT_TRUE(run());
  EXPECT_EQ(log(), (QStringList{found(1, student(2)), line(2, sim_->outsidePeople().at(0).name, "查重无问题。")}));
  EXPECT_EQ(lastPrompt().text, QStringLiteral("查重停止！"));
  EXPECT_EQ(lastPrompt().title, QStringLiteral("请注意"));
  EXPECT_EQ(form_->Label9->text(), QStringLiteral("2"));
}

TEST_F(DuplicateRunTest, StopEndsARequestTheServerNeverAnswers) {
  startSim({.students = 12, .outsidePeople = 3, .neverAnswer = true});
  makeForm();
  form_->setStopSilenceLimit(std::chrono::milliseconds(400));  // 60 s in use
  openFourStudents();
  setFilters(true, true, true, true);
  Entry first{Entry::Right};
  first.stopAfterMs = 300;
  entries = {first};
  ASSERT_TRUE(run());
  EXPECT_EQ(log(), QStringList{line(1, student(2).xm, "未得到反馈结果。")});
  EXPECT_EQ(lastPrompt().text, QStringLiteral("查重停止！"));
  EXPECT_TRUE(form_->Button4->isEnabled());
}

TEST_F(DuplicateRunTest, AnEndlessAnswerIsCutAndTheRunGoesOn) {
  startSim({.students = 12, .outsidePeople = 3, .endlessBody = true});
  makeForm();
  openFourStudents();
  setFilters(true, true, true, false);
  entries = {{Entry::Right}, {Entry::Right}, {Entry::Right}};
  ASSERT_TRUE(run());
  EXPECT_EQ(log(), (QStringList{line(1, student(2).xm, "未得到反馈结果。"),
                                line(2, sim_->outsidePeople().at(0).name, "未得到反馈结果。"),
                                line(4, student(0).xm, "未得到反馈结果。")}));
  EXPECT_EQ(lastPrompt().text, QStringLiteral("比对结束！"));
}

TEST_F(DuplicateRunTest, RequestBytesOfTheRunAndOfTheNextRun) {
  startSim();
  makeForm();
  openWorkbook({{"学生", {{"姓名", "身份证件号"}, {student(2).xm, student(2).sfzjh}}}});
  entries = {{Entry::Right}, {Entry::Right}};
  ASSERT_TRUE(run());
  ASSERT_TRUE(run());

  const std::string host = sim_->host(), cookie = host_.cookie, token = sim_->tokenFor(cookie);
  ASSERT_EQ(token.size(), 36u);
  const std::string runLines =
      "Cookie:" + cookie + "\r\n"
      "X-Requested-With: XMLHttpRequest\r\n"
      "ccrf-token:" + token + "\r\n"
      "Host: " + host + "\r\n";
  const std::string tail =
      "Accept: */*\r\n"
      "Accept-Encoding: gzip, deflate\r\n"
      "Accept-Language: zh-cn\r\n"
      "Referer: http://" + host + "/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp?\r\n"
      "User-Agent: Mozilla/5.0 (Windows NT 5.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/30.0.1599.69 "
      "Safari/537.36 TheWorld 6\r\n";
  // libcurl puts Host first; the rest in the client's order.
  auto hostFirst = [&](std::string requestLine, std::string middle) {
    std::string lines = middle + tail;
    const auto at = lines.find("Host: " + host + "\r\n");
    if (at != std::string::npos) lines.erase(at, host.size() + 8);
    return requestLine + "Host: " + host + "\r\n" + lines;
  };

  const auto pages = requestsTo(sim::RegSim::kProvincePagePath);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].head, "GET /jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp HTTP/1.1\r\n"
                           "Host: " + host + "\r\n"
                           "Content-Type: text/html\r\n"
                           "Cookie:" + cookie + "\r\n"
                           "Accept: text/html, */*\r\n"
                           "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n");
  // The next run's page request carries the run's values, with only the cookie line.
  EXPECT_EQ(pages[1].head, hostFirst("GET /jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp HTTP/1.1\r\n",
                                     "Connection: zh-CN,zh\r\nContent-Type: application/json\r\n"
                                     "Cookie:" + cookie + "\r\n"));

  const auto images = requestsTo(sim::RegSim::kCaptchaPath);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].head,
            hostFirst("GET /jsp/mems/xjgl/zhcx/qsxscx/imagegen.jsp?t=1547474795715?time=1547474865350 HTTP/1.1\r\n",
                      "Connection: zh-CN,zh\r\nContent-Type: application/json\r\n" + runLines));

  const auto queries = requestsTo(sim::RegSim::kProvinceServicePath);
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_EQ(queries[0].head,
            hostFirst("POST /command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd/queryQsXs HTTP/1.0\r\n",
                      "Connection: zh-CN,zh\r\nContent-Type: application/json\r\nContent-Length: " +
                          std::to_string(queries[0].body.size()) + "\r\n" + runLines));
}

TEST_F(DuplicateRunTest, QuoteAndBackslashInANameAreEscapedInTheBody) {
  startSim();
  makeForm();
  const std::string name = "王\"小\\明";
  openWorkbook({{"学生", {{"姓名", "身份证件号"}, {name, student(2).sfzjh}}}});
  setFilters(true, true, true, true);
  entries = {{Entry::Right}};
  ASSERT_TRUE(run());
  const auto queries = requestsTo(sim::RegSim::kProvinceServicePath);
  ASSERT_EQ(queries.size(), 1u);
  const std::string& body = queries[0].body;
  const auto codeAt = body.find("\"rdmCode\":\"");
  ASSERT_NE(codeAt, std::string::npos);
  // The code typed; the server accepted it (the student is found below).
  const std::string code = body.substr(codeAt + 11, 4);
  EXPECT_EQ(body,
            "{\"params\":{\"javaClass\":\"org.loushang.next.data.ParameterSet\",\"map\":{\"xm\":\"王\\\"小\\\\明\","
            "\"sfzjh\":\"" + student(2).sfzjh + "\",\"xbm\":\"\",\"csrq\":\"\",\"sfzx\":\"\",\"grbsm\":\"\","
            "\"jdztm\":\"\",\"rdmCode\":\"" + code + "\",\"start\":0,\"limit\":20,\"defaultSort\":{\"javaClass\":"
            "\"ArrayList\",\"list\":[]},\"dir\":\"ASC\"},\"length\":13},\"context\":{\"javaClass\":\"HashMap\","
            "\"map\":{},\"length\":0}}");
  // The server took the code: the student was found, under the name as the sheet holds it.
  EXPECT_EQ(log(), QStringList{u("【1、" + name + "】共找到2条学籍。学籍所在学校：" + schoolsOf(student(2).sfzjh) + "。")});
}

TEST_F(DuplicateRunTest, SavingTheLogTwiceLeavesTheSecondContent) {
  startSim();
  makeForm();
  openFourStudents();
  setFilters(true, true, true, true);
  entries = {{Entry::Right}, {Entry::Right}, {Entry::Right}};
  ASSERT_TRUE(run());
  const QStringList first = log();
  ASSERT_EQ(first.size(), 4);
  auto saved = [&] {
    QFile f(QString::fromStdString(path("log.txt")));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  };
  host_.scripted.fileNames.push_back(QString::fromStdString(path("log")));  // the extension is added
  form_->Button5->click();
  QByteArray bytes = saved();
  QStringDecoder gb("GB18030");
  EXPECT_EQ(QString(gb.decode(bytes)), first.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
  EXPECT_FALSE(bytes.contains(QByteArray("\n\n")));

  // Only the default filter now: a shorter log, saved over the first.
  setFilters(true, false, false, false);
  entries = {{Entry::Right}, {Entry::Right}, {Entry::Right}};
  ASSERT_TRUE(run());
  ASSERT_EQ(log().size(), 2);
  host_.scripted.fileNames.push_back(QString::fromStdString(path("log.txt")));
  form_->Button5->click();
  QStringDecoder gb2("GB18030");
  EXPECT_EQ(QString(gb2.decode(saved())), log().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

// A server slower than the old 2 s grace: 停止 and 取消 let the request in
// hand finish (the 60 s silence limit is far off), and its answer is logged.
TEST_F(DuplicateRunTest, StopAndCancelLetASlowAnswerFinishAndLogIt) {
  startSim({.students = 12, .delayMs = 2600, .outsidePeople = 3});
  makeForm();
  openWorkbook({{"学生", {{"姓名", "身份证件号"},
                          {student(2).xm, student(2).sfzjh},
                          {student(0).xm, student(0).sfzjh}}}});
  struct Case {
    const char* what;
    Entry entry;
  } cases[] = {
      {"停止 just after the code went", [] { Entry e{Entry::Right}; e.stopAfterMs = 50; return e; }()},
      {"取消 with the right code typed", Entry{Entry::Right, true}},
  };
  for (const auto& c : cases) {
    entries = {c.entry};
    ASSERT_TRUE(run()) << c.what;
    EXPECT_EQ(log(), QStringList{found(1, student(2))}) << c.what;
    EXPECT_EQ(lastPrompt().text, QStringLiteral("查重停止！")) << c.what;
    EXPECT_EQ(lastPrompt().title, QStringLiteral("请注意")) << c.what;
  }
}

TEST_F(DuplicateRunTest, AnEndedSessionStopsTheRunInsteadOfLookingClean) {
  // Captcha pictures and queries alternate: picture 1, query 1, picture 2,
  // query 2, then (record 3 is blank) picture 3 and query 3 for record 4.
  struct Case {
    int endsAt;      // the request that finds no session
    bool loginPage;  // the server answers with its login page instead of a redirect
    std::size_t dialogsScripted, queries;
  } cases[] = {
      {6, false, 3, 3}, {6, true, 3, 3},  // record 4's query
      {5, false, 2, 2}, {5, true, 2, 2},  // record 4's picture: its dialog closes by itself
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.endsAt << " " << c.loginPage);
    startSim({.students = 12, .outsidePeople = 3, .sessionEndsAt = c.endsAt, .loginPageWhenLoggedOut = c.loginPage});
    makeForm();
    openFourStudents();
    seen.clear();
    // The default filter: an ended session must not end as "比对结束！" with a clean-looking log.
    setFilters(true, false, false, false);
    entries = {{Entry::Right}, {Entry::Right}, {Entry::Right}};
    ASSERT_TRUE(run());
    EXPECT_EQ(log(), QStringList{found(1, student(2))});
    EXPECT_EQ(lastPrompt().text, QStringLiteral("登录已失效，请重新登录学籍网后再查重。\r已查 3 人。"));
    EXPECT_EQ(lastPrompt().title, QStringLiteral("请注意"));
    EXPECT_EQ(seen.size(), c.dialogsScripted);
    EXPECT_EQ(requestsTo(sim::RegSim::kProvinceServicePath).size(), c.queries);
    EXPECT_EQ(form_->Label9->text(), QStringLiteral("4"));
    EXPECT_TRUE(form_->Button1->isEnabled());
    // No error box on the way: the one message is the ended session's.
    for (const auto& p : host_.scripted.log) EXPECT_NE(p.icon, PromptIcon::Error) << p.text.toStdString();

    // The next run finds no session at its start.
    entries.clear();
    ASSERT_TRUE(run());
    EXPECT_EQ(lastPrompt().text, QStringLiteral("您还没有登录学籍网吧？"));
    form_.reset();
    host_.scripted.log.clear();
  }
}

TEST_F(DuplicateRunTest, APageWithoutTheTokenIsAFailedStart) {
  startSim({.students = 12, .outsidePeople = 3, .pageWithoutToken = true});
  makeForm();
  openFourStudents();
  ASSERT_TRUE(run());
  EXPECT_EQ(host_.scripted.lastMessage(), QStringLiteral("您还没有登录学籍网吧？"));
  EXPECT_EQ(lastPrompt().title, kAppTitle);
  EXPECT_TRUE(seen.empty());
  EXPECT_TRUE(requestsTo(sim::RegSim::kProvinceServicePath).empty());
  EXPECT_TRUE(requestsTo(sim::RegSim::kCaptchaPath).empty());
  EXPECT_TRUE(form_->Button1->isEnabled());
}

}  // namespace
}  // namespace qm::e2e
