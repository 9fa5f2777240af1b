#include "sheet/isolated_process.h"

#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace qm {
namespace {

constexpr std::size_t kFlushAt = 1 << 20;
constexpr std::size_t kChunk = 1 << 16;

bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void ChildOutput::append(const void* data, std::size_t size) {
  if (buffer_.size() + size > kFlushAt) flush();
  if (size >= kFlushAt) {
    if (!writeAll(fd_, static_cast<const char*>(data), size)) ::_exit(3);  // the parent gave up
    return;
  }
  buffer_.append(static_cast<const char*>(data), size);
}

void ChildOutput::flush() {
  if (!writeAll(fd_, buffer_.data(), buffer_.size())) ::_exit(3);
  buffer_.clear();
}

ChildProcess::ChildProcess(const std::function<void(ChildOutput&)>& work, std::chrono::milliseconds idleLimit)
    : idleLimit_(idleLimit) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
  pid_ = ::fork();
  if (pid_ < 0) {
    const int err = errno;
    ::close(fds[0]);
    ::close(fds[1]);
    throw std::system_error(err, std::generic_category(), "fork");
  }
  if (pid_ == 0) {
    ::close(fds[0]);
    ::signal(SIGPIPE, SIG_DFL);
    // Memory the parent freed is shared with it until written, and each first
    // write copies a page; large blocks come from fresh mappings instead.
    ::mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    int code = 0;
    try {
      ChildOutput out(fds[1]);
      work(out);
      out.flush();
    } catch (...) {
      code = 2;
    }
    ::_exit(code);
  }
  ::close(fds[1]);
  fd_ = fds[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    finish();
  }
  if (fd_ >= 0) ::close(fd_);
}

bool ChildProcess::fill() {
  if (ended_) return false;
  if (at_ == buffer_.size()) {
    buffer_.clear();
    at_ = 0;
  }
  for (;;) {
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(idleLimit_.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timedOut_ = true;  // silent too long, or no way left to wait for it
      ::kill(pid_, SIGKILL);
      ended_ = true;
      return false;
    }
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kChunk);
    const ssize_t n = ::read(fd_, buffer_.data() + old, kChunk);
    buffer_.resize(old + static_cast<std::size_t>(n > 0 ? n : 0));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ended_ = true;
      return false;
    }
    return true;
  }
}

bool ChildProcess::read(void* data, std::size_t n) {
  auto* out = static_cast<char*>(data);
  while (n > 0) {
    if (at_ == buffer_.size() && n >= kChunk && !ended_) {
      // Large pieces go straight to their place, not through the buffer.
      pollfd p{fd_, POLLIN, 0};
      const int ready = ::poll(&p, 1, static_cast<int>(idleLimit_.count()));
      if (ready < 0 && errno == EINTR) continue;
      if (ready <= 0) {
        timedOut_ = true;
        ::kill(pid_, SIGKILL);
        ended_ = true;
        return false;
      }
      const ssize_t got = ::read(fd_, out, n);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        ended_ = true;
        return false;
      }
      out += got;
      n -= static_cast<std::size_t>(got);
      continue;
    }
    if (at_ == buffer_.size() && !fill()) return false;
    const std::size_t take = std::min(n, buffer_.size() - at_);
    std::memcpy(out, buffer_.data() + at_, take);
    at_ += take;
    out += take;
    n -= take;
  }
  return true;
}

bool ChildProcess::finish() {
  if (pid_ <= 0) return false;
  int status = 0;
  pid_t r;
  while ((r = ::waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  return r > 0 && !timedOut_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace qm
