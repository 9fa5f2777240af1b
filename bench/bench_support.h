#pragma once
// Small helpers the benchmark programs share: wall time and the process's memory figures.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

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

}  // namespace bench
