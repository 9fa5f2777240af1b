#pragma once
// Slot bookkeeping of the tabbed window: slot 0 is the home tab and never
// closes, slots 0..LastTabIndex are occupied in strip order, at most 21 tabs.
// T is whatever the window keeps per slot (a page and its view).
#include <array>
#include <optional>

namespace qm {

template <typename T>
class TabBook {
 public:
  static constexpr int kSlots = 21;

  // The home tab goes into slot 0 without touching the counters.
  void setHome(T home) { slots_[0] = std::move(home); }

  int LastTabIndex() const { return last_; }
  int ActiveTabIndex() const { return active_; }
  bool full() const { return last_ >= kSlots - 1; }

  // Appends a tab after the last one and makes it active; false at the limit.
  bool open(T item) {
    if (full()) return false;
    ++last_;
    active_ = last_;
    slots_[last_] = std::move(item);
    return true;
  }

  // Closes the active tab: later slots move down one, the left neighbour
  // becomes active. Returns the removed item, or nothing on the home tab.
  std::optional<T> closeActive() {
    const int i = active_;
    if (i <= 0 || i > last_) return std::nullopt;
    T removed = std::move(slots_[i]);
    for (int k = i; k < last_; ++k) slots_[k] = std::move(slots_[k + 1]);
    slots_[last_] = T{};
    --last_;
    active_ = i - 1;
    return removed;
  }

  // The strip's active page changed to index (ignored when the strip is empty).
  void pageChanged(int index) {
    if (index >= 0) active_ = index;
  }

  // The item in slot, or an empty T for a free or invalid slot.
  T at(int slot) const { return slot >= 0 && slot <= last_ ? slots_[slot] : T{}; }

 private:
  std::array<T, kSlots> slots_{};
  int last_ = 0;
  int active_ = 0;
};

}  // namespace qm
