#pragma once
// Start-up before any window exists: where the settings file lies and which
// registration server this run talks to.
#include <optional>
#include <string>
#include <string_view>

namespace qm {

struct StartupResult {
  bool ok = false;
  std::string serverHost;  // fixed for the whole run
  std::string error;       // "Unable to write to <path>" when a needed repair could not be written
};

// Reads the province code and the custom address, repairs an empty, unknown or
// non-numeric code to "1" in the file, and turns the code into the server host.
StartupResult resolveServerHost(const std::string& settingsPath);

// The settings file beside the program: the executable's folder + "quillmeresz.ini".
std::string settingsPathForExecutable(const std::string& exePath);

// The running program's own path: /proc/self/exe, else argv[0] made absolute.
std::string currentExecutablePath(const char* argv0);

// Decimal text with an optional sign and nothing else ("07" is 7, "+7" is 7,
// " 7", "$7", "0x7", "7a" and out-of-range numbers are not integers).
std::optional<long long> parseProvinceCode(std::string_view text);

}  // namespace qm
