#pragma once
// A scratch folder per test, removed afterwards, with the few file helpers
// the tests need around it.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace qm::test {

// The whole file as bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct TempFolder {
  std::filesystem::path path;
  // The process id keeps test programs that run at the same time apart.
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
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string file(const std::string& name) const { return (path / name).string(); }
  // Writes bytes to name in the folder and gives its path.
  std::string write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path / name, std::ios::binary) << bytes;
    return file(name);
  }
  std::string read(const std::string& name) const { return readFile(path / name); }
  // Names in the folder, to spot temporary files left behind.
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path), {}));
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
