#include "common/big_buffer.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace qm {
namespace {
constexpr std::size_t kHuge = std::size_t{2} << 20;
}

BigBuffer::BigBuffer(std::size_t bytes, bool zeroed) : size_(bytes) {
  const bool huge = bytes >= kHuge;
  void* p = huge ? std::aligned_alloc(kHuge, (bytes + kHuge - 1) / kHuge * kHuge) : std::malloc(bytes ? bytes : 1);
  if (!p) throw std::bad_alloc();
  if (huge) ::madvise(p, bytes, MADV_HUGEPAGE);
  if (zeroed) std::memset(p, 0, bytes);
  p_ = static_cast<char*>(p);
}

BigBuffer::~BigBuffer() { std::free(p_); }

BigBuffer& BigBuffer::operator=(BigBuffer&& o) noexcept {
  std::swap(p_, o.p_);
  std::swap(size_, o.size_);
  return *this;
}

}  // namespace qm
