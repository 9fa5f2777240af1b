#pragma once
// Large tables are filled once, front to back. Asking for transparent huge
// pages on their memory turns hundreds of 4 kB page faults into one per 2 MB,
// and a page fault is dear on the virtual machines schools run.
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

namespace qm {

// Call after reserving and before writing; small blocks are left alone.
inline void adviseHugePages(const void* data, std::size_t bytes) {
  if (bytes < (std::size_t{4} << 20)) return;
  const auto from = (reinterpret_cast<std::uintptr_t>(data) + 4095) & ~std::uintptr_t{4095};
  const auto to = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~std::uintptr_t{4095};
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

}  // namespace qm
