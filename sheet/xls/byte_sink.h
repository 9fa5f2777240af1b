#pragma once
// Bytes of the small parts of an .xls file (compound header, globals,
// worksheet head, FAT), assembled in memory; the big parts are prepared
// in chunks while rows arrive (see ChunkedBytes).
#include <cstdint>
#include <string>

namespace qm::xls {

class ByteSink {
 public:
  std::uint64_t pos() const { return buf_.size(); }
  const std::string& bytes() const { return buf_; }

  void put(const void* data, std::size_t n) { buf_.append(static_cast<const char*>(data), n); }
  void u8(std::uint8_t v) { buf_.push_back(static_cast<char>(v)); }
  void u16(std::uint16_t v) {
    const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    buf_.append(b, 2);
  }
  void u32(std::uint32_t v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    buf_.append(b, 4);
  }
  void zeros(std::size_t n) { buf_.append(n, '\0'); }

 private:
  std::string buf_;
};

}  // namespace qm::xls
