#pragma once
// A byte buffer that grows by chunks (256 kB, then 2 MB doubling to 8 MB) instead of
// reallocating: bytes never move, so prepared records stay where they were
// written, and nothing is copied as rows keep arriving. Writers claim a run
// of contiguous room, fill it through a pointer and then say where they
// stopped.
#include <cstdint>
#include <sys/uio.h>
#include <vector>

#include "common/big_buffer.h"

namespace qm::xls {

class ChunkedBytes {
 public:
  // Start of at least n contiguous free bytes; opens a new chunk when the
  // current one has less room left (its tail stays unused).
  char* claim(std::size_t n);
  // The bytes up to end (within the last claim) are filled.
  void filled(char* end) { used_ = static_cast<std::size_t>(end - chunks_.back().data()); }

  // Bytes filled so far, and where a pointer into the last chunk stands.
  std::uint64_t size() const { return sealed_ + used_; }
  std::uint64_t offsetOf(const char* p) const { return sealed_ + static_cast<std::size_t>(p - chunks_.back().data()); }
  // The filled byte at a logical offset.
  const char* at(std::uint64_t offset) const;

  // The filled parts, for one gathered write.
  void appendParts(std::vector<iovec>& parts) const;

 private:
  std::vector<BigBuffer> chunks_;
  std::vector<std::uint64_t> starts_;  // logical offset of each chunk
  std::vector<std::size_t> lengths_;   // filled bytes of each chunk but the last
  std::uint64_t sealed_ = 0;           // filled bytes in all chunks but the last
  std::size_t used_ = 0;               // filled bytes of the last chunk
};

}  // namespace qm::xls
