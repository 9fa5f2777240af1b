#include "sheet/xls/shared_strings.h"

#include <functional>

namespace qm::xls {
namespace {

constexpr std::uint32_t kIdMask = (1u << 25) - 1;
constexpr std::size_t kFirstSlots = 1024;

}  // namespace

SharedStrings::SharedStrings(const Sheet& sheet)
    : sheet_(sheet), slots_(kFirstSlots * sizeof(std::uint32_t), true), mask_(kFirstSlots - 1) {}

void SharedStrings::grow() {
  const std::size_t slots = (mask_ + 1) * 2;
  BigBuffer bigger(slots * sizeof(std::uint32_t), true);
  auto* table = reinterpret_cast<std::uint32_t*>(bigger.data());
  for (std::size_t id = 0; id < unique_.size(); ++id) {
    const std::uint32_t hash = unique_[id].hash;
    std::size_t h = hash & (slots - 1);
    while (table[h] != 0) h = (h + 1) & (slots - 1);
    table[h] = (hash & ~kIdMask) | static_cast<std::uint32_t>(id + 1);
  }
  slots_ = std::move(bigger);
  mask_ = slots - 1;
}

std::uint32_t SharedStrings::hash(std::string_view text) {
  return static_cast<std::uint32_t>(std::hash<std::string_view>()(text));
}

std::uint32_t SharedStrings::intern(const Sheet::Cell& cell, std::string_view text, std::uint32_t hash) {
  ++references_;
  // At most half full: probes stay short.
  if ((unique_.size() + 1) * 2 > mask_ + 1) grow();
  const std::uint32_t tag = hash & ~kIdMask;
  auto* table = reinterpret_cast<std::uint32_t*>(slots_.data());
  for (std::size_t h = hash & mask_;; h = (h + 1) & mask_) {
    const std::uint32_t slot = table[h];
    if (slot == 0) {
      unique_.push_back({cell, hash});
      table[h] = tag | static_cast<std::uint32_t>(unique_.size());
      sst_.add(text);
      return static_cast<std::uint32_t>(unique_.size() - 1);
    }
    const std::uint32_t id = slot & kIdMask;
    if ((slot & ~kIdMask) == tag && sheet_.text(unique_[id - 1].cell) == text) return id - 1;
  }
}

}  // namespace qm::xls
