#include "sheet/xls/file_output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "common/big_buffer.h"

namespace qm::xls {
namespace {

constexpr std::size_t kStage = std::size_t{4} << 20;
constexpr std::size_t kBlock = 4096;  // covers 512-byte and 4 kB sector disks

[[noreturn]] void fail() { throw std::runtime_error(std::string("cannot write the workbook: ") + std::strerror(errno)); }

class Output {
 public:
  explicit Output(int fd) : fd_(fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    direct_ = flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_DIRECT) == 0;
  }
  bool direct() const { return direct_; }

  void write(const char* p, std::size_t n) {
    if (direct_) {
      const std::size_t aligned = n / kBlock * kBlock;
      if (aligned > 0 && writeDirect(p, aligned)) {
        p += aligned;
        n -= aligned;
      }
      if (n > 0) buffered();  // a tail of less than a block, or O_DIRECT refused
    }
    writeAll(p, n);
  }

 private:
  // False, with nothing written, when the file system refuses O_DIRECT.
  bool writeDirect(const char* p, std::size_t n) {
    for (;;) {
      const ssize_t w = ::write(fd_, p, n);
      if (w == static_cast<ssize_t>(n)) return true;
      if (w < 0 && errno == EINTR) continue;
      if (w < 0 && errno == EINVAL) return false;
      if (w < 0) fail();
      // A short write leaves the rest unaligned: finish through the page cache.
      buffered();
      writeAll(p + w, n - static_cast<std::size_t>(w));
      return true;
    }
  }
  void buffered() {
    if (!direct_) return;
    direct_ = false;
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_DIRECT) != 0) fail();
  }
  void writeAll(const char* p, std::size_t n) {
    while (n > 0) {
      const ssize_t w = ::write(fd_, p, n);
      if (w < 0) {
        if (errno == EINTR) continue;
        fail();
      }
      p += w;
      n -= static_cast<std::size_t>(w);
    }
  }
  int fd_;
  bool direct_ = false;
};

}  // namespace

void writeParts(int fd, const std::vector<iovec>& parts) {
  Output out(fd);
  if (!out.direct()) {
    for (const iovec& v : parts) out.write(static_cast<const char*>(v.iov_base), v.iov_len);
    return;
  }
  // O_DIRECT wants aligned memory, lengths and file offsets: gather into a stage.
  std::size_t total = 0;
  for (const iovec& v : parts) total += v.iov_len;
  const std::size_t stageSize = std::min(kStage, (total + kBlock - 1) / kBlock * kBlock);
  BigBuffer stage(stageSize);
  std::size_t used = 0;
  for (const iovec& v : parts) {
    auto p = static_cast<const char*>(v.iov_base);
    for (std::size_t left = v.iov_len; left > 0;) {
      const std::size_t k = std::min(left, stageSize - used);
      std::memcpy(stage.data() + used, p, k);
      used += k;
      p += k;
      left -= k;
      if (used == stageSize) {
        out.write(stage.data(), used);
        used = 0;
      }
    }
  }
  out.write(stage.data(), used);
}

}  // namespace qm::xls
