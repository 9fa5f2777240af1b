#pragma once
// Finds the source photo of a student in the source folder: the exact file
// name first, otherwise a name that differs only in the case of ASCII letters
// (cameras write ".JPG"); of several such names the first in byte order.
// Safe to use from several threads.
#include <map>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

namespace qm::photo {

std::string asciiLower(std::string_view s);
// folder + "/" + name; an empty folder gives an empty path (nothing is found or written there).
std::string joinFolder(const std::string& folder, std::string_view name);

class SourceLookup {
 public:
  // Lists the folder once; files that the run adds are told by noteWritten.
  explicit SourceLookup(std::string folder);

  // Full path of the regular file for name, or nullopt.
  std::optional<std::string> find(std::string_view name) const;
  void noteWritten(std::string_view name);

 private:
  std::string folder_;
  mutable std::shared_mutex mutex_;
  std::map<std::string, std::vector<std::string>> byLowerName_;  // names kept sorted
};

}  // namespace qm::photo
