#pragma once
// The regsim program started with arguments; its stdout and stderr are read
// through pipes.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace qm::test {

inline std::string regsimPath() {
  if (const char* path = std::getenv("QM_REGSIM")) return path;
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "regsim";
  std::string dir(self, static_cast<std::size_t>(n));
  return dir.substr(0, dir.rfind('/')) + "/regsim";
}

class RegSimProcess {
 public:
  explicit RegSimProcess(std::vector<std::string> args) {
    int out[2], err[2];
    if (pipe(out) != 0) return;
    if (pipe(err) != 0) {
      close(out[0]);
      close(out[1]);
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      dup2(err[1], STDERR_FILENO);
      for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
      const std::string path = regsimPath();
      std::vector<char*> argv{const_cast<char*>(path.c_str())};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(path.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    close(err[1]);
    out_ = fdopen(out[0], "r");
    err_ = fdopen(err[0], "r");
  }
  ~RegSimProcess() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_) fclose(out_);
    if (err_) fclose(err_);
  }
  RegSimProcess(const RegSimProcess&) = delete;
  RegSimProcess& operator=(const RegSimProcess&) = delete;

  std::string firstLine() { return lineOf(out_); }
  // The next line the program writes to stderr; waits for it.
  std::string errorLine() { return lineOf(err_); }
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
  static std::string lineOf(FILE* f) {
    char line[512] = {};
    return f && fgets(line, sizeof line, f) ? std::string(line) : std::string();
  }

  pid_t pid_ = -1;
  bool waited_ = false;
  FILE* out_ = nullptr;
  FILE* err_ = nullptr;
};

// The port of a "LISTENING <port>" line; 0 for any other line.
inline int portFrom(const std::string& line) {
  if (line.rfind("LISTENING ", 0) != 0 || line.back() != '\n') return 0;
  return std::atoi(line.c_str() + 10);
}

}  // namespace qm::test
