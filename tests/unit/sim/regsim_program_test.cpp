// The regsim program: flags, the LISTENING line, serving until SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/regsim_test_util.h"
#include "tests/support/temp_folder.h"
#include "tests/unit/sim/regsim_process.h"

namespace qm::test {
namespace {

TEST(RegSimProgram, PrintsListeningAndServesUntilSigterm) {
  const TempFolder tmp("regsim_prog");
  const std::string logPath = tmp.write("log", "");
  RegSimProcess process({"--port", "0", "--account-type", "1", "--students", "3", "--log", logPath});
  const std::string line = process.firstLine();
  const int port = portFrom(line);
  ASSERT_GT(port, 0) << line;

  const std::string host = "127.0.0.1:" + std::to_string(port);
  const std::string body = "_j_username=demo&_j_password=demo123";
  const HttpReply login = httpExchange(port, "POST /login HTTP/1.1\r\nHost: " + host + "\r\nContent-Length: " +
                                                 std::to_string(body.size()) + "\r\n\r\n" + body);
  ASSERT_EQ(login.status, 302);
  const std::string cookie = login.header("Set-Cookie").substr(0, login.header("Set-Cookie").find(';'));
  const HttpReply home = httpExchange(port, "GET / HTTP/1.1\r\nHost: " + host + "\r\nCookie: " + cookie + "\r\n\r\n");
  EXPECT_NE(home.body.find("userType:\"1\""), std::string::npos);

  EXPECT_EQ(process.stopWith(SIGTERM), 0);
  EXPECT_EQ(process.restOfOutput(), "") << "only the one LISTENING line goes to stdout";
  const std::string log = readFile(logPath);
  EXPECT_NE(log.find("POST /login HTTP/1.1\r\nHost: " + host + "\r\nContent-Length: 36\r\n\r\n" + body),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("GET / HTTP/1.1\r\nHost: " + host + "\r\nCookie: " + cookie + "\r\n"), std::string::npos);
}

TEST(RegSimProgram, StopsOnSigint) {
  RegSimProcess process({"--port", "0"});
  ASSERT_GT(portFrom(process.firstLine()), 0);
  EXPECT_EQ(process.stopWith(SIGINT), 0);
}

TEST(RegSimProgram, FaultFlagsReachTheServer) {
  RegSimProcess process({"--port", "0", "--fail-status-at", "1", "--keepalive-redirect", "--delay-ms", "1"});
  const int port = portFrom(process.firstLine());
  ASSERT_GT(port, 0);
  const HttpReply failed = httpExchange(port, "POST /command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd/"
                                              "queryZxs HTTP/1.0\r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(failed.status, 500);
  const std::string body = "_j_username=demo&_j_password=demo123";
  const HttpReply login =
      httpExchange(port, "POST /login HTTP/1.1\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  const std::string cookie = login.header("Set-Cookie").substr(0, login.header("Set-Cookie").find(';'));
  ASSERT_FALSE(cookie.empty());
  EXPECT_EQ(httpExchange(port, "GET /jsp/public/head.jsp HTTP/1.1\r\nCookie: " + cookie + "\r\n\r\n").status, 302);
  EXPECT_EQ(process.stopWith(SIGTERM), 0);
}

TEST(RegSimProgram, BadFlagsExitWithUsage) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--port", "abc"}, {"--port", "70000"}, {"--students"}, {"--unknown", "1"}}) {
    RegSimProcess process(args);
    EXPECT_EQ(process.firstLine(), "") << args[0];
    EXPECT_EQ(process.stopWith(0), 2) << args[0];
  }
}

}  // namespace
}  // namespace qm::test
