#pragma once
// Version texts as the update check compares them: up to four decimal numbers
// joined by ".", compared number by number from the left.
#include <array>
#include <string>
#include <string_view>

namespace qm {

struct VersionNumbers {
  std::array<long long, 4> numbers{};
  std::string error;  // "'<piece>' is not a valid integer value" for a piece that is no integer
  bool ok() const { return error.empty(); }
};

// The text before each "." is one number (empty counts 0); the rest after the
// last "." is the last one; missing numbers are 0; pieces past the fourth are
// ignored and not looked at.
VersionNumbers splitVersion(std::string_view text);

struct VersionComparison {
  bool newer = false;
  std::string error;  // as VersionNumbers::error, for the first bad piece found
  bool ok() const { return error.empty(); }
};

// Whether candidate is newer than running: at the first position where the
// numbers differ, candidate's is greater. Equal versions are not newer.
VersionComparison compareVersions(std::string_view candidate, std::string_view running);

std::string invalidIntegerMessage(std::string_view piece);

}  // namespace qm
