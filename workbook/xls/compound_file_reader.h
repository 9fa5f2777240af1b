#pragma once
// The compound file an .xls lives in: header, FAT with its DIFAT, mini-FAT,
// directory and stream chains. Every sector number and length is checked
// against the file; a chain that loops or runs past the file is damage.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::xls {

class CompoundFile {
 public:
  // `bytes` must outlive the object. Throws WorkbookError (damage text for `path`).
  CompoundFile(std::string_view bytes, const std::string& path);

  // The stream of that name (case-insensitive ASCII), nullopt when there is none.
  // Throws WorkbookError on a damaged chain.
  std::optional<std::string> stream(std::string_view name) const;

 private:
  struct Entry {
    std::string name;  // UTF-16 name cut to ASCII; other characters become '?'
    int type = 0;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
  };
  [[noreturn]] void fail(const char* detail) const;
  std::uint32_t u32(std::uint64_t at) const;
  std::vector<std::uint32_t> chain(const std::vector<std::uint32_t>& table, std::uint32_t start, std::size_t limit) const;
  std::string readChain(std::uint32_t start, std::uint64_t size) const;
  std::string readMiniChain(std::uint32_t start, std::uint64_t size) const;

  std::string_view bytes_;
  const std::string& path_;
  std::uint32_t sectorSize_ = 512;
  std::uint32_t miniCutoff_ = 4096;
  std::vector<std::uint32_t> fat_;
  std::vector<std::uint32_t> miniFat_;
  std::string miniStream_;
  std::vector<Entry> entries_;
};

}  // namespace qm::xls
