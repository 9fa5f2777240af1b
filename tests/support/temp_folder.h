#pragma once
// A scratch folder per test, removed afterwards.
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace qm::test {

struct TempFolder {
  std::filesystem::path path;
  explicit TempFolder(const std::string& name)
      : path(std::filesystem::temp_directory_path() / ("qm_" + name + "_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempFolder() {
    std::error_code ec;
    for (auto& e : std::filesystem::recursive_directory_iterator(path, ec))
      if (e.is_directory()) std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, ec);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path, ec);
  }

  // A folder where no file can be created. Root writes through permission
  // bits, so there it is a path below a regular file.
  std::filesystem::path unwritableFolder() const {
    auto folder = path / "locked";
    if (::geteuid() == 0) {
      std::ofstream(folder) << "not a folder";
    } else {
      std::filesystem::create_directory(folder);
      std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    return folder;
  }
};

}  // namespace qm::test
