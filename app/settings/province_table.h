#pragma once
// The provinces the program serves: code as stored in the settings file,
// the name on the settings dialog's button, and the registration server's host.
#include <array>
#include <string>

namespace qm {

struct Province {
  int code;
  const char* name;
  const char* host;  // host or host:port, no scheme, no trailing "/"
};

inline constexpr int kFallbackProvinceCode = 1;
inline constexpr int kCustomAddressCode = 99;

const std::array<Province, 23>& provinces();
// Empty for a code outside 1..23.
std::string provinceHost(int code);
std::string provinceName(int code);

}  // namespace qm
