#include "server/duplicate/duplicate_run.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "server/duplicate/duplicate_request.h"

namespace qm {
namespace {

struct Record {
  std::string name, id;
};

// One captcha entry: the typed code and whether "取消" closed the dialog.
struct Entry {
  std::string code;
  bool cancel = false;
};

// Drives a run the way the window's coroutine does, with scripted dialog
// entries and server answers (none = the request failed).
struct Driver {
  std::vector<Record> records;
  DuplicateFilters filters;
  std::deque<Entry> entries;
  std::deque<std::optional<std::string>> answers;
  // Called while a query waits for its answer: where "停止" is pressed.
  std::function<void(DuplicateRun&)> duringRequest;

  std::vector<std::string> log, bodies;
  std::vector<int> counter;
  Notice end;

  void run() {
    DuplicateRun r(static_cast<int>(records.size()), filters);
    while (r.goesOn()) {
      const Record& rec = records[static_cast<std::size_t>(r.recordNumber() - 1)];
      const auto start = r.startStudent(rec.name, rec.id);
      counter.push_back(r.recordNumber());
      if (start.line) log.push_back(*start.line);
      if (start.query) {
        ASSERT_FALSE(entries.empty()) << "dialog shown once too often";
        const Entry e = entries.front();
        entries.pop_front();
        if (e.cancel) r.requestStop();
        bodies.push_back(r.queryBody(e.code));
        if (duringRequest) duringRequest(r);
        ASSERT_FALSE(answers.empty()) << "query sent once too often";
        const auto answer = answers.front();
        answers.pop_front();
        const auto result = answer ? r.answer(*answer) : r.noAnswer();
        if (result.line) log.push_back(*result.line);
        EXPECT_EQ(result.retry, r.state() == DuplicateRunState::Retry);
      }
      r.moveOn();
    }
    end = r.finish();
    EXPECT_EQ(r.state(), DuplicateRunState::Continue);
  }
};

const std::string kWrongCaptcha = R"({"msg":"\u9a8c\u8bc1\u7801\u6821\u9a8c\u5931\u8d25\uff01"})";
const std::string kNotFound = R"({"total":0,"javaClass":"DataSet","rows":[]})";
const std::string kTwoSchools =
    R"({"total":2,"javaClass":"DataSet","rows":[{"XM":"x","XXMC":"\u5e7f\u5dde\u4e00\u4e2d","CSRQ":"2010"},)"
    R"({"XM":"x","XXMC":"\u5357\u5c71\u5c0f\u5b66","CSRQ":"2010"}]})";
const std::string kOneSchool = R"({"total":1,"javaClass":"DataSet","rows":[{"XM":"x","XXMC":"A","CSRQ":"1"}]})";

DuplicateFilters allOn() { return {true, true, true, true}; }

TEST(DuplicateRun, FoundNotFoundEmptyAndNoAnswerWithEveryFilterOn) {
  Driver d;
  d.records = {{" 张三 ", "440106201001010011"}, {"李四", "440106201001010022"}, {"  ", "4401"},
               {"王五", " "}, {"赵六", "440106201001010033"}, {"钱七", "440106201001010044"}};
  d.filters = allOn();
  d.entries = {{"a1"}, {"b2"}, {"c3"}, {"d4"}};
  d.answers = {kTwoSchools, kNotFound, std::nullopt, "<html>500</html>"};
  d.run();
  EXPECT_EQ(d.log, (std::vector<std::string>{
                       "【1、张三】共找到2条学籍。学籍所在学校：广州一中;南山小学。",
                       "【2、李四】查重无问题。",
                       "【3、】姓名或身份证号为空，无法查重。",
                       "【4、王五】姓名或身份证号为空，无法查重。",
                       "【5、赵六】未得到反馈结果。",
                       "【6、钱七】未得到反馈结果。",
                   }));
  EXPECT_EQ(d.counter, (std::vector<int>{1, 2, 3, 4, 5, 6}));
  ASSERT_EQ(d.bodies.size(), 4u);
  EXPECT_EQ(d.bodies[0], BuildDuplicateQueryBody("张三", "440106201001010011", "a1"));
  EXPECT_EQ(d.end.title, "恭喜");
  EXPECT_EQ(d.end.text, "比对结束！");
}

TEST(DuplicateRun, FiltersChooseTheLines) {
  const std::vector<Record> records = {{"甲", "1"}, {"乙", "2"}, {"", "3"}, {"丙", "4"}};
  const std::string found = "【1、甲】共找到1条学籍。学籍所在学校：A。";
  const std::string notFound = "【2、乙】查重无问题。";
  const std::string unchecked = "【3、】姓名或身份证号为空，无法查重。";
  const std::string noResult = "【4、丙】未得到反馈结果。";
  struct Case {
    DuplicateFilters filters;
    std::vector<std::string> lines;
  } cases[] = {
      {{}, {found}},  // the window's defaults
      {{false, false, false, false}, {}},
      {{false, true, false, false}, {notFound}},
      {{false, false, true, false}, {noResult}},
      {{false, false, false, true}, {unchecked}},
      {allOn(), {found, notFound, unchecked, noResult}},
  };
  for (const auto& c : cases) {
    Driver d;
    d.records = records;
    d.filters = c.filters;
    d.entries = {{"x"}, {"x"}, {"x"}};
    d.answers = {kOneSchool, kNotFound, std::nullopt};
    d.run();
    EXPECT_EQ(d.log, c.lines);
    EXPECT_EQ(d.counter, (std::vector<int>{1, 2, 3, 4}));  // a skipped record still moves the counter
  }
}

TEST(DuplicateRun, WrongCaptchaAsksTheSameRecordAgainWhateverTheFilters) {
  Driver d;
  d.records = {{"甲", "1"}, {"乙", "2"}};
  d.filters = {false, false, false, false};
  d.entries = {{"x"}, {"wrong"}, {"again"}, {"ok"}};
  d.answers = {kNotFound, kWrongCaptcha, kWrongCaptcha, kOneSchool};
  d.run();
  EXPECT_EQ(d.log, (std::vector<std::string>{"【2、乙】验证码错误。", "【2、乙】验证码错误。"}));
  EXPECT_EQ(d.counter, (std::vector<int>{1, 2, 2, 2}));
  ASSERT_EQ(d.bodies.size(), 4u);
  EXPECT_EQ(d.bodies[3], BuildDuplicateQueryBody("乙", "2", "ok"));
  EXPECT_EQ(d.end.text, "比对结束！");
}

TEST(DuplicateRun, CancelStillSendsTheTypedCodeAndLogsTheAnswer) {
  Driver d;
  d.records = {{"甲", "1"}, {"乙", "2"}, {"丙", "3"}};
  d.entries = {{"good", true}};
  d.answers = {kOneSchool};
  d.run();
  ASSERT_EQ(d.bodies.size(), 1u);
  EXPECT_EQ(d.bodies[0], BuildDuplicateQueryBody("甲", "1", "good"));
  EXPECT_EQ(d.log, (std::vector<std::string>{"【1、甲】共找到1条学籍。学籍所在学校：A。"}));
  EXPECT_EQ(d.counter, (std::vector<int>{1}));
  EXPECT_EQ(d.end.title, "请注意");
  EXPECT_EQ(d.end.text, "查重停止！");
}

TEST(DuplicateRun, CancelWithAWrongCodeWritesNoCaptchaLineAndStops) {
  Driver d;
  d.records = {{"甲", "1"}, {"乙", "2"}};
  d.filters = allOn();
  d.entries = {{" typo ", true}};
  d.answers = {kWrongCaptcha};
  d.run();
  EXPECT_EQ(d.bodies, (std::vector<std::string>{BuildDuplicateQueryBody("甲", "1", "typo")}));
  EXPECT_TRUE(d.log.empty());
  EXPECT_EQ(d.end.text, "查重停止！");
}

TEST(DuplicateRun, StopDuringAnAnswerEndsAfterTheRecordInHand) {
  Driver d;
  d.records = {{"甲", "1"}, {"乙", "2"}, {"丙", "3"}};
  d.filters = allOn();
  d.entries = {{"x"}, {"y"}};
  d.answers = {kNotFound, kNotFound};
  int queries = 0;
  d.duringRequest = [&queries](DuplicateRun& r) {
    if (++queries == 2) r.requestStop();
  };
  d.run();
  EXPECT_EQ(d.log, (std::vector<std::string>{"【1、甲】查重无问题。", "【2、乙】查重无问题。"}));
  EXPECT_EQ(d.end.text, "查重停止！");
}

TEST(DuplicateRun, StopIsNotClearedByTheNextAttempt) {
  DuplicateRun r(2, {});
  ASSERT_TRUE(r.startStudent("甲", "1").query);
  r.answer(kWrongCaptcha);
  EXPECT_EQ(r.state(), DuplicateRunState::Retry);
  r.moveOn();
  EXPECT_EQ(r.recordNumber(), 1);
  r.requestStop();  // pressed between the attempts
  EXPECT_FALSE(r.goesOn());
  r.startStudent("甲", "1");  // a driver that looks too late still sees the stop
  EXPECT_EQ(r.state(), DuplicateRunState::Stop);
}

TEST(DuplicateRun, EmptySheetEndsAtOnce) {
  Driver d;
  d.run();
  EXPECT_TRUE(d.counter.empty());
  EXPECT_EQ(d.end.title, "恭喜");
}

TEST(DuplicateRun, AnEndedSessionStopsTheRunAndSaysHowManyWereChecked) {
  // Records 1 and 2 answered, record 3 got the login page: two checked.
  DuplicateRun r(5, allOn());
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(r.startStudent("甲", "1").query);
    r.answer(kNotFound);
    r.moveOn();
  }
  ASSERT_TRUE(r.startStudent("乙", "2").query);
  r.sessionExpired();
  r.moveOn();
  EXPECT_FALSE(r.goesOn());
  EXPECT_EQ(r.recordNumber(), 3);
  const Notice end = r.finish();
  EXPECT_EQ(end.title, "请注意");
  EXPECT_EQ(end.text, "登录已失效，请重新登录学籍网后再查重。\r已查 2 人。");
  EXPECT_EQ(r.state(), DuplicateRunState::Continue);
  EXPECT_FALSE(r.expired());
}

TEST(DuplicateRun, AnEndedSessionAtTheFirstRecordCheckedNobody) {
  DuplicateRun r(3, {});
  ASSERT_TRUE(r.startStudent("甲", "1").query);
  r.requestStop();  // 取消 before the login page came back: the session still speaks
  r.sessionExpired();
  EXPECT_EQ(r.finish().text, "登录已失效，请重新登录学籍网后再查重。\r已查 0 人。");
}

}  // namespace
}  // namespace qm
