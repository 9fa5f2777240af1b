#pragma once
// Small helpers the benchmark programs share: wall time and the process's memory figures.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <type_traits>

#include <sys/wait.h>
#include <unistd.h>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// A "Key:" line of /proc/self/status in kB (VmRSS:, VmHWM:), -1 when absent.
inline long statusKb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  return -1;
}

// Resets VmHWM to the current resident size (Linux 4.0 and later).
inline void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Runs `work` in a child process, so that its memory is fresh and its peak
// its own, and hands back the plain result it returns (a default one when
// the child fails).
template <typename Result, typename Work>
Result inChild(Work&& work) {
  static_assert(std::is_trivially_copyable_v<Result>);
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    const Result r = work();
    if (::write(fds[1], &r, sizeof r) != sizeof r) _exit(2);
    _exit(0);
  }
  ::close(fds[1]);
  Result r;
  if (pid < 0 || ::read(fds[0], &r, sizeof r) != sizeof r) r = {};
  ::close(fds[0]);
  if (pid > 0) ::waitpid(pid, nullptr, 0);
  return r;
}

}  // namespace bench
