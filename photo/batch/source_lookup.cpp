#include "photo/batch/source_lookup.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>

namespace qm::photo {
namespace {

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string asciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string joinFolder(const std::string& folder, std::string_view name) {
  if (folder.empty()) return {};
  std::string path = folder;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

SourceLookup::SourceLookup(std::string folder) : folder_(std::move(folder)) {
  if (folder_.empty()) return;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    byLowerName_[asciiLower(name)].push_back(std::move(name));
  }
  for (auto& [key, names] : byLowerName_) std::sort(names.begin(), names.end());
}

std::optional<std::string> SourceLookup::find(std::string_view name) const {
  std::string exact = joinFolder(folder_, name);
  if (isRegularFile(exact)) return exact;
  std::shared_lock lock(mutex_);
  auto it = byLowerName_.find(asciiLower(name));
  if (it == byLowerName_.end()) return std::nullopt;
  for (const std::string& other : it->second) {
    std::string path = joinFolder(folder_, other);
    if (isRegularFile(path)) return path;
  }
  return std::nullopt;
}

void SourceLookup::noteWritten(std::string_view name) {
  std::unique_lock lock(mutex_);
  auto& names = byLowerName_[asciiLower(name)];
  auto at = std::lower_bound(names.begin(), names.end(), name);
  if (at == names.end() || *at != name) names.insert(at, std::string(name));
}

}  // namespace qm::photo
