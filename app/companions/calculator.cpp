#include "app/companions/calculator.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qm {
namespace {

struct Candidate {
  const char* program;
  const char* desktop;  // a name XDG_CURRENT_DESKTOP lists for the desktop that brings it
};

constexpr Candidate kCalculators[] = {
    {"gnome-calculator", "GNOME"}, {"kcalc", "KDE"}, {"galculator", "XFCE"}, {"mate-calc", "MATE"}, {"xcalc", ""},
};

bool listsDesktop(std::string_view desktops, std::string_view name) {
  if (name.empty()) return false;
  while (!desktops.empty()) {
    std::size_t colon = desktops.find(':');
    std::string_view entry = desktops.substr(0, colon);
    if (entry.size() == name.size()) {
      bool same = true;
      for (std::size_t i = 0; i < entry.size() && same; ++i)
        same = (entry[i] | 0x20) == (name[i] | 0x20);
      if (same) return true;
    }
    if (colon == std::string_view::npos) break;
    desktops.remove_prefix(colon + 1);
  }
  return false;
}

std::string findOnPath(std::string_view searchPath, const std::string& program) {
  while (true) {
    std::size_t colon = searchPath.find(':');
    std::string dir(searchPath.substr(0, colon));
    if (!dir.empty()) {
      std::string path = dir + (dir.back() == '/' ? "" : "/") + program;
      struct stat st {};
      if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0) return path;
    }
    if (colon == std::string_view::npos) return {};
    searchPath.remove_prefix(colon + 1);
  }
}

}  // namespace

std::string findCalculator(std::string_view searchPath, std::string_view desktop) {
  std::vector<const char*> order;
  for (const Candidate& c : kCalculators)
    if (listsDesktop(desktop, c.desktop)) order.push_back(c.program);
  for (const Candidate& c : kCalculators) order.push_back(c.program);
  for (const char* program : order) {
    std::string path = findOnPath(searchPath, program);
    if (!path.empty()) return path;
  }
  return {};
}

std::string desktopCalculator() {
#ifdef _WIN32
  return "calc.exe";
#else
  const char* path = std::getenv("PATH");
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  return findCalculator(path ? path : "", desktop ? desktop : "");
#endif
}

}  // namespace qm
