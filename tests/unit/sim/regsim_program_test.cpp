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

namespace qm::test {
namespace {

std::string regsimPath() {
  if (const char* path = std::getenv("QM_REGSIM")) return path;
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "regsim";
  std::string dir(self, static_cast<std::size_t>(n));
  return dir.substr(0, dir.rfind('/')) + "/regsim";
}

// The program started with arguments; its stdout is read through a pipe.
class RegSimProcess {
 public:
  explicit RegSimProcess(std::vector<std::string> args) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], STDOUT_FILENO);
      close(fds[0]);
      close(fds[1]);
      const std::string path = regsimPath();
      std::vector<char*> argv{const_cast<char*>(path.c_str())};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(path.c_str(), argv.data());
      _exit(127);
    }
    close(fds[1]);
    out_ = fdopen(fds[0], "r");
  }
  ~RegSimProcess() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_) fclose(out_);
  }
  std::string firstLine() {
    char line[256] = {};
    return out_ && fgets(line, sizeof line, out_) ? std::string(line) : std::string();
  }
  // Sends the signal and returns the exit status, -1 when it did not exit normally.
  int stopWith(int signal) {
    kill(pid_, signal);
    int status = 0;
    waitpid(pid_, &status, 0);
    waited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string restOfOutput() {
    std::string rest;
    char buf[256];
    while (out_ && fgets(buf, sizeof buf, out_)) rest += buf;
    return rest;
  }

 private:
  pid_t pid_ = -1;
  bool waited_ = false;
  FILE* out_ = nullptr;
};

int portFrom(const std::string& line) {
  if (line.rfind("LISTENING ", 0) != 0 || line.back() != '\n') return 0;
  return std::atoi(line.c_str() + 10);
}

TEST(RegSimProgram, PrintsListeningAndServesUntilSigterm) {
  char logPath[] = "/tmp/regsim-prog-XXXXXX";
  const int fd = mkstemp(logPath);
  ASSERT_GE(fd, 0);
  close(fd);
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
  std::ifstream in(logPath, std::ios::binary);
  std::stringstream log;
  log << in.rdbuf();
  std::remove(logPath);
  EXPECT_NE(log.str().find("POST /login HTTP/1.1\r\nHost: " + host + "\r\nContent-Length: 36\r\n\r\n" + body),
            std::string::npos)
      << log.str();
  EXPECT_NE(log.str().find("GET / HTTP/1.1\r\nHost: " + host + "\r\nCookie: " + cookie + "\r\n"), std::string::npos);
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
