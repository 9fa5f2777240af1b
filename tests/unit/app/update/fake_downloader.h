#pragma once
// A scripted Downloader: answers by URL from a table, writes the body (or the
// part that came before the connection dropped) into the file it was given,
// reports progress in two steps and finishes. Downloads wait until the test
// calls runAll(), unless immediate is set.
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/update/downloader.h"

namespace qm::test {

struct FakeResponse {
  std::string body;
  std::string statusLine = "HTTP/1.1 200 OK";  // the line a failure reports; kept for ok answers too
  bool ok = true;
  bool announceSize = true;
  std::optional<std::size_t> dropAfter = std::nullopt;  // the connection drops after this many bytes
};

class FakeDownloader : public Downloader {
 public:
  std::map<std::string, FakeResponse> responses;  // a URL not listed: connection refused
  std::vector<std::string> requested;              // URLs in order
  std::vector<std::string> paths;                  // files they were written into
  bool immediate = false;
  int cancels = 0;

  std::vector<std::int64_t> limits;                // maxBytes of each request

  void start(const std::string& url, const std::string& path, std::int64_t maxBytes, Progress progress,
             Done done) override {
    requested.push_back(url);
    paths.push_back(path);
    limits.push_back(maxBytes);
    pending_ = Pending{url, path, std::move(progress), std::move(done)};
    if (immediate) runAll();
  }
  void cancel() override {
    if (pending_) ++cancels;
    pending_.reset();
  }
  bool waiting() const { return pending_.has_value(); }

  // Serves the waiting download only; one its completion starts waits.
  void runOne() {
    if (!pending_) return;
    Pending p = std::move(*pending_);
    pending_.reset();
    serve(p);
  }

  // Serves the waiting download, and any its completion starts, until none waits.
  void runAll() {
    while (pending_) {
      Pending p = std::move(*pending_);
      pending_.reset();
      serve(p);
    }
  }

 private:
  struct Pending {
    std::string url, path;
    Progress progress;
    Done done;
  };

  void serve(Pending& p) {
    auto it = responses.find(p.url);
    if (it == responses.end()) {
      p.done(DownloadOutcome{false, ""});
      return;
    }
    const FakeResponse& r = it->second;
    std::string sent = r.dropAfter ? r.body.substr(0, *r.dropAfter) : r.body;
    std::int64_t total = r.announceSize ? static_cast<std::int64_t>(r.body.size()) : -1;
    {
      std::ofstream out(p.path, std::ios::binary | std::ios::trunc);
      out << sent;
    }
    if (p.progress) {
      p.progress(0, total);
      p.progress(static_cast<std::int64_t>(sent.size() / 2), total);
      p.progress(static_cast<std::int64_t>(sent.size()), total);
    }
    bool ok = r.ok && !r.dropAfter;
    p.done(DownloadOutcome{ok, r.dropAfter ? std::string() : r.statusLine});
  }

  std::optional<Pending> pending_;
};

}  // namespace qm::test
