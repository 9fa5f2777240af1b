#include "common/atomic_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <set>

namespace qm {
namespace {

constexpr const char* kTempMark = ".~qm";

// The file a path names after following symbolic links, so a save replaces
// the link's target and keeps the link. A dangling link names its target too.
std::string resolvedTarget(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(current.c_str(), buf, sizeof buf - 1);
    if (n <= 0) return current;
    std::string link(buf, static_cast<std::size_t>(n));
    if (link.front() != '/') {
      const std::size_t slash = current.rfind('/');
      if (slash != std::string::npos) link = current.substr(0, slash + 1) + link;
    }
    current = std::move(link);
  }
  return current;
}

bool processAlive(long pid) {
  if (pid <= 0 || pid > INT_MAX) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

std::string atomicTempPrefix(const std::string& target) { return target + kTempMark; }

int removeStaleTempFiles(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  while (dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    // "<file>.~qm<pid>-XXXXXX": a temp whose writer is gone. Names without a
    // pid (or a pid still in use) may belong to a live save and stay.
    const std::size_t mark = name.rfind(kTempMark);
    if (mark == std::string::npos || mark == 0) continue;
    const char* digits = name.c_str() + mark + std::strlen(kTempMark);
    char* end = nullptr;
    errno = 0;
    const long pid = std::strtol(digits, &end, 10);
    if (end == digits || *end != '-' || std::strlen(end) != 7 || errno != 0 || processAlive(pid)) continue;
    const std::string path = folder + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

namespace {

// A folder is swept once per run: a batch saving thousands of photos into
// one folder must not list it for every photo.
void sweepFolderOnce(const std::string& target) {
  static std::mutex mutex;
  static std::set<std::string> swept;
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  {
    std::lock_guard lock(mutex);
    if (!swept.insert(folder).second) return;
  }
  removeStaleTempFiles(target);
}

}  // namespace

AtomicFile::AtomicFile(std::string target, LinkAtTarget links)
    : target_(links == LinkAtTarget::WriteThrough ? resolvedTarget(target) : std::move(target)) {
  struct stat st {};
  // A link that is replaced is not looked through, not even for its mode.
  const bool exists = (links == LinkAtTarget::WriteThrough ? ::stat(target_.c_str(), &st)
                                                           : ::lstat(target_.c_str(), &st)) == 0;
  // A file nobody may write is read-only, also for root.
  if (exists && S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    errno = EACCES;
    fail("Unable to write to");
    return;
  }
  sweepFolderOnce(target_);
  temp_ = atomicTempPrefix(target_) + std::to_string(::getpid()) + "-XXXXXX";
  fd_ = ::mkstemp(temp_.data());
  if (fd_ < 0) {
    error_ = "Unable to write to " + target_ + ": " + std::strerror(errno);
    temp_.clear();
    return;
  }
  if (exists && S_ISREG(st.st_mode)) {
    // The new file keeps the old one's permissions (and owner, where allowed).
    ::fchmod(fd_, st.st_mode & 07777);
    if (::fchown(fd_, st.st_uid, st.st_gid) != 0) {
      // Not the owner's to give away: the file stays ours, with the same mode.
    }
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
