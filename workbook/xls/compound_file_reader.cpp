#include "workbook/xls/compound_file_reader.h"

#include "common/ascii.h"

#include <cstring>

#include "common/huge_pages.h"

#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"

namespace qm::xls {
namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::size_t kHeaderDifat = 109;

}  // namespace

void CompoundFile::fail(const char* detail) const { throw WorkbookError(damagedWorkbookText(path_, detail)); }

std::uint32_t CompoundFile::u32(std::uint64_t at) const {
  if (at + 4 > bytes_.size()) fail("文件不完整");
  std::uint32_t v = 0;
  std::memcpy(&v, bytes_.data() + at, 4);
  return v;
}

CompoundFile::CompoundFile(std::string_view bytes, const std::string& path) : bytes_(bytes), path_(path) {
  if (bytes_.size() < 512) fail("文件不完整");
  auto u16at = [&](std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes_[at]) |
                                      (static_cast<unsigned char>(bytes_[at + 1]) << 8));
  };
  const std::uint16_t shift = u16at(0x1E);
  if (u16at(0x1C) != 0xFFFE || (shift != 9 && shift != 12) || u16at(0x20) != 6) fail("复合文档头无效");
  sectorSize_ = 1u << shift;
  const std::uint64_t sectors = bytes_.size() / sectorSize_;  // the header's place included
  const std::uint32_t fatSectors = u32(0x2C);
  const std::uint32_t firstDir = u32(0x30);
  miniCutoff_ = u32(0x38);
  const std::uint32_t firstMiniFat = u32(0x3C);
  const std::uint32_t difatSectors = u32(0x48);
  std::uint32_t difat = u32(0x44);
  if (fatSectors > sectors || difatSectors > sectors) fail("文件不完整");

  // The sectors of the FAT: 109 in the header, the rest in the DIFAT chain.
  std::vector<std::uint32_t> fatIds;
  for (std::size_t i = 0; i < kHeaderDifat && fatIds.size() < fatSectors; ++i) fatIds.push_back(u32(0x4C + 4 * i));
  const std::uint32_t perSector = sectorSize_ / 4;
  for (std::uint32_t n = 0; fatIds.size() < fatSectors; ++n) {
    if (n >= difatSectors || difat >= sectors) fail("扇区分配表不完整");
    const std::uint64_t at = (std::uint64_t{difat} + 1) * sectorSize_;
    for (std::uint32_t i = 0; i + 1 < perSector && fatIds.size() < fatSectors; ++i) fatIds.push_back(u32(at + 4 * i));
    difat = u32(at + 4 * (perSector - 1));
  }
  fat_.reserve(std::size_t{fatSectors} * perSector);
  for (const std::uint32_t id : fatIds) {
    if (id >= sectors) fail("扇区分配表超出文件");
    const std::uint64_t at = (std::uint64_t{id} + 1) * sectorSize_;
    if (at + sectorSize_ > bytes_.size()) fail("文件不完整");
    for (std::uint32_t i = 0; i < perSector; ++i) fat_.push_back(u32(at + 4 * i));
  }

  // The directory: 128-byte entries along its chain.
  const std::string dir = readChain(firstDir, 0);
  for (std::size_t at = 0; at + 128 <= dir.size(); at += 128) {
    const unsigned char* e = reinterpret_cast<const unsigned char*>(dir.data() + at);
    Entry entry;
    const std::size_t nameBytes = e[64] | (e[65] << 8);
    if (nameBytes > 64 || nameBytes % 2 != 0) fail("目录无效");
    for (std::size_t i = 0; i + 1 < nameBytes; i += 2) {
      const unsigned unit = e[i] | (e[i + 1] << 8);
      if (unit == 0) break;
      entry.name.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    entry.type = e[66];
    std::memcpy(&entry.start, e + 116, 4);
    std::uint32_t low = 0, high = 0;
    std::memcpy(&low, e + 120, 4);
    std::memcpy(&high, e + 124, 4);
    entry.size = sectorSize_ == 512 ? low : (std::uint64_t{high} << 32 | low);  // version 3 leaves the high half undefined
    entries_.push_back(std::move(entry));
  }
  if (entries_.empty() || entries_[0].type != 5) fail("目录无效");
  if (entries_[0].size > bytes_.size()) fail("迷你流超出文件");
  if (entries_[0].size > 0 && entries_[0].start != kEndOfChain) {
    miniStream_ = readChain(entries_[0].start, entries_[0].size);
    const std::string miniFat = firstMiniFat == kEndOfChain ? std::string() : readChain(firstMiniFat, 0);
    miniFat_.resize(miniFat.size() / 4);
    std::memcpy(miniFat_.data(), miniFat.data(), miniFat_.size() * 4);
  }
}

// The sectors of a chain, at most `limit` of them; a chain visiting more
// sectors than the table holds has looped.
std::vector<std::uint32_t> CompoundFile::chain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                               std::size_t limit) const {
  std::vector<std::uint32_t> ids;
  std::vector<bool> seen(table.size(), false);
  std::uint32_t id = start;
  while (id != kEndOfChain && ids.size() < limit) {
    if (id >= table.size()) fail("扇区链超出文件");
    if (seen[id]) fail("扇区链循环");
    seen[id] = true;
    ids.push_back(id);
    id = table[id];
  }
  return ids;
}

// size 0: the whole chain (the directory and the mini-FAT have no size of their own).
std::string CompoundFile::readChain(std::uint32_t start, std::uint64_t size) const {
  const std::size_t want = size == 0 ? fat_.size() : static_cast<std::size_t>((size + sectorSize_ - 1) / sectorSize_);
  const std::vector<std::uint32_t> ids = chain(fat_, start, want);
  if (size != 0 && ids.size() < want) fail("数据流比其扇区链长");
  std::string out;
  const std::size_t total = size != 0 ? static_cast<std::size_t>(size) : ids.size() * std::size_t{sectorSize_};
  out.reserve(total);
  adviseHugePages(out.data(), total);
  // Runs of consecutive sectors, as writers lay streams out, are copied at once.
  for (std::size_t i = 0; i < ids.size();) {
    std::size_t run = 1;
    while (i + run < ids.size() && ids[i + run] == ids[i] + run) ++run;
    const std::uint64_t at = (std::uint64_t{ids[i]} + 1) * sectorSize_;
    const std::uint64_t need = std::min<std::uint64_t>(std::uint64_t{sectorSize_} * run, total - out.size());
    if (at + need > bytes_.size()) fail("文件不完整");
    out.append(bytes_.data() + at, need);
    i += run;
  }
  return out;
}

std::string CompoundFile::readMiniChain(std::uint32_t start, std::uint64_t size) const {
  constexpr std::uint32_t kMini = 64;
  const std::size_t want = static_cast<std::size_t>((size + kMini - 1) / kMini);
  const std::vector<std::uint32_t> ids = chain(miniFat_, start, want);
  if (ids.size() < want) fail("数据流比其扇区链长");
  std::string out;
  out.reserve(size);
  for (const std::uint32_t id : ids) {
    const std::uint64_t at = std::uint64_t{id} * kMini;
    const std::uint64_t need = std::min<std::uint64_t>(kMini, size - out.size());
    if (at + need > miniStream_.size()) fail("迷你流不完整");
    out.append(miniStream_.data() + at, need);
  }
  return out;
}

std::optional<std::string> CompoundFile::stream(std::string_view name) const {
  for (const Entry& e : entries_) {
    if (e.type != 2 || !ascii::sameIgnoringCase(e.name, name)) continue;
    if (e.size > bytes_.size()) fail("数据流超出文件");
    if (e.size == 0) return std::string();
    return e.size < miniCutoff_ ? readMiniChain(e.start, e.size) : readChain(e.start, e.size);
  }
  return std::nullopt;
}

}  // namespace qm::xls
