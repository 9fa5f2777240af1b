#include "app/update/file_fetch.h"

#include <QCryptographicHash>

#include "common/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// Reads the whole file into the hash and flushes it to disk before it is renamed.
std::string hashAndSync(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  QCryptographicHash hash(QCryptographicHash::Sha256);
  char buf[65536];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    hash.addData(QByteArrayView(buf, n));
  }
  ok = ok && ::fsync(fd) == 0;
  ::close(fd);
  if (!ok) return {};
  return hash.result().toHex().toStdString();
}

}  // namespace

std::string fileSha256(const std::string& path) { return hashAndSync(path); }

FileFetch::~FileFetch() { cancel(); }

void FileFetch::cancel() {
  if (!running_) return;
  downloader_.cancel();
  running_ = false;
  done_ = nullptr;
  ::unlink(temp_.c_str());
  temp_.clear();
}

bool FileFetch::start(FetchRequest request, Downloader::Progress progress, Done done) {
  if (running_) return false;
  request_ = std::move(request);
  done_ = std::move(done);
  received_ = 0;
  total_ = -1;
  // A name of our own beside the target: same file system, so the rename is atomic.
  removeStaleTempFiles(request_.target);
  temp_ = atomicTempPrefix(request_.target) + std::to_string(::getpid()) + "-XXXXXX";
  int fd = ::mkstemp(temp_.data());
  if (fd < 0) {
    FetchResult r;
    r.status = FetchResult::FileError;
    r.error = "Unable to write to " + request_.target + ": " + std::strerror(errno);
    temp_.clear();
    Done cb = std::move(done_);
    cb(r);
    return true;
  }
  ::close(fd);
  running_ = true;
  downloader_.start(
      request_.url, temp_, request_.maxBytes,
      [this, progress = std::move(progress)](std::int64_t received, std::int64_t total) {
        received_ = received;
        total_ = total;
        if (progress) progress(received, total);
      },
      [this](const DownloadOutcome& outcome) { finish(outcome); });
  return true;
}

void FileFetch::finish(const DownloadOutcome& outcome) {
  if (!running_) return;
  running_ = false;
  FetchResult r;
  if (outcome.ok) {
    r = land();
  } else {
    r.status = FetchResult::NetworkError;
    r.statusLine = outcome.statusLine;
  }
  if (!r.ok()) ::unlink(temp_.c_str());
  temp_.clear();
  r.received = received_;
  r.total = total_;
  // done may start the next fetch on this object.
  Done cb = std::move(done_);
  done_ = nullptr;
  if (cb) cb(r);
}

FetchResult FileFetch::land() {
  FetchResult r;
  auto fileError = [&](const char* what) {
    r.status = FetchResult::FileError;
    r.error = std::string(what) + " " + request_.target + ": " + std::strerror(errno);
    return r;
  };
  std::string digest = hashAndSync(temp_);
  if (digest.empty()) return fileError("Unable to read");
  if (!request_.sha256.empty() && digest != lower(request_.sha256)) {
    r.status = FetchResult::HashMismatch;
    r.error = "SHA-256 " + digest + ", expected " + lower(request_.sha256);
    return r;
  }
  // mkstemp made the file private; give it what a new file gets, plus the run bit when asked.
  mode_t mask = ::umask(0);
  ::umask(mask);
  mode_t mode = (request_.executable ? 0777 : 0666) & ~mask;
  if (::chmod(temp_.c_str(), mode) != 0) return fileError("Unable to set the permissions of");
  if (::rename(temp_.c_str(), request_.target.c_str()) != 0) return fileError("Unable to replace");
  return r;
}

}  // namespace qm
