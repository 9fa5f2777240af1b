// The program's flags for the list pages, the province query, the update server
// and the hostile answers reach the server.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>

#include "sim/update_files.h"
#include "tests/support/temp_folder.h"
#include "tests/unit/sim/raw_socket.h"
#include "tests/unit/sim/regsim_process.h"
#include "tests/unit/sim/sim_page_helpers.h"
#include "tests/unit/sim/sim_test_helpers.h"

namespace qm::test {
namespace {

struct Server {
  int port;
  std::string host;
  std::string cookie;
};

std::string get(const Server& s, const std::string& path, int* status = nullptr) {
  const HttpReply reply =
      httpExchange(s.port, "GET " + path + " HTTP/1.1\r\nHost: " + s.host + "\r\nCookie: " + s.cookie + "\r\n\r\n");
  if (status) *status = reply.status;
  return reply.body;
}

std::string login(int port) {
  const std::string body = "_j_username=demo&_j_password=demo123";
  const HttpReply reply =
      httpExchange(port, "POST /login HTTP/1.1\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  const std::string setCookie = reply.header("Set-Cookie");
  return setCookie.substr(0, setCookie.find(';'));
}

std::string post(const Server& s, const char* path, const std::string& body, const std::string& token) {
  return httpExchange(s.port, std::string("POST ") + path + " HTTP/1.0\r\nContent-Length: " +
                                  std::to_string(body.size()) + "\r\nCookie:" + s.cookie + "\r\nccrf-token:" + token +
                                  "\r\n\r\n" + body)
      .body;
}

std::string pageToken(const Server& s) {
  const std::string page = get(s, sim::RegSim::kProvincePagePath);
  return decodeHexEscapes(cutAfter(page, "\\x74\\x6f\\x6b\\x65\\x6e\\x27\\x3a\\x27", 0, 144));
}

TEST(RegSimFlags, PrintedCaptchaCodeAnswersAProvinceQuery) {
  RegSimProcess process({"--port", "0", "--print-captcha", "--students", "3", "--seed", "5", "--outside-people", "2"});
  const int port = portFrom(process.firstLine());
  ASSERT_GT(port, 0);
  const Server s{port, "127.0.0.1:" + std::to_string(port), login(port)};
  ASSERT_FALSE(s.cookie.empty());
  const std::string token = pageToken(s);
  int status = 0;
  get(s, sim::RegSim::kCaptchaPath, &status);
  ASSERT_EQ(status, 200);
  const std::string line = process.errorLine();
  ASSERT_TRUE(std::regex_match(line, std::regex("CAPTCHA [0-9]{4}\n"))) << line;

  const sim::RegSim same({.seed = 5, .students = 3, .outsidePeople = 2});
  ASSERT_EQ(same.outsidePeople().size(), 2u);
  const std::string body = "{\"params\":{\"map\":{\"xm\":\"a\",\"sfzjh\":\"" + same.outsidePeople()[1].idNumber +
                           "\",\"rdmCode\":\"" + line.substr(8, 4) + "\",\"start\":0}}}";
  const std::string answer = post(s, sim::RegSim::kProvinceServicePath, body, token);
  EXPECT_EQ(answer.rfind("{\"total\":1,", 0), 0u) << answer;
  EXPECT_EQ(process.stopWith(SIGTERM), 0);
}

TEST(RegSimFlags, ListUpdateAndHostileFlagsReachTheServer) {
  const TempFolder tmp("regsim_flags");
  const std::string programPath = tmp.write("program", "program bytes");
  struct Case {
    std::vector<std::string> args;
    std::function<void(const Server&)> check;
  };
  const std::vector<Case> cases = {
      {{"--details-layout", "--grid-rows", "7"},
       [](const Server& s) {
         const std::string html = get(s, sim::RegSim::kQueryPagePath);
         EXPECT_EQ(firstRowCells(html, 12).at(3), "第");
         EXPECT_EQ(pageCountByGbkRule(elementText(html, "l5-gen49")), 1);
       }},
      {{"--pager-stuck"},
       [](const Server& s) {
         EXPECT_NE(get(s, "/sim/grid?kind=zxs&page=2").find("data-page=\"1\""), std::string::npos);
       }},
      {{"--page-step-ms", "700"},
       [](const Server& s) { EXPECT_NE(get(s, sim::RegSim::kQueryPagePath).find("step: 700}"), std::string::npos); }},
      {{"--page-without-token", "--login-page-when-logged-out"},
       [](const Server& s) {
         EXPECT_EQ(get(s, sim::RegSim::kProvincePagePath).find("\\x74\\x6f\\x6b"), std::string::npos);
         const HttpReply out = httpExchange(
             s.port, std::string("GET ") + sim::RegSim::kProvincePagePath + " HTTP/1.1\r\nHost: x\r\n\r\n");
         EXPECT_EQ(out.status, 200);
         EXPECT_NE(out.body.find("_j_username"), std::string::npos);
       }},
      {{"--session-ends-at", "1"},
       [](const Server& s) {
         const HttpReply r = httpExchange(s.port, "GET /jsp/mems/xjgl/zhcx/qsxscx/imagegen.jsp HTTP/1.1\r\nHost: " +
                                                      s.host + "\r\nCookie:" + s.cookie + "\r\n\r\n");
         EXPECT_EQ(r.status, 302);
       }},
      {{"--update-version", "9.9", "--update-no-section"},
       [](const Server& s) {
         const std::string d = get(s, "/update/quillmereup.txt");
         EXPECT_EQ(d.rfind("[readme]\r\n", 0), 0u) << d;
         EXPECT_NE(d.find("\r\nver=9.9\r\n"), std::string::npos);
       }},
      {{"--update-same-version", "--update-wrong-hash"},
       [](const Server& s) {
         const std::string d = get(s, "/update/quillmereup.txt");
         EXPECT_NE(d.find("\r\nver=" + sim::builtProgramVersion() + "\r\n"), std::string::npos) << d;
         EXPECT_EQ(d.find("sha256=" + sim::sha256Hex(get(s, "/update/quillmere.jpg"))), std::string::npos);
       }},
      {{"--update-drop-download"},
       [](const Server& s) {
         EXPECT_FALSE(httpExchange(s.port, "GET /update/pellow.jpg HTTP/1.1\r\n\r\n").ok);
       }},
      {{"--update-program", programPath},
       [](const Server& s) { EXPECT_EQ(get(s, "/update/quillmere"), "program bytes"); }},
      {{"--seed", "1"},
       [](const Server& s) {
         // No update by default, and the descriptor signed.
         EXPECT_NE(get(s, "/update/quillmereup.txt").find("\r\nver=" + sim::builtProgramVersion() + "\r\n"),
                   std::string::npos);
         EXPECT_EQ(get(s, "/update/quillmereup.sig"),
                   sim::signUpdateDescriptor(get(s, "/update/quillmereup.txt"), sim::defaultUpdateKeyFile()) + "\n");
       }},
      {{"--update-unsigned"},
       [](const Server& s) { EXPECT_EQ(httpExchange(s.port, "GET /update/quillmereup.sig HTTP/1.0\r\n\r\n").status, 404); }},
      {{"--update-tamper-descriptor", "--update-companion-wrong-hash"},
       [](const Server& s) {
         const std::string d = get(s, "/update/quillmereup.txt");
         EXPECT_NE(d.find("\r\nver=99\r\n"), std::string::npos) << d;
         EXPECT_EQ(d.find("pellow=" + sim::sha256Hex(get(s, "/update/pellow.jpg"))), std::string::npos);
         EXPECT_NE(get(s, "/update/quillmereup.sig"), sim::signUpdateDescriptor(d, sim::defaultUpdateKeyFile()) + "\n");
       }},
      {{"--update-fault", "early-hints", "--update-fault-file", "quillmereup.txt"},
       [](const Server& s) {
         RawHttpConnection c(s.port);
         ASSERT_TRUE(c.send("GET /update/quillmereup.txt HTTP/1.0\r\n\r\n"));
         EXPECT_EQ(c.read().status, 103);
       }},
      {{"--bare-cr-cookie"},
       [](const Server& s) {
         const HttpReply r = httpExchange(
             s.port, std::string("POST ") + sim::RegSim::kClassServicePath + " HTTP/1.0\r\nContent-Length: 0\r\n\r\n");
         EXPECT_NE(r.head.find("Set-Cookie: qmcr=a\rb"), std::string::npos);
       }},
      {{"--endless-body"},
       [](const Server& s) {
         RawHttpConnection c(s.port);
         ASSERT_TRUE(c.send(std::string("POST ") + sim::RegSim::kQueryServicePath + " HTTP/1.0\r\n\r\n"));
         const HttpReply r = c.read();  // no Content-Length: the head, then an empty body
         EXPECT_EQ(r.header("Transfer-Encoding"), "chunked");
       }},
      {{"--never-answer"},
       [](const Server& s) {
         ClientSocket c(s.port);
         ASSERT_TRUE(c.send(std::string("POST ") + sim::RegSim::kFamilyServicePath + " HTTP/1.0\r\n\r\n"));
         EXPECT_FALSE(c.stirsWithin(300));  // and the server still stops (stopWith below)
       }},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--port", "0"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    RegSimProcess process(args);
    const int port = portFrom(process.firstLine());
    ASSERT_GT(port, 0) << c.args[0];
    const Server s{port, "127.0.0.1:" + std::to_string(port), login(port)};
    c.check(s);
    EXPECT_EQ(process.stopWith(SIGTERM), 0) << c.args[0];
  }
}

TEST(RegSimFlags, BadValuesExitWithUsage) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--grid-rows", "-2"}, {"--outside-people", "x"}, {"--update-program", "/nonexistent/regsim-program"},
           {"--update-version"}, {"--update-fault", "slow"}}) {
    RegSimProcess process(args);
    EXPECT_EQ(process.firstLine(), "") << args[0];
    EXPECT_EQ(process.stopWith(0), 2) << args[0];
  }
}

}  // namespace
}  // namespace qm::test
