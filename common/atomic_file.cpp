#include "common/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
  temp_ = target_ + ".~qmXXXXXX";
  fd_ = ::mkstemp(temp_.data());
  if (fd_ < 0) {
    error_ = "Unable to write to " + target_ + ": " + std::strerror(errno);
    temp_.clear();
    return;
  }
  // Keep the permissions an ordinary new file would get.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd_, 0666 & ~mask);
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

bool AtomicFile::fail(const std::string& what) {
  error_ = what + " " + target_ + ": " + std::strerror(errno);
  return false;
}

bool AtomicFile::write(std::string_view bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("Unable to write to");
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool AtomicFile::commit() {
  if (fd_ < 0 || committed_) return false;
  if (::fsync(fd_) != 0) return fail("Unable to write to");
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return fail("Unable to write to");
  if (::rename(temp_.c_str(), target_.c_str()) != 0) return fail("Unable to replace");
  committed_ = true;
  return true;
}

bool saveFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  AtomicFile f(path);
  bool ok = f.ok() && f.write(bytes) && f.commit();
  if (!ok && error) *error = f.error();
  return ok;
}

}  // namespace qm
