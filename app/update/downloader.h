#pragma once
// One GET of a URL into a file. The windows implement it over the program's
// HTTP client; tests use a scripted one.
#include <cstdint>
#include <functional>
#include <string>

namespace qm {

struct DownloadOutcome {
  bool ok = false;
  // The last response status line ("HTTP/1.1 404 Not Found"); empty when no
  // answer came (connection refused, dropped, timed out).
  std::string statusLine;
};

class Downloader {
 public:
  // total is the size the answer announces, or -1 when it announces none.
  using Progress = std::function<void(std::int64_t received, std::int64_t total)>;
  using Done = std::function<void(const DownloadOutcome&)>;

  virtual ~Downloader() = default;

  // Starts a GET of url into the file at path (created, or emptied first); an
  // answer longer than maxBytes fails. Callbacks run on the thread that called
  // start: progress any number of times, then done exactly once, after the
  // file is closed. One download at a time. done may run before start returns.
  virtual void start(const std::string& url, const std::string& path, std::int64_t maxBytes, Progress progress,
                     Done done) = 0;
  // Ends the running download, if any; no callback runs after this returns.
  virtual void cancel() = 0;
};

}  // namespace qm
