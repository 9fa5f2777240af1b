#include "app/update/net_downloader.h"

#include <QFuture>
#include <QMetaObject>
#include <QPointer>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "common/log_categories.h"
#include "common/run_on_pool.h"

namespace qm {

struct NetDownloader::Job {
  Progress progress;
  Done done;
  std::atomic<bool> cancel = false;
  // Progress reports waiting on the user-interface thread: one at a time is enough.
  std::atomic<bool> progressQueued = false;
  std::atomic<bool> begun = false;
  std::atomic<std::int64_t> received = 0, total = -1;
};

NetDownloader::NetDownloader(QObject* parent) : QObject(parent) { worker_.setMaxThreadCount(1); }

NetDownloader::~NetDownloader() {
  cancel();
  worker_.waitForDone();
}

void NetDownloader::cancel() {
  if (!job_) return;
  job_->cancel = true;
  job_.reset();
}

void NetDownloader::start(const std::string& url, const std::string& path, std::int64_t maxBytes, Progress progress,
                          Done done) {
  cancel();
  auto job = std::make_shared<Job>();
  job->progress = std::move(progress);
  job->done = std::move(done);
  job_ = job;
  // Opened here, not on the worker: a download cancelled before its thread runs
  // must not create the file again after its owner has deleted it.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    finished(job, DownloadOutcome{false, ""});
    return;
  }
  QPointer<NetDownloader> self(this);
  QFuture<FileDownloadResult> transfer =
      runOnPool<FileDownloadResult>(worker_, [self, job, url, fd, maxBytes, stall = stallSeconds] {
        FileDownloadOptions options;
        options.cancel = &job->cancel;
        options.maxBytes = maxBytes;
        options.stallSeconds = stall;
        options.progress = [self, job](std::int64_t received, std::int64_t total) {
          job->received = received;
          job->total = total;
          if (!job->begun.exchange(true)) {
            // The start as it was (the bar at 0 of the announced size), whatever follows at once.
            QMetaObject::invokeMethod(self.data(), [self, job, received, total] {
              if (self) self->progressed(job, received, total);
            }, Qt::QueuedConnection);
            return;
          }
          if (job->progressQueued.exchange(true)) return;
          QMetaObject::invokeMethod(self.data(), [self, job] {
            job->progressQueued = false;
            if (self) self->progressed(job, job->received, job->total);
          }, Qt::QueuedConnection);
        };
        FileDownloadResult r;
        try {
          r = downloadToFile(url, fd, options);
        } catch (...) {
          ::close(fd);
          throw;
        }
        if (::close(fd) != 0 && r.ok) r.ok = false;
        return r;
      });
  // Back on this object's thread; the destructor waits for the worker, so the
  // hand-back is queued before this object goes, and dropped with it.
  transfer.then(this, [this, job](QFuture<FileDownloadResult> done) {
    FileDownloadResult r;
    try {
      r = done.result();
    } catch (...) {
      logCaughtException(lcUpdate(), "download");  // r stays a failure
    }
    // The last numbers first, so the bar ends where the transfer did.
    if (r.ok) progressed(job, r.received, r.total);
    finished(job, DownloadOutcome{r.ok, r.statusLine});
  });
}

void NetDownloader::progressed(const std::shared_ptr<Job>& job, std::int64_t received, std::int64_t total) {
  if (job != job_ || !job->progress) return;
  job->progress(received, total);
}

void NetDownloader::finished(const std::shared_ptr<Job>& job, const DownloadOutcome& outcome) {
  if (job != job_) return;
  job_.reset();
  // done may start the next download on this object.
  Done done = std::move(job->done);
  if (done) done(outcome);
}

}  // namespace qm
