// The in-school query page and query service as the export reads them.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "tests/unit/sim/sim_test_helpers.h"

namespace qm::test {
namespace {

constexpr const char* kTokenMarker = "\\x74\\x6f\\x6b\\x65\\x6e\\x27\\x3a\\x27";

TEST(RegSimQueryPage, CutsGiveAccountTypeOrganCodeAndToken) {
  const struct {
    int accountType;
    std::size_t organLength;
  } cases[] = {{1, 12}, {2, 32}, {3, 32}};
  for (const auto& c : cases) {
    StartedRegSim s({.accountType = c.accountType});
    ASSERT_TRUE(s.started);
    const std::string cookie = s.sim.loginCookie();
    const HttpReply page =
        httpExchange(s.sim.port(), getRequest(s.sim, "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp", cookie));
    ASSERT_EQ(page.status, 200);
    const std::string& html = page.body;

    EXPECT_EQ(cutAfter(html, "var userType =", 1, 1), std::to_string(c.accountType));
    const std::string organ = cutAfter(html, "var organCode=", 1, c.organLength);
    EXPECT_EQ(organ, s.sim.organCode());
    EXPECT_EQ(organ.size(), c.organLength);
    // The code is followed by its closing quote, so the cut takes all of it and nothing more.
    EXPECT_EQ(cutAfter(html, "var organCode=", 1 + c.organLength, 1), "\"");

    ASSERT_EQ(std::string(kTokenMarker).size(), 32u);
    const std::string escaped = cutAfter(html, kTokenMarker, 0, 144);
    ASSERT_EQ(escaped.size(), 144u);
    EXPECT_TRUE(std::regex_match(escaped, std::regex("(\\\\x[0-9a-f]{2}){36}"))) << escaped;
    const std::string token = decodeHexEscapes(escaped);
    EXPECT_TRUE(std::regex_match(token, std::regex("[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}")))
        << token;
    EXPECT_EQ(token, s.sim.tokenFor(cookie));

    // The first button is the one the browser clicks after the page loads.
    const auto button = html.find("<button");
    ASSERT_NE(button, std::string::npos);
    EXPECT_EQ(html.substr(html.find('>', button) + 1, 6), "查询");
  }
}

TEST(RegSimQueryPage, EachSessionHasItsOwnToken) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const std::string first = s.sim.loginCookie();
  const std::string second = s.sim.loginCookie();
  EXPECT_NE(s.sim.tokenFor(first), s.sim.tokenFor(second));
  EXPECT_EQ(s.sim.token(), s.sim.tokenFor(second));
  EXPECT_EQ(s.sim.tokenFor("JSESSIONID=unknown"), "");
}

class RegSimQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.started);
    cookie_ = sim().loginCookie();
    token_ = sim().tokenFor(cookie_);
  }
  sim::RegSim& sim() { return server_.sim; }
  HttpReply query(const std::string& body, const std::string& token) {
    return httpExchange(sim().port(), queryRequest(sim(), cookie_, token, body));
  }
  std::string answer(const std::string& grade, long long start, long long limit = 50) {
    const HttpReply reply = query(queryBody(sim().organCode(), grade, sim().queryType(), start, limit), token_);
    EXPECT_EQ(reply.status, 200);
    return reply.body;
  }

  StartedRegSim server_;
  std::string cookie_, token_;
};

TEST_F(RegSimQuery, PagesThroughAllStudentsFiftyAtATime) {
  const std::size_t expected[] = {50, 50, 20, 0};
  std::size_t next = 0;
  for (int page = 0; page < 4; ++page) {
    const std::string body = answer("**", page * 50);
    EXPECT_EQ(body.rfind("{\"result\":{\"javaClass\":\"", 0), 0u) << body.substr(0, 80);
    EXPECT_NE(body.find("\"list\":["), std::string::npos);
    EXPECT_EQ(body.substr(body.size() - 15), "]},\"total\":120}");
    const auto records = readAllRecords(body);
    ASSERT_EQ(records.size(), expected[page]) << "page " << page;
    for (const auto& r : records) {
      ASSERT_LT(next, sim().students().size());
      const sim::Student& s = sim().students()[next];
      ++next;
      EXPECT_EQ(r[rownum], std::to_string(next));
      EXPECT_EQ(decodeUnicode(r[xm]), s.xm);
      EXPECT_EQ(decodeUnicode(r[sfzjh]), s.sfzjh);
      EXPECT_EQ(r[xsJbxxId], s.xsJbxxId);
      EXPECT_EQ(r[javaClass], "HashMap");
      EXPECT_EQ(r[hkszdm].size(), 6u);
    }
  }
  EXPECT_EQ(next, 120u);
}

TEST_F(RegSimQuery, GradeFilterReturnsOnlyThatGrade) {
  const struct {
    const char* code;
    const char* name;
  } grades[] = {{"11", "小学一年级"}, {"21", "初中一年级"}, {"24", "初中四年级"}, {"33", "高中三年级"}};
  for (const auto& g : grades) {
    std::size_t inGrade = 0;
    for (const auto& s : sim().students()) inGrade += s.xxNjxxId == g.code;
    ASSERT_GT(inGrade, 0u) << g.code;
    const std::string body = answer(g.code, 0);
    const auto records = readAllRecords(body);
    EXPECT_EQ(records.size(), inGrade) << g.code;
    EXPECT_NE(body.find("\"total\":" + std::to_string(inGrade) + "}"), std::string::npos);
    for (const auto& r : records) {
      EXPECT_EQ(r[xxNjxxId], g.code);
      EXPECT_EQ(decodeUnicode(r[njmc]), g.name);
    }
  }
  EXPECT_TRUE(readAllRecords(answer("99", 0)).empty());
  // Paging applies within the grade.
  EXPECT_EQ(readAllRecords(answer("11", 0, 3)).size(), 3u);
  EXPECT_EQ(decodeUnicode(readAllRecords(answer("21", 1, 1)).at(0)[rownum]), "2");
}

TEST_F(RegSimQuery, WrongOrMissingTokenGivesNoRecords) {
  const std::string body = queryBody(sim().organCode(), "**", sim().queryType(), 0);
  std::string wrong = token_;
  wrong.back() = wrong.back() == '0' ? '1' : '0';
  for (const std::string& token : {wrong, std::string(), token_ + "x"}) {
    const HttpReply reply = query(body, token);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "{\"error\":\"invalid token\"}") << token;
  }
  // Another session's token does not fit this session.
  const std::string other = sim().tokenFor(sim().loginCookie());
  EXPECT_EQ(query(body, other).body, "{\"error\":\"invalid token\"}");
  // The header name is matched without regard to case, and a blank after the colon is allowed.
  std::string request = queryRequest(sim(), cookie_, token_, body);
  request.replace(request.find("ccrf-token:"), 11, "CCRF-Token: ");
  EXPECT_EQ(readAllRecords(httpExchange(sim().port(), request).body).size(), 50u);
}

TEST_F(RegSimQuery, NoSessionRedirects) {
  const HttpReply reply = httpExchange(
      sim().port(), queryRequest(sim(), "JSESSIONID=none", token_, queryBody(sim().organCode(), "**", "04", 0)));
  EXPECT_EQ(reply.status, 302);
  EXPECT_EQ(reply.header("Location"), "/");
}

TEST_F(RegSimQuery, QueryForAnotherAccountGivesNoRecords) {
  const std::string school = sim().organCode();
  const std::string department = sim().school().departmentCode;
  const struct {
    std::string organ, type;
  } cases[] = {{school, "01"}, {department, "04"}, {department, "01"}, {school.substr(0, 12), "04"}, {"", "04"}};
  for (const auto& c : cases) {
    const std::string body = query(queryBody(c.organ, "**", c.type, 0), token_).body;
    EXPECT_TRUE(readAllRecords(body).empty()) << c.organ << " " << c.type;
    EXPECT_NE(body.find("\"list\":[]"), std::string::npos) << body;
  }
}

TEST(RegSimQueryAccount, DepartmentAccountQueriesWithItsShortCodeAndType01) {
  StartedRegSim s({.accountType = 1, .students = 7});
  ASSERT_TRUE(s.started);
  const std::string cookie = s.sim.loginCookie();
  ASSERT_EQ(s.sim.organCode().size(), 12u);
  const auto answer = [&](const std::string& type) {
    return httpExchange(s.sim.port(),
                        queryRequest(s.sim, cookie, s.sim.tokenFor(cookie), queryBody(s.sim.organCode(), "**", type, 0)))
        .body;
  };
  EXPECT_EQ(readAllRecords(answer("01")).size(), 7u);
  EXPECT_TRUE(readAllRecords(answer("04")).empty());
}

// Positions in an ID: 7-14 the birth date, 17 the gender digit, 18 the check character.
char checkChar(const std::string& id) {
  static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  int sum = 0;
  for (int i = 0; i < 17; ++i) sum += (id[i] - '0') * weights[i];
  return "10X98765432"[sum % 11];
}

TEST_F(RegSimQuery, RecordsAreEscapedAsTheServerWritesThem) {
  std::string all;
  for (int page = 0; page < 3; ++page) all += answer("**", page * 50);
  for (const unsigned char c : all) ASSERT_LT(c, 0x80u) << "every character outside ASCII is escaped";
  EXPECT_EQ(all.find(' '), std::string::npos);
  // Escapes are lower-case.
  EXPECT_FALSE(std::regex_search(all, std::regex("\\\\u[0-9a-f]{0,3}[A-F]")));
  // Rare names: one outside the BMP as a surrogate pair, one from extension A.
  EXPECT_NE(all.find(",\"xm\":\"\\u"), std::string::npos);
  EXPECT_TRUE(std::regex_search(all, std::regex(",\"xm\":\"[^\"]*\\\\ud[89ab][0-9a-f]{2}\\\\ud[c-f][0-9a-f]{2}")));
  EXPECT_NE(all.find("\\u4dae"), std::string::npos);
  EXPECT_NE(all.find(",\"lxdh\":null,"), std::string::npos);
  EXPECT_NE(all.find(",\"state\":1,"), std::string::npos);

  // Each record: exactly the 30 keys, closed right after hkszdm's value.
  std::size_t records = 0;
  for (auto p = all.find("{\"xxbsm\":"); p != std::string::npos; p = all.find("{\"xxbsm\":", p + 1)) {
    const auto end = all.find('}', p);
    const std::string record = all.substr(p, end - p + 1);
    std::size_t keys = 0;
    for (auto k = record.find("\":"); k != std::string::npos; k = record.find("\":", k + 1)) ++keys;
    EXPECT_EQ(keys, 30u) << record;
    EXPECT_TRUE(std::regex_search(record, std::regex(",\"hkszdm\":\"[0-9]{6}\"\\}$"))) << record;
    ++records;
  }
  EXPECT_EQ(records, 120u);
}

TEST_F(RegSimQuery, StudentDataIsConsistentAndVaried) {
  std::map<std::string, std::set<std::string>> seen;
  bool plainX = false, escapedX = false, escaped = false, plain = false, outsideGbk = false;
  for (int page = 0; page < 3; ++page) {
    for (const auto& r : readAllRecords(answer("**", page * 50))) {
      const std::string id = decodeUnicode(r[sfzjh]);
      ASSERT_EQ(id.size(), 18u) << id;
      EXPECT_EQ(id[17], checkChar(id)) << id;
      EXPECT_EQ(r[csrq], id.substr(6, 4) + "-" + id.substr(10, 2) + "-" + id.substr(12, 2)) << id;
      EXPECT_EQ(r[xbm], (id[16] - '0') % 2 == 1 ? "1" : "2") << id;
      EXPECT_EQ(r[grbsm], "G" + id);
      EXPECT_EQ(r[hkszdm], id.substr(0, 6));
      const bool isEscaped = r[sfzjh].rfind("\\u", 0) == 0;
      (isEscaped ? escaped : plain) = true;
      if (id.back() == 'X') (isEscaped ? escapedX : plainX) = true;
      if (isEscaped) {
        EXPECT_EQ(r[sfzjh].size(), 18u * 6);
      }
      const std::string name = decodeUnicode(r[xm]);
      outsideGbk = outsideGbk || name.find("𠀀") != std::string::npos || name.find("𪚥") != std::string::npos;
      EXPECT_TRUE(std::regex_match(decodeUnicode(r[bjmc]), std::regex("20[0-9]{2}级[0-9]+班")));
      for (const Field f : {mzm, sfzjlxm, jdfsm, sfcjm, sffb, jdztm, xxNjxxId, lxdh}) seen[std::to_string(f)].insert(r[f]);
    }
  }
  EXPECT_TRUE(plain && escaped && plainX && escapedX);
  EXPECT_TRUE(outsideGbk);
  const auto has = [&](Field f, const std::set<std::string>& values) {
    for (const auto& v : values) EXPECT_EQ(seen[std::to_string(f)].count(v), 1u) << "field " << f << " value " << v;
  };
  has(mzm, {"01", "81", "99"});
  has(sfzjlxm, {"1", "Z", "6"});
  has(jdfsm, {"1", "2"});
  has(sfcjm, {"0", "1"});
  has(sffb, {"0", "1"});
  has(jdztm, {"01", "31"});
  has(lxdh, {""});
  has(xxNjxxId, {"11", "12", "13", "14", "15", "16", "21", "22", "23", "24", "31", "32", "33"});
}

TEST(RegSimData, SameSeedSameAnswerOtherSeedOtherStudents) {
  StartedRegSim a({.seed = 7}), b({.seed = 7}), c({.seed = 8});
  ASSERT_TRUE(a.started && b.started && c.started);
  const auto fetch = [](sim::RegSim& s) {
    const std::string cookie = s.loginCookie();
    return httpExchange(s.port(), queryRequest(s, cookie, s.tokenFor(cookie),
                                               queryBody(s.organCode(), "**", s.queryType(), 0)))
        .body;
  };
  const std::string first = fetch(a.sim);
  EXPECT_EQ(readAllRecords(first).size(), 50u);
  EXPECT_EQ(first, fetch(b.sim));
  EXPECT_NE(readAllRecords(first)[0][xsJbxxId], readAllRecords(fetch(c.sim))[0][xsJbxxId]);
}

}  // namespace
}  // namespace qm::test
