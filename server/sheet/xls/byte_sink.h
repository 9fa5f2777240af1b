#pragma once
// Where the .xls bytes go. The compound file needs its sizes before its
// first byte, so every part is emitted twice: once into a counting sink to
// lay the file out, once into a sink that writes the file.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace qm::xls {

class ByteSink {
 public:
  // Counts only.
  ByteSink() = default;
  // Writes through a buffer to fd; failures throw std::runtime_error.
  explicit ByteSink(int fd);
  ~ByteSink();
  ByteSink(const ByteSink&) = delete;
  ByteSink& operator=(const ByteSink&) = delete;

  bool counting() const { return fd_ < 0; }
  // Bytes put since the origin: stream positions once the stream begins.
  std::uint64_t pos() const { return pos_ - origin_; }
  void setOrigin() { origin_ = pos_; }

  void put(const void* data, std::size_t n) {
    pos_ += n;
    if (fd_ < 0) return;
    if (n > kBuffer - used_) {
      flush();
      if (n > kBuffer) return writeAll(data, n);
    }
    std::memcpy(buf_.get() + used_, data, n);
    used_ += n;
  }
  void u8(std::uint8_t v) { put(&v, 1); }
  void u16(std::uint16_t v) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
    put(b, 2);
  }
  void u32(std::uint32_t v) {
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                               static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    put(b, 4);
  }
  void zeros(std::size_t n);
  void flush();

 private:
  void writeAll(const void* data, std::size_t n);
  static constexpr std::size_t kBuffer = 1u << 18;
  int fd_ = -1;
  std::uint64_t pos_ = 0;
  std::uint64_t origin_ = 0;
  std::unique_ptr<char[]> buf_;
  std::size_t used_ = 0;
};

}  // namespace qm::xls
