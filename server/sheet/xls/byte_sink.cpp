#include "server/sheet/xls/byte_sink.h"

#include <cerrno>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace qm::xls {

ByteSink::ByteSink(int fd) : fd_(fd), buf_(std::make_unique_for_overwrite<char[]>(kBuffer)) {}

ByteSink::~ByteSink() = default;  // unflushed bytes belong to a failed file anyway

void ByteSink::zeros(std::size_t n) {
  static const char kZero[512] = {};
  while (n > 0) {
    std::size_t k = n < sizeof kZero ? n : sizeof kZero;
    put(kZero, k);
    n -= k;
  }
}

void ByteSink::flush() {
  if (fd_ < 0 || used_ == 0) return;
  std::size_t n = used_;
  used_ = 0;
  writeAll(buf_.get(), n);
}

void ByteSink::writeAll(const void* data, std::size_t n) {
  auto p = static_cast<const char*>(data);
  while (n > 0) {
    ssize_t w = ::write(fd_, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error(std::string("cannot write the workbook: ") + std::strerror(errno));
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
}

}  // namespace qm::xls
