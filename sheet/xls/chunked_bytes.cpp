#include "sheet/xls/chunked_bytes.h"

#include <algorithm>

namespace qm::xls {
namespace {
// A small first chunk for small sheets, then huge-page sizes.
constexpr std::size_t kFirstChunk = std::size_t{256} << 10;
constexpr std::size_t kSecondChunk = std::size_t{2} << 20;
constexpr std::size_t kLargestChunk = std::size_t{8} << 20;
}  // namespace

char* ChunkedBytes::claim(std::size_t n) {
  if (!chunks_.empty() && chunks_.back().size() - used_ >= n) return chunks_.back().data() + used_;
  std::size_t size = chunks_.empty()        ? kFirstChunk
                     : chunks_.size() == 1 ? kSecondChunk
                                           : std::min(chunks_.back().size() * 2, kLargestChunk);
  size = std::max(size, n);
  if (!chunks_.empty()) {
    lengths_.push_back(used_);
    sealed_ += used_;
  }
  chunks_.emplace_back(size);
  starts_.push_back(sealed_);
  used_ = 0;
  return chunks_.back().data();
}

const char* ChunkedBytes::at(std::uint64_t offset) const {
  const auto k = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin()) - 1;
  return chunks_[k].data() + (offset - starts_[k]);
}

void ChunkedBytes::appendParts(std::vector<iovec>& parts) const {
  for (std::size_t k = 0; k < chunks_.size(); ++k) {
    const std::size_t n = k + 1 < chunks_.size() ? lengths_[k] : used_;
    if (n) parts.push_back({chunks_[k].data(), n});
  }
}

}  // namespace qm::xls
