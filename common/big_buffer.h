#pragma once
// Heap blocks for the sheet's and the writer's large buffers. Blocks of
// 2 MB and more are aligned for transparent huge pages: filling them costs
// one page fault per 2 MB instead of one per 4 kB (a fault is dear on a
// virtual machine), and random probes of a big table miss the TLB less.
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

namespace qm {

class BigBuffer {
 public:
  BigBuffer() = default;
  // Uninitialised unless zeroed; throws std::bad_alloc.
  explicit BigBuffer(std::size_t bytes, bool zeroed = false);
  ~BigBuffer();
  BigBuffer(BigBuffer&& o) noexcept : p_(std::exchange(o.p_, nullptr)), size_(std::exchange(o.size_, 0)) {}
  BigBuffer& operator=(BigBuffer&& o) noexcept;
  BigBuffer(const BigBuffer&) = delete;
  BigBuffer& operator=(const BigBuffer&) = delete;

  char* data() const { return p_; }
  std::size_t size() const { return size_; }

 private:
  char* p_ = nullptr;
  std::size_t size_ = 0;
};

// A growing array of plain values in a BigBuffer, doubling when full.
template <class T>
class BigArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return data()[i]; }
  const T& operator[](std::size_t i) const { return data()[i]; }
  void push_back(const T& v) {
    if ((size_ + 1) * sizeof(T) > buf_.size()) grow();
    data()[size_++] = v;
  }

 private:
  T* data() const { return reinterpret_cast<T*>(buf_.data()); }
  void grow() {
    BigBuffer bigger(buf_.size() ? buf_.size() * 2 : 4096);
    if (size_) std::memcpy(bigger.data(), buf_.data(), size_ * sizeof(T));
    buf_ = std::move(bigger);
  }
  BigBuffer buf_;
  std::size_t size_ = 0;
};

}  // namespace qm
