#include "server/duplicate/duplicate_answer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm {
namespace {

// Rows in the key order the service writes: XXMC right before CSRQ.
std::string answerWith(const std::string& total, const std::vector<std::string>& schools) {
  std::string a = R"({"total":)" + total + R"(,"javaClass":"DataSet","rows":[)";
  for (std::size_t i = 0; i < schools.size(); ++i) {
    if (i) a += ',';
    a += R"({"XM":"\u5f20\u4e09","SFZJH":"440106201001010011","XXMC":")" + schools[i] +
         R"(","CSRQ":"20100101","javaClass":"HashMap"})";
  }
  a += "]}";
  return a;
}

TEST(DuplicateAnswer, FoundWithTwoSchoolsDecodesTheirNames) {
  const auto a = InterpretDuplicateAnswer(
      answerWith("2", {R"(\u5e7f\u5dde\u5e02\u7b2c\u4e00\u4e2d\u5b66)", R"(\u5357\u5c71301\u73ed)"}));
  EXPECT_EQ(a.kind, DuplicateAnswerKind::Found);
  EXPECT_EQ(a.countText, "2");
  EXPECT_EQ(a.schools, (std::vector<std::string>{"广州市第一中学", "南山301班"}));
}

TEST(DuplicateAnswer, CountsDecideTheKind) {
  struct Case {
    std::string answer;
    DuplicateAnswerKind kind;
    std::string countText;
  } cases[] = {
      {answerWith("0", {}), DuplicateAnswerKind::NotFound, "0"},
      {answerWith("-1", {}), DuplicateAnswerKind::NotFound, "-1"},
      {answerWith("1", {"A"}), DuplicateAnswerKind::Found, "1"},
      {answerWith("+3", {"A"}), DuplicateAnswerKind::Found, "+3"},
      {answerWith("\"2\"", {}), DuplicateAnswerKind::NoCount, ""},
      {answerWith("", {}), DuplicateAnswerKind::NoCount, ""},
      {answerWith(" 2", {}), DuplicateAnswerKind::NoCount, ""},
      {answerWith("null", {}), DuplicateAnswerKind::NoCount, ""},
      {answerWith("4294967297", {}), DuplicateAnswerKind::NoCount, ""},
      {answerWith("2147483647", {}), DuplicateAnswerKind::Found, "2147483647"},
      {R"({"total":2})", DuplicateAnswerKind::NoCount, ""},
      {R"({"javaClass":"DataSet","total":2})", DuplicateAnswerKind::NoCount, ""},
      {"<html>login</html>", DuplicateAnswerKind::NoCount, ""},
      {"", DuplicateAnswerKind::NoCount, ""},
  };
  for (const auto& c : cases) {
    const auto a = InterpretDuplicateAnswer(c.answer);
    EXPECT_EQ(a.kind, c.kind) << c.answer;
    EXPECT_EQ(a.countText, c.countText) << c.answer;
  }
}

TEST(DuplicateAnswer, CaptchaFailureWinsOverAnyCount) {
  const std::string failed =
      R"({"success":false,"msg":"\u9a8c\u8bc1\u7801\u6821\u9a8c\u5931\u8d25\uff01"})";
  EXPECT_EQ(InterpretDuplicateAnswer(failed).kind, DuplicateAnswerKind::CaptchaRejected);
  EXPECT_EQ(InterpretDuplicateAnswer(answerWith("1", {"A"}) + failed).kind, DuplicateAnswerKind::CaptchaRejected);
  // Upper-case hex digits are another text: matched byte for byte.
  EXPECT_EQ(InterpretDuplicateAnswer(R"(\u9A8C\u8BC1\u7801\u6821\u9A8C\u5931\u8D25\uFF01)").kind,
            DuplicateAnswerKind::NoCount);
}

TEST(DuplicateAnswer, SchoolListStopsAtARowWithoutBirthDate) {
  const std::string a = R"({"total":2,"javaClass":"DataSet","rows":[{"x":"1","XXMC":"A","CSRQ":"1"},)"
                        R"({"x":"1","XXMC":"B","JDZT":"1"}]})";
  EXPECT_EQ(cutSchoolNames(a), (std::vector<std::string>{"A"}));
  // A birth-date key before the first school is not taken for the school's end.
  const std::string b = R"({"a":"1","CSRQ":"2","XXMC":"C","CSRQ":"3"})";
  EXPECT_EQ(cutSchoolNames(b), (std::vector<std::string>{"C"}));
}

TEST(DuplicateAnswer, LoginPageIsTheInputNamedJUsername) {
  struct Case {
    const char* body;
    bool login;
  } cases[] = {
      {R"(<p>用户名：<input name="_j_username" type="text"></p>)", true},
      {R"(<INPUT type=text NAME='_j_username'>)", true},
      {R"(<input name = "_j_username">)", true},
      {"<input name=_j_username>", true},
      {"<input\nname=_j_username type=text>", true},
      // Not an input of that name: an answer that only mentions it, a longer
      // name, another attribute, a value cut at the end.
      {R"({"total":0,"javaClass":"DataSet","msg":"_j_username"})", false},
      {R"(<input name="_j_username2">)", false},
      {R"(<input id="_j_username">)", false},
      {R"(<input username="_j_username">)", false},
      {R"(<input name="_j_username)", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isLoginPage(c.body), c.login) << c.body;
}

TEST(DuplicateAnswer, EveryRedirectMeansTheSessionEnded) {
  for (int status : {300, 301, 302, 303, 307, 308, 399}) EXPECT_TRUE(isLoginRedirect(status)) << status;
  for (int status : {0, 200, 204, 299, 400, 404, 500}) EXPECT_FALSE(isLoginRedirect(status)) << status;
}

}  // namespace
}  // namespace qm
