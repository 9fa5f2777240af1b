#pragma once
// A download that lands only when it is complete: the bytes go to a temporary
// file beside the target, are checked against the expected SHA-256 when one is
// given, get their run bit when asked, and are renamed over the target. Any
// failure or cancel deletes the temporary file and leaves the target as it
// was, so a broken transfer never leaves a program that a later click would
// start. Temporary names carry the pid, as the saves' do, and a fetch removes
// those that a process now gone left beside the same target.
#include <cstdint>
#include <functional>
#include <string>

#include "app/update/downloader.h"

namespace qm {

struct FetchRequest {
  std::string url;
  std::string target;
  std::string sha256;       // expected hex digest; empty: not checked
  bool executable = false;  // give the file its run bit before it lands
  std::int64_t maxBytes = 0;  // a longer answer fails; 0: no bound
};

struct FetchResult {
  enum Status { Ok, NetworkError, HashMismatch, FileError };
  Status status = Ok;
  std::string statusLine;  // NetworkError: the server's last status line, may be empty
  std::string error;       // FileError / HashMismatch: what went wrong, for logs
  std::int64_t received = 0;
  std::int64_t total = -1;  // as last announced
  bool ok() const { return status == Ok; }
};

class FileFetch {
 public:
  using Done = std::function<void(const FetchResult&)>;

  explicit FileFetch(Downloader& downloader) : downloader_(downloader) {}
  ~FileFetch();  // cancels a running download and deletes its temporary file
  FileFetch(const FileFetch&) = delete;
  FileFetch& operator=(const FileFetch&) = delete;

  // Refused (false, no callback) while a fetch runs. done runs exactly once
  // otherwise, possibly before start returns.
  bool start(FetchRequest request, Downloader::Progress progress, Done done);
  void cancel();
  bool running() const { return running_; }

 private:
  void finish(const DownloadOutcome& outcome);
  FetchResult land();

  Downloader& downloader_;
  FetchRequest request_;
  Done done_;
  std::string temp_;
  std::int64_t received_ = 0, total_ = -1;
  bool running_ = false;
};

// Hex SHA-256 of a file's bytes (lower case), empty when it cannot be read.
std::string fileSha256(const std::string& path);

}  // namespace qm
