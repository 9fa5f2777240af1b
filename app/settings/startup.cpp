#include "app/settings/startup.h"

#include <charconv>
#include <climits>
#include <cstdlib>
#include <unistd.h>

#include "common/profile_file.h"
#include "app/settings/province_table.h"
#include "common/settings_names.h"

namespace qm {

std::optional<long long> parseProvinceCode(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  long long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  // Delphi's StrToInt takes 32-bit integers; anything wider is not a number to it.
  if (value > INT_MAX + (negative ? 1LL : 0LL)) return std::nullopt;
  return negative ? -value : value;
}

StartupResult resolveServerHost(const std::string& settingsPath) {
  ProfileFile settings(settingsPath);
  const std::string code = settings.read(kProvinceSection, kProvinceKey, "");
  const std::string customAddress = settings.read(kCustomAddressSection, kCustomAddressKey, "");

  StartupResult result;
  auto repair = [&]() {
    if (!settings.write(kProvinceSection, kProvinceKey, "1")) {
      result.error = settings.error();
      return false;
    }
    return true;
  };

  if (code.empty() && !repair()) return result;
  // An empty code has just become "1".
  std::optional<long long> number = code.empty() ? kFallbackProvinceCode : parseProvinceCode(code);
  if (number && *number == kCustomAddressCode) {
    result.serverHost = customAddress;
  } else if (number && !provinceHost(static_cast<int>(*number)).empty()) {
    result.serverHost = provinceHost(static_cast<int>(*number));
  } else {
    if (!repair()) return result;
    result.serverHost = provinceHost(kFallbackProvinceCode);
  }
  result.ok = true;
  return result;
}

std::string settingsPathForExecutable(const std::string& exePath) {
  std::size_t slash = exePath.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : exePath.substr(0, slash + 1);
  return folder + kSettingsFileName;
}

std::string currentExecutablePath(const char* argv0) {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n > 0) return std::string(buf, static_cast<std::size_t>(n));
  if (!argv0) return {};
  if (char* resolved = ::realpath(argv0, nullptr)) {
    std::string path(resolved);
    std::free(resolved);
    return path;
  }
  return argv0;
}

}  // namespace qm
