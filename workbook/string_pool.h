#pragma once
// Texts held one after another in one string: text i is
// text[offsets[i], offsets[i+1]). A workbook's shared strings live in one
// pool that every sheet table refers to, so a text used by many cells is held once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct StringPool {
  std::string text;
  std::vector<std::uint32_t> offsets{0};

  std::size_t size() const { return offsets.size() - 1; }
  std::string_view at(std::size_t i) const {
    return std::string_view(text).substr(offsets[i], offsets[i + 1] - offsets[i]);
  }
  // Ends the text appended since the last end.
  void end() { offsets.push_back(static_cast<std::uint32_t>(text.size())); }
  std::size_t bytesHeld() const { return text.capacity() + offsets.capacity() * sizeof(std::uint32_t); }
};

}  // namespace qm
