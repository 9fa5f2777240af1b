#include "checks/compare/base_key_index.h"

#include <cstring>
#include <functional>

#include "common/trim.h"
#include "workbook/workbook_source.h"

namespace qm {
namespace {

std::uint64_t hashOf(std::string_view key) { return std::hash<std::string_view>{}(key); }

}  // namespace

void BaseKeyIndex::build(const WorkbookSource& base, int keyField) {
  const int count = base.RecordCount();
  std::size_t slotCount = 16;
  while (slotCount < static_cast<std::size_t>(count) * 2) slotCount *= 2;

  // One block: slots, then the chains; zeroed, so every slot starts free and
  // every chain ends. The key bytes follow in a block of their own, sized by
  // the distinct keys: a sheet repeating one long key is held once.
  const std::size_t slotBytes = slotCount * sizeof(Slot);
  const std::size_t nextBytes = (static_cast<std::size_t>(count) + 1) * sizeof(int);
  memory_ = BigBuffer(slotBytes + nextBytes, true);
  slots_ = reinterpret_cast<Slot*>(memory_.data());
  next_ = reinterpret_cast<int*>(memory_.data() + slotBytes);
  mask_ = slotCount - 1;

  // While building, a slot's key is read from its first record's cell.
  auto keyAt = [&](int r) { return trimLowView(base.text(r, keyField)); };
  std::size_t keyBytes = 0;
  for (int r = 1; r <= count; ++r) {
    const std::string_view key = keyAt(r);
    const std::uint64_t h = hashOf(key);
    std::size_t i = h & mask_;
    while (slots_[i].first != 0 && (slots_[i].hash != h || keyAt(slots_[i].first) != key)) i = (i + 1) & mask_;
    Slot& s = slots_[i];
    if (s.first == 0) {
      s.hash = h;
      s.keyLength = key.size();
      s.first = r;
      keyBytes += key.size();
    } else {
      next_[s.last] = r;
    }
    s.last = r;
  }
  keyMemory_ = BigBuffer(keyBytes + 1, false);
  keys_ = keyMemory_.data();
  std::size_t used = 0;
  for (std::size_t i = 0; i < slotCount; ++i) {
    Slot& s = slots_[i];
    if (s.first == 0) continue;
    const std::string_view key = keyAt(s.first);
    s.keyOffset = used;
    if (!key.empty()) std::memcpy(keys_ + used, key.data(), key.size());
    used += key.size();
  }
}

BaseKeyIndex::Matches BaseKeyIndex::find(std::string_view key) const {
  if (!slots_) return Matches(0, next_);
  const std::uint64_t h = hashOf(key);
  for (std::size_t i = h & mask_; slots_[i].first != 0; i = (i + 1) & mask_)
    if (slots_[i].hash == h && keyOf(slots_[i]) == key) return Matches(slots_[i].first, next_);
  return Matches(0, next_);
}

}  // namespace qm
