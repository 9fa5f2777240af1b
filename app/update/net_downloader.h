#pragma once
// The Downloader the windows use: one GET at a time, streamed into the file on
// a one-thread pool of its own (net/file_download.h, common/run_on_pool.h);
// progress and the outcome come back on the thread that started it, and none
// after cancel().
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>

#include "app/update/downloader.h"
#include "net/file_download.h"

namespace qm {

class NetDownloader : public QObject, public Downloader {
  Q_OBJECT
 public:
  explicit NetDownloader(QObject* parent = nullptr);
  // Stops a running transfer and waits for its thread.
  ~NetDownloader() override;

  void start(const std::string& url, const std::string& path, std::int64_t maxBytes, Progress progress,
             Done done) override;
  void cancel() override;
  bool running() const { return job_ != nullptr; }

  // Seconds below 1 byte/s after which a transfer fails (tests shorten it).
  int stallSeconds = kStallSeconds;

 private:
  struct Job;
  void progressed(const std::shared_ptr<Job>& job, std::int64_t received, std::int64_t total);
  void finished(const std::shared_ptr<Job>& job, const DownloadOutcome& outcome);

  QThreadPool worker_;
  std::shared_ptr<Job> job_;  // the download whose callbacks still run
};

}  // namespace qm
