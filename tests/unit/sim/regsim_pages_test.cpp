// Login, session and the pages the browser and the direct requests read.
#include <gtest/gtest.h>

#include <regex>

#include "tests/support/regsim_test_util.h"

namespace qm::test {
namespace {

std::string loginBody(const std::string& user, const std::string& password) {
  return "_j_username=" + user + "&_j_password=" + password;
}

HttpReply postLogin(const sim::RegSim& sim, const std::string& body) {
  return httpExchange(sim.port(), "POST /login HTTP/1.1\r\nHost: " + sim.host() +
                                      "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                                      std::to_string(body.size()) + "\r\n\r\n" + body);
}

// "JSESSIONID=<id>" out of a Set-Cookie value.
std::string cookieOf(const HttpReply& reply) {
  const std::string setCookie = reply.header("Set-Cookie");
  return setCookie.substr(0, setCookie.find(';'));
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

TEST(RegSimLogin, LoginPageHasTheUserNameFieldFirstAndThreeInputs) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const HttpReply page = httpExchange(s.sim.port(), getRequest(s.sim, "/"));
  ASSERT_TRUE(page.ok);
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.header("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(page.body.find("<title>学籍管理系统 登录</title>"), std::string::npos);
  const auto user = page.body.find("<input name=\"_j_username\"");
  const auto password = page.body.find("<input type=\"password\" name=\"_j_password\"");
  ASSERT_NE(user, std::string::npos);
  ASSERT_NE(password, std::string::npos);
  EXPECT_LT(user, password);
  EXPECT_GE(count(page.body, "<input"), 3u);
  EXPECT_NE(page.body.find("action=\"/login\""), std::string::npos);
}

// The login keeper focuses INPUT 2 once it has filled in a name, INPUT 0 otherwise.
TEST(RegSimLogin, LoginInputsAreUserNameHiddenFieldPasswordBoxAndSubmit) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const std::string page = httpExchange(s.sim.port(), getRequest(s.sim, "/")).body;
  const auto form = page.find("<form method=\"post\" action=\"/login\">");
  const auto formEnd = page.find("</form>");
  ASSERT_NE(form, std::string::npos);
  std::vector<std::string> inputs;
  for (auto p = page.find("<input"); p != std::string::npos; p = page.find("<input", p + 1)) {
    EXPECT_TRUE(p > form && p < formEnd) << "every INPUT belongs to the login form";
    inputs.push_back(page.substr(p, page.find('>', p) - p + 1));
  }
  ASSERT_EQ(inputs.size(), 4u);
  EXPECT_NE(inputs[0].find("name=\"_j_username\""), std::string::npos) << inputs[0];
  EXPECT_NE(inputs[1].find("type=\"hidden\""), std::string::npos) << inputs[1];
  EXPECT_NE(inputs[2].find("type=\"password\" name=\"_j_password\""), std::string::npos) << inputs[2];
  EXPECT_NE(inputs[3].find("type=\"submit\""), std::string::npos) << inputs[3];
}

TEST(RegSimLogin, GoodCredentialsSetAnHttpOnlyCookieAndOpenTheHomePage) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const HttpReply login = postLogin(s.sim, loginBody("demo", "demo123"));
  ASSERT_TRUE(login.ok);
  EXPECT_EQ(login.status, 302);
  EXPECT_EQ(login.header("Location"), "/");
  EXPECT_TRUE(std::regex_match(login.header("Set-Cookie"), std::regex("JSESSIONID=[0-9a-f]{16,}; Path=/; HttpOnly")))
      << login.header("Set-Cookie");

  const HttpReply home = httpExchange(s.sim.port(), getRequest(s.sim, "/", cookieOf(login)));
  EXPECT_EQ(home.status, 200);
  EXPECT_NE(home.body.find("userType:\"2\""), std::string::npos);
  EXPECT_NE(home.body.find("<a href=\"/logout\">注销</a>"), std::string::npos);
  EXPECT_EQ(home.body.find("_j_username"), std::string::npos);
}

TEST(RegSimLogin, BadCredentialsShowTheLoginPageWithAnError) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  for (const auto& body : {loginBody("demo", "wrong"), loginBody("Demo", "demo123"), std::string("_j_username=demo")}) {
    const HttpReply reply = postLogin(s.sim, body);
    EXPECT_EQ(reply.status, 200) << body;
    EXPECT_EQ(reply.header("Set-Cookie"), "") << body;
    EXPECT_NE(reply.body.find("用户名或密码错误"), std::string::npos) << body;
    EXPECT_NE(reply.body.find("_j_username"), std::string::npos) << body;
  }
}

TEST(RegSimLogin, HomePageCarriesTheAccountTypeAsTheSecondCharacterAfterTheColon) {
  StartedRegSim s({.accountType = 1});
  ASSERT_TRUE(s.started);
  const std::string home = httpExchange(s.sim.port(), getRequest(s.sim, "/", s.sim.loginCookie())).body;
  const auto p = home.find("userType:");
  ASSERT_NE(p, std::string::npos);
  // The audit button reads the tenth character from the marker's start: colon, quote, digit.
  EXPECT_EQ(home.substr(p, 11), "userType:\"1");
  EXPECT_EQ(home.find("userType:", p + 1), std::string::npos);
}

TEST(RegSimLogin, LogoutEndsTheSession) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const std::string cookie = s.sim.loginCookie();
  EXPECT_EQ(httpExchange(s.sim.port(), getRequest(s.sim, "/jsp/public/head.jsp", cookie)).status, 200);
  const HttpReply logout = httpExchange(s.sim.port(), getRequest(s.sim, "/logout", cookie));
  EXPECT_EQ(logout.status, 302);
  EXPECT_EQ(logout.header("Location"), "/");
  EXPECT_EQ(httpExchange(s.sim.port(), getRequest(s.sim, "/jsp/public/head.jsp", cookie)).status, 302);
  EXPECT_NE(httpExchange(s.sim.port(), getRequest(s.sim, "/", cookie)).body.find("_j_username"), std::string::npos);
}

TEST(RegSimKeepAlive, SucceedsWithASessionAndRedirectsWithout) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const HttpReply with = httpExchange(s.sim.port(), getRequest(s.sim, "/jsp/public/head.jsp", s.sim.loginCookie()));
  EXPECT_EQ(with.status, 200);
  const HttpReply without = httpExchange(s.sim.port(), getRequest(s.sim, "/jsp/public/head.jsp"));
  EXPECT_EQ(without.status, 302);
  EXPECT_EQ(without.header("Location"), "/");
  const HttpReply stale = httpExchange(s.sim.port(), getRequest(s.sim, "/jsp/public/head.jsp", "JSESSIONID=0123"));
  EXPECT_EQ(stale.status, 302);
}

TEST(RegSimKeepAlive, RedirectOptionRedirectsEvenWithASession) {
  StartedRegSim s({.keepAliveRedirect = true});
  ASSERT_TRUE(s.started);
  EXPECT_EQ(httpExchange(s.sim.port(), getRequest(s.sim, "/jsp/public/head.jsp", s.sim.loginCookie())).status, 302);
}

// Session pages: path, a text of the page, whether the page has a first <button>.
struct SessionPage {
  const char* path;
  const char* text;
};

TEST(RegSimPages, SessionPagesNeedASessionAndCarryAButton) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const std::string cookie = s.sim.loginCookie();
  const SessionPage pages[] = {
      {"/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp", "在校学生查询"},
      {"/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_zgbmsh_list.jsp", "<title>学籍异动审核（主管部门）</title>"},
      {"/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_xxsh_list.jsp", "<title>学籍异动审核（学校）</title>"},
      {"/jsp/mems/kszs/kszsSh_list.jsp", "<title>跨省就学审核</title>"},
      {"/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp", "<title>全省学生查询</title>"},
      {"/jsp/mems/xjgl/zhcx/byscx/byscx.jsp", "<title>毕业生查询</title>"},
  };
  for (const auto& page : pages) {
    const HttpReply without = httpExchange(s.sim.port(), getRequest(s.sim, page.path));
    EXPECT_EQ(without.status, 302) << page.path;
    EXPECT_EQ(without.header("Location"), "/") << page.path;
    const HttpReply with = httpExchange(s.sim.port(), getRequest(s.sim, page.path, cookie));
    EXPECT_EQ(with.status, 200) << page.path;
    EXPECT_NE(with.body.find(page.text), std::string::npos) << page.path;
    EXPECT_NE(with.body.find("<button"), std::string::npos) << page.path;
  }
}

TEST(RegSimPages, UnknownPathsAnswer404) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  for (const char* path : {"/nothing", "/jsp/mems/other.jsp", "/sim/", "/jsp/public/head.jspx"})
    EXPECT_EQ(httpExchange(s.sim.port(), getRequest(s.sim, path, s.sim.loginCookie())).status, 404) << path;
}

TEST(RegSimPages, WindowTestPagesNeedNoSession) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const std::string popup = httpExchange(s.sim.port(), getRequest(s.sim, "/sim/popup.html")).body;
  EXPECT_NE(popup.find("<a id=\"pop\" href=\"/sim/child.html\" target=\"_blank\">"), std::string::npos);
  EXPECT_NE(popup.find("id=\"open\""), std::string::npos);
  EXPECT_NE(popup.find("window.open('/sim/child.html')"), std::string::npos);
  EXPECT_NE(httpExchange(s.sim.port(), getRequest(s.sim, "/sim/child.html")).body.find("<title>子窗口</title>"),
            std::string::npos);
  const std::string closer = httpExchange(s.sim.port(), getRequest(s.sim, "/sim/closer.html")).body;
  EXPECT_NE(closer.find("<title>关闭页</title>"), std::string::npos);
  EXPECT_NE(closer.find("id=\"close\""), std::string::npos);
  EXPECT_NE(closer.find("window.close()"), std::string::npos);
}

TEST(RegSimPages, TitlePageDecodesAndEscapesTheTitle) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const struct {
    const char* query;
    const char* title;
  } cases[] = {
      {"t=%E4%B8%80%E4%BA%8C%E4%B8%89", "<title>一二三</title>"},
      {"t=a+b%20c", "<title>a b c</title>"},
      {"t=%3Cscript%3E%26", "<title>&lt;script&gt;&amp;</title>"},
      {"x=1", "<title></title>"},
  };
  for (const auto& c : cases) {
    const HttpReply reply = httpExchange(s.sim.port(), getRequest(s.sim, std::string("/sim/title?") + c.query));
    EXPECT_EQ(reply.status, 200) << c.query;
    EXPECT_NE(reply.body.find(c.title), std::string::npos) << c.query << "\n" << reply.body;
  }
}

}  // namespace
}  // namespace qm::test
