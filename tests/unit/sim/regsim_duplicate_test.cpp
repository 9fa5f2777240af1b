// The province-wide query behind the duplicate check: its page, the captcha
// picture and code, and the answers as the check cuts them.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <chrono>
#include <regex>
#include <set>

#include "tests/unit/sim/sim_test_helpers.h"

namespace qm::test {
namespace {

constexpr const char* kCaptchaTarget = "/jsp/mems/xjgl/zhcx/qsxscx/imagegen.jsp?t=1547474795715?time=1547474865350";
constexpr const char* kFailed = "\\u9a8c\\u8bc1\\u7801\\u6821\\u9a8c\\u5931\\u8d25\\uff01";

// The body as the check builds it: fixed pieces with the three values as they stand.
std::string provinceBody(const std::string& name, const std::string& id, const std::string& code) {
  return "{\"params\":{\"javaClass\":\"org.loushang.next.data.ParameterSet\",\"map\":{\"xm\":\"" + name +
         "\",\"sfzjh\":\"" + id + "\",\"xbm\":\"\",\"csrq\":\"\",\"sfzx\":\"\",\"grbsm\":\"\",\"jdztm\":\"\",\"rdmCode\":\"" +
         code +
         "\",\"start\":0,\"limit\":20,\"defaultSort\":{\"javaClass\":\"ArrayList\",\"list\":[]},\"dir\":\"ASC\"},"
         "\"length\":13},\"context\":{\"javaClass\":\"HashMap\",\"map\":{},\"length\":0}}";
}

// What the check reads from an answer: the count text and the schools.
struct Reading {
  std::string count;
  std::vector<std::string> schools;
};

Reading readAnswer(std::string answer) {
  Reading r;
  const auto total = answer.find("{\"total\":");
  const auto dataSet = answer.find("\"javaClass\":\"DataSet\"");
  if (total != std::string::npos && dataSet != std::string::npos && dataSet > total + 9)
    r.count = answer.substr(total + 9, dataSet - 1 - (total + 9));
  for (auto p = answer.find("\",\"XXMC\":\""); p != std::string::npos; p = answer.find("\",\"XXMC\":\"")) {
    const auto q = answer.find("\",\"CSRQ\":\"");
    if (q == std::string::npos || q < p) break;
    r.schools.push_back(decodeUnicode(answer.substr(p + 10, q - p - 10)));
    answer.erase(0, q + 10);
  }
  return r;
}

class RegSimProvince : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.started);
    cookie_ = sim().loginCookie();
    token_ = sim().tokenFor(cookie_);
  }
  sim::RegSim& sim() { return server_.sim; }
  HttpReply captcha() { return httpExchange(sim().port(), getRequest(sim(), kCaptchaTarget, cookie_)); }
  std::string newCode() {
    EXPECT_EQ(captcha().status, 200);
    return sim().captchaCode(cookie_);
  }
  HttpReply query(const std::string& body, const std::string& token) {
    return httpExchange(sim().port(), "POST " + std::string(sim::RegSim::kProvinceServicePath) +
                                          " HTTP/1.0\r\nContent-Type: application/json\r\nContent-Length: " +
                                          std::to_string(body.size()) + "\r\nCookie:" + cookie_ +
                                          "\r\nccrf-token:" + token + "\r\n\r\n" + body);
  }
  std::string ask(const std::string& name, const std::string& id) {
    const HttpReply reply = query(provinceBody(name, id, newCode()), token_);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.header("Content-Type"), "application/json; charset=utf-8");
    return reply.body;
  }

  StartedRegSim server_{{.students = 30}};
  std::string cookie_, token_;
};

TEST_F(RegSimProvince, CaptchaIsAJpegOf89By25WithFourDigitsDrawn) {
  std::set<std::string> codes;
  for (int i = 0; i < 6; ++i) {
    const HttpReply reply = captcha();
    ASSERT_EQ(reply.status, 200);
    EXPECT_EQ(reply.header("Content-Type"), "image/jpeg");
    const std::string code = sim().captchaCode(cookie_);
    ASSERT_TRUE(std::regex_match(code, std::regex("[0-9]{4}"))) << code;
    codes.insert(code);

    tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    const auto* jpeg = reinterpret_cast<const unsigned char*>(reply.body.data());
    ASSERT_EQ(tjDecompressHeader3(handle, jpeg, reply.body.size(), &width, &height, &subsampling, &colorspace), 0);
    EXPECT_EQ(width, 89);
    EXPECT_EQ(height, 25);
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width * height * 3));
    ASSERT_EQ(tjDecompress2(handle, jpeg, reply.body.size(), rgb.data(), width, 0, height, TJPF_RGB, 0), 0);
    tjDestroy(handle);
    // Dark strokes in each of the four places a digit stands, on a light ground.
    int bands[4] = {0, 0, 0, 0}, dark = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const unsigned char* p = &rgb[static_cast<std::size_t>((y * width + x) * 3)];
        if (p[0] + p[1] + p[2] >= 3 * 120) continue;
        ++dark;
        for (int b = 0; b < 4; ++b) bands[b] += x >= 8 + 19 * b && x < 8 + 19 * b + 14;
      }
    for (int b = 0; b < 4; ++b) EXPECT_GT(bands[b], 8) << "digit " << b << " of " << code;
    EXPECT_LT(dark, width * height / 3);
  }
  EXPECT_GT(codes.size(), 1u) << "every picture brings a new code";
}

TEST_F(RegSimProvince, CaptchaNeedsASession) {
  const HttpReply reply = httpExchange(sim().port(), getRequest(sim(), kCaptchaTarget, "JSESSIONID=none"));
  EXPECT_EQ(reply.status, 302);
  EXPECT_EQ(sim().captchaCode(cookie_), "");
}

TEST_F(RegSimProvince, RightCodeGivesTheRegistrationsOfTheIdNumber) {
  const auto& students = sim().students();
  const std::string ours = sim().school().xxmc;
  const auto& outside = sim().outsidePeople();
  ASSERT_EQ(outside.size(), 9u);
  struct Case {
    std::string name, id;
    std::size_t count;
    bool oursFirst;
  };
  // An ID number ending in X, asked with a lower-case x.
  std::size_t withX = 0;
  while (withX < students.size() && students[withX].sfzjh.back() != 'X') ++withX;
  ASSERT_LT(withX, students.size());
  const std::string lowerX = students[withX].sfzjh.substr(0, 17) + "x";
  const std::vector<Case> cases = {
      {students[0].xm, students[0].sfzjh, 1, true},  {students[2].xm, students[2].sfzjh, 2, true},
      {students[7].xm, students[7].sfzjh, 2, true},  {students[8].xm, students[8].sfzjh, 1, true},
      {outside[0].name, outside[0].idNumber, 0, false}, {outside[1].name, outside[1].idNumber, 1, false},
      {outside[5].name, outside[5].idNumber, 2, false}, {"某某", "110101201001010013", 0, false},
      {"x", lowerX, withX % 5 == 2 ? 2u : 1u, true},
  };
  for (const auto& c : cases) {
    const std::string answer = ask(c.name, c.id);
    EXPECT_EQ(answer.find(kFailed), std::string::npos);
    // Everything outside ASCII comes as \u escapes.
    for (const char ch : answer) ASSERT_LT(static_cast<unsigned char>(ch), 0x80u) << answer;
    const Reading r = readAnswer(answer);
    EXPECT_EQ(r.count, std::to_string(c.count)) << c.id << "\n" << answer;
    ASSERT_EQ(r.schools.size(), c.count) << c.id;
    std::vector<std::string> expected;
    for (const auto& reg : sim().provinceRegistrations(c.id)) expected.push_back(reg.schoolName);
    EXPECT_EQ(r.schools, expected) << c.id;
    if (c.count > 0) {
      EXPECT_EQ(r.schools[0] == ours, c.oursFirst) << c.id;
    }
    if (c.count == 2) {
      EXPECT_NE(r.schools[0], r.schools[1]);
    }
  }
}

TEST_F(RegSimProvince, WrongMissingOrUsedCodeFailsTheCaptchaCheck) {
  const std::string id = sim().students()[0].sfzjh;
  const std::string code = newCode();
  const std::string wrong = std::string(1, code[0] == '9' ? '0' : static_cast<char>(code[0] + 1)) + code.substr(1);
  const auto failed = [&](const std::string& answer) {
    return answer.find(kFailed) != std::string::npos && readAnswer(answer).count.empty();
  };
  EXPECT_TRUE(failed(query(provinceBody("a", id, wrong), token_).body));
  // The code was used up by the failed query: the right one no longer passes.
  EXPECT_TRUE(failed(query(provinceBody("a", id, code), token_).body));
  EXPECT_EQ(sim().captchaCode(cookie_), "");

  const std::string fresh = newCode();
  EXPECT_EQ(readAnswer(query(provinceBody("a", id, fresh), token_).body).count, "1");
  EXPECT_TRUE(failed(query(provinceBody("a", id, fresh), token_).body)) << "a code answers one query";
  EXPECT_TRUE(failed(query(provinceBody("a", id, ""), token_).body));
}

TEST_F(RegSimProvince, WrongTokenOrNoSessionGivesNoCount) {
  const std::string body = provinceBody("a", sim().students()[0].sfzjh, newCode());
  const HttpReply wrong = query(body, token_ + "0");
  EXPECT_EQ(wrong.body, "{\"error\":\"invalid token\"}");
  EXPECT_EQ(readAnswer(wrong.body).count, "");
  cookie_ = "JSESSIONID=none";
  EXPECT_EQ(query(body, token_).status, 302);
}

TEST_F(RegSimProvince, QueryPageCarriesTheSessionsTokenAsTheInSchoolPageDoes) {
  const HttpReply page = httpExchange(sim().port(), getRequest(sim(), sim::RegSim::kProvincePagePath, cookie_));
  ASSERT_EQ(page.status, 200);
  EXPECT_NE(page.body.find("<title>全省学生查询</title>"), std::string::npos);
  const std::string escaped = cutAfter(page.body, "\\x74\\x6f\\x6b\\x65\\x6e\\x27\\x3a\\x27", 0, 144);
  EXPECT_EQ(decodeHexEscapes(escaped), token_);
  EXPECT_NE(page.body.find("src=\"/jsp/mems/xjgl/zhcx/qsxscx/imagegen.jsp"), std::string::npos);
  EXPECT_EQ(httpExchange(sim().port(), getRequest(sim(), sim::RegSim::kProvincePagePath)).status, 302);
}

// The options the duplicate check's tests lean on: a session that ends at a
// given captcha or query request, logged-out answers as the login page, a
// page without the token marker, and the delay of the province query.
TEST(RegSimProvinceOptions, SessionEndsAtItsRequestAndLoggedOutAnswersCanBeTheLoginPage) {
  for (const bool loginPage : {false, true}) {
    SCOPED_TRACE(loginPage);
    StartedRegSim server({.students = 5, .sessionEndsAt = 2, .loginPageWhenLoggedOut = loginPage});
    ASSERT_TRUE(server.started);
    sim::RegSim& sim = server.sim;
    const std::string cookie = sim.loginCookie();
    const std::string token = sim.tokenFor(cookie);
    const HttpReply first = httpExchange(sim.port(), getRequest(sim, kCaptchaTarget, cookie));
    EXPECT_EQ(first.status, 200);
    // Request 2 (this query) finds no session, and so does every later request.
    const std::string body = provinceBody("a", sim.students()[0].sfzjh, sim.captchaCode(cookie));
    const std::string post = "POST " + std::string(sim::RegSim::kProvinceServicePath) +
                             " HTTP/1.0\r\nContent-Type: application/json\r\nContent-Length: " +
                             std::to_string(body.size()) + "\r\nCookie:" + cookie + "\r\nccrf-token:" + token +
                             "\r\n\r\n" + body;
    for (const HttpReply& r : {httpExchange(sim.port(), post),
                               httpExchange(sim.port(), getRequest(sim, kCaptchaTarget, cookie)),
                               httpExchange(sim.port(), getRequest(sim, sim::RegSim::kProvincePagePath, cookie))}) {
      EXPECT_EQ(r.status, loginPage ? 200 : 302);
      EXPECT_EQ(r.body.find("name=\"_j_username\"") != std::string::npos, loginPage);
    }
  }
}

TEST(RegSimProvinceOptions, PageWithoutTokenAndADelayedQuery) {
  StartedRegSim server({.students = 5, .delayMs = 300, .pageWithoutToken = true});
  ASSERT_TRUE(server.started);
  sim::RegSim& sim = server.sim;
  const std::string cookie = sim.loginCookie();
  const HttpReply page = httpExchange(sim.port(), getRequest(sim, sim::RegSim::kProvincePagePath, cookie));
  ASSERT_EQ(page.status, 200);
  EXPECT_EQ(page.body.find("\\x74\\x6f\\x6b\\x65\\x6e\\x27\\x3a\\x27"), std::string::npos);
  EXPECT_NE(page.body.find("var userType = 2;"), std::string::npos);
  const std::string body = provinceBody("a", sim.students()[0].sfzjh, "0000");
  const auto start = std::chrono::steady_clock::now();
  const HttpReply reply = httpExchange(
      sim.port(), "POST " + std::string(sim::RegSim::kProvinceServicePath) +
                      " HTTP/1.0\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
                      "\r\nCookie:" + cookie + "\r\nccrf-token:" + sim.tokenFor(cookie) + "\r\n\r\n" + body);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_NE(reply.body.find(kFailed), std::string::npos);  // no picture was fetched: the code fails
}

}  // namespace
}  // namespace qm::test
