#pragma once
// One GET streamed into an open file: the body goes to disk as it arrives, so
// a program download never sits whole in memory. Blocking; run it on a worker
// thread. Sends the Indy-style header values of the program's other clients,
// follows no redirects, skips 1xx answers and fails on any status outside 2xx,
// on a body past maxBytes, on one shorter or longer than its Content-Length,
// and when less than 1 byte a second arrives for stallSeconds.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace qm {

// A transfer that gets less than 1 byte a second for this long fails.
inline constexpr int kStallSeconds = 60;

struct FileDownloadOptions {
  std::string userAgent = "Mozilla/3.0 (compatible; Indy Library)";
  std::string accept = "text/html, */*";
  // Called on the downloading thread whenever more of the body has arrived;
  // total is the announced size or -1 when the answer announces none.
  std::function<void(std::int64_t received, std::int64_t total)> progress;
  // Polled while the transfer runs (also while it waits); true ends it.
  const std::atomic<bool>* cancel = nullptr;
  std::int64_t maxBytes = 0;  // 0: no bound
  int stallSeconds = kStallSeconds;
  long connectTimeoutMs = 20000;
};

struct FileDownloadResult {
  bool ok = false;
  bool cancelled = false;
  // The last status line the server sent ("HTTP/1.1 404 Not Found"), without
  // its line end. Empty when no answer came, and when the connection broke
  // off after a good status line: what failed then was no answer of the server.
  std::string statusLine;
  std::string error;  // libcurl's or the file system's words, for logs
  bool tooLarge = false;    // the body (or its announced size) passed maxBytes
  bool incomplete = false;  // fewer or more bytes than the Content-Length
  bool timedOut = false;    // below 1 byte/s for stallSeconds, or no connection in time
  std::int64_t received = 0;
  std::int64_t total = -1;
};

// Writes the body to fd from its current position; the caller owns fd.
FileDownloadResult downloadToFile(const std::string& url, int fd, const FileDownloadOptions& options);

}  // namespace qm
