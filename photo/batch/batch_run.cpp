#include "photo/batch/batch_run.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "common/atomic_file.h"
#include "photo/batch/batch_texts.h"
#include "photo/batch/source_lookup.h"
#include "photo/image/picture_loader.h"

namespace qm::photo {
namespace {

// Files are synced by several threads at once: the file system then commits
// them together, where one sync at a time costs a disk flush per photo. The
// writers wait on the disk, not on a core; four of them synced about 1,300
// small files a second here, short of what two cores make of 640 x 480
// photos, so there are four per thread that makes photos (eight syncing
// threads managed about 2,400 a second).
constexpr unsigned kWritersPerMaker = 4;
// A source file larger than this is not kept in memory for the next student.
constexpr std::size_t kKeptFileBytes = 64u << 20;

enum class Outcome { BadName, Missing, Failed, Made, Written };
enum class Stage { Waiting, Made, Writing, Done };

struct Student {
  std::string sourceName, targetPath, targetName;
  bool badName = false;
  int readsAfter = -1;   // an earlier student writes the file this one reads
  int writesAfter = -1;  // an earlier student writes the same file
  Stage stage = Stage::Waiting;
  Outcome outcome = Outcome::Failed;
  std::string jpeg;
};

bool sameFolder(const std::string& a, const std::string& b) {
  if (a == b) return true;
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

class OrderedRun {
 public:
  OrderedRun(const std::vector<BatchStudent>& list, const BatchRunOptions& options, std::atomic<bool>& stop,
             BatchListener& listener)
      : options_(options), stop_(stop), listener_(listener), lookup_(options.sourceFolder) {
    inPlace_ = sameFolder(options.sourceFolder, options.targetFolder);
    plan(list);
  }

  BatchSummary run();

 private:
  void dispatchAndLog(BatchSummary& summary);
  void finish(std::vector<std::thread>& threads);
  void plan(const std::vector<BatchStudent>& list);
  void makePhotos();
  void writeFiles();
  void make(Student& s);
  bool write(Student& s);
  void markDone(std::size_t i);  // with the lock held
  // One waiter, unless some wait for an earlier student: the one woken could
  // be such a thread and go back to sleep.
  void wakeOne(std::condition_variable& c) {
    if (dependencyWaiters_ > 0) {
      c.notify_all();
    } else {
      c.notify_one();
    }
  }
  std::vector<std::string> linesOf(std::size_t i, BatchSummary& summary) const;

  const BatchRunOptions& options_;
  std::atomic<bool>& stop_;
  BatchListener& listener_;
  SourceLookup lookup_;
  bool inPlace_ = false;
  std::vector<Student> students_;

  // One condition per kind of waiter, so a change wakes only the threads it
  // can let go on: a wake-up of every thread per student kept the cores busy
  // switching threads instead of making photos.
  std::mutex mutex_;
  std::condition_variable makerCanGo_, writerCanGo_, dispatcherCanGo_;
  int dependencyWaiters_ = 0;  // threads waiting for an earlier student to be done
  std::size_t nextToMake_ = 0, nextToDispatch_ = 0, nextToLog_ = 0, doneUpTo_ = 0;
  std::deque<std::size_t> toWrite_;
  bool stopSeen_ = false, finished_ = false;
};

void OrderedRun::plan(const std::vector<BatchStudent>& list) {
  students_.resize(list.size());
  std::unordered_map<std::string, int> lastWriterByPath, lastWriterByLowerName;
  for (std::size_t i = 0; i < list.size(); ++i) {
    Student& s = students_[i];
    s.badName = !usableInFileName(list[i].photoNumber) || !usableInFileName(list[i].idNumber);
    if (s.badName) continue;
    s.sourceName = list[i].photoNumber + ".jpg";
    s.targetName = list[i].idNumber + ".jpg";
    s.targetPath = joinFolder(options_.targetFolder, s.targetName);
    // Reading a file that an earlier student writes waits for that write,
    // as it would one student at a time.
    if (inPlace_) {
      auto it = lastWriterByLowerName.find(asciiLower(s.sourceName));
      if (it != lastWriterByLowerName.end()) s.readsAfter = it->second;
      lastWriterByLowerName[asciiLower(s.targetName)] = static_cast<int>(i);
    }
    auto it = lastWriterByPath.find(s.targetPath);
    if (it != lastWriterByPath.end()) s.writesAfter = it->second;
    lastWriterByPath[s.targetPath] = static_cast<int>(i);
  }
}

void OrderedRun::make(Student& s) {
  if (s.badName) {
    s.outcome = Outcome::BadName;
    return;
  }
  auto path = lookup_.find(s.sourceName);
  if (!path) {
    s.outcome = Outcome::Missing;
    return;
  }
  s.outcome = Outcome::Failed;
  try {
    thread_local std::string bytes;  // reused: camera photos are megabytes each
    bool read = readFileInto(*path, bytes);
    auto jpeg = read ? makeBatchPhoto(bytes, options_.photo) : std::nullopt;
    if (bytes.capacity() > kKeptFileBytes) std::string().swap(bytes);
    if (!jpeg) return;
    s.jpeg = std::move(*jpeg);
    s.outcome = Outcome::Made;
  } catch (const std::exception&) {
    s.jpeg.clear();  // out of memory on a huge picture: that photo fails
  }
}

bool OrderedRun::write(Student& s) {
  if (s.targetPath.empty()) return false;
  // The name comes from a list cell: a link planted at it must not carry the
  // photo out of the chosen folder, so the link itself is replaced.
  AtomicFile file(s.targetPath, LinkAtTarget::Replace);
  return file.ok() && file.write(s.jpeg) && file.commit();
}

void OrderedRun::markDone(std::size_t i) {
  students_[i].stage = Stage::Done;
  const std::size_t before = doneUpTo_;
  while (doneUpTo_ < students_.size() && students_[doneUpTo_].stage == Stage::Done) ++doneUpTo_;
  dispatcherCanGo_.notify_one();
  if (doneUpTo_ != before && dependencyWaiters_ > 0) {
    makerCanGo_.notify_all();
    writerCanGo_.notify_all();
  }
}

void OrderedRun::makePhotos() {
  // Work ahead of the log by a bounded number of students.
  const std::size_t ahead = 8 + 4 * std::max(1u, options_.threads);
  std::unique_lock lock(mutex_);
  for (;;) {
    makerCanGo_.wait(lock, [&] {
      return stopSeen_ || nextToMake_ >= students_.size() || nextToMake_ < nextToLog_ + ahead;
    });
    if (stopSeen_ || nextToMake_ >= students_.size()) return;
    std::size_t i = nextToMake_++;
    Student& s = students_[i];
    if (s.readsAfter >= 0) {
      ++dependencyWaiters_;
      makerCanGo_.wait(lock, [&] { return stopSeen_ || doneUpTo_ > static_cast<std::size_t>(s.readsAfter); });
      --dependencyWaiters_;
      if (stopSeen_) return;  // this student comes after the stop and is never written
    }
    lock.unlock();
    make(s);
    lock.lock();
    s.stage = Stage::Made;
    if (i == nextToDispatch_) dispatcherCanGo_.notify_one();  // the dispatcher waits for this one only
  }
}

void OrderedRun::writeFiles() {
  std::unique_lock lock(mutex_);
  for (;;) {
    writerCanGo_.wait(lock, [&] { return finished_ || !toWrite_.empty(); });
    if (toWrite_.empty()) return;
    std::size_t i = toWrite_.front();
    toWrite_.pop_front();
    Student& s = students_[i];
    if (s.writesAfter >= 0) {
      ++dependencyWaiters_;
      writerCanGo_.wait(lock, [&] { return doneUpTo_ > static_cast<std::size_t>(s.writesAfter); });
      --dependencyWaiters_;
    }
    lock.unlock();
    bool ok = write(s);
    if (ok && inPlace_) lookup_.noteWritten(s.targetName);
    lock.lock();
    s.outcome = ok ? Outcome::Written : Outcome::Failed;
    s.jpeg.clear();
    s.jpeg.shrink_to_fit();
    markDone(i);
  }
}

std::vector<std::string> OrderedRun::linesOf(std::size_t i, BatchSummary& summary) const {
  std::vector<std::string> lines{batchStudentLine(static_cast<int>(i) + 1)};
  switch (students_[i].outcome) {
    case Outcome::BadName: lines.push_back(kBatchBadName); break;
    case Outcome::Missing: lines.push_back(kBatchSourceMissing); break;
    case Outcome::Written: lines.push_back(kBatchPhotoDone); break;
    default: lines.push_back(kBatchPhotoFailed); break;
  }
  if (students_[i].outcome == Outcome::Written) {
    ++summary.ok;
  } else {
    ++summary.failed;
  }
  return lines;
}

void OrderedRun::dispatchAndLog(BatchSummary& summary) {
  std::unique_lock lock(mutex_);
  for (;;) {
    // Hand made photos to the writers strictly in list order; a stop request
    // is looked at after each student, as the one-at-a-time run did.
    while (!stopSeen_ && nextToDispatch_ < students_.size() && students_[nextToDispatch_].stage == Stage::Made) {
      std::size_t i = nextToDispatch_++;
      if (students_[i].outcome == Outcome::Made) {
        students_[i].stage = Stage::Writing;
        toWrite_.push_back(i);
        wakeOne(writerCanGo_);
      } else {
        markDone(i);
      }
      if (stop_.load()) {
        stopSeen_ = true;
        makerCanGo_.notify_all();
      }
    }
    while (nextToLog_ < nextToDispatch_ && students_[nextToLog_].stage == Stage::Done) {
      std::size_t i = nextToLog_++;
      auto lines = linesOf(i, summary);
      wakeOne(makerCanGo_);  // one more student may be made ahead
      lock.unlock();
      for (const auto& line : lines) listener_.logLine(line);
      listener_.recordDone(static_cast<int>(i) + 1, summary.total);
      lock.lock();
    }
    if (nextToLog_ == (stopSeen_ ? nextToDispatch_ : students_.size())) break;
    dispatcherCanGo_.wait(lock, [&] {
      const bool canDispatch = !stopSeen_ && nextToDispatch_ < students_.size() &&
                               students_[nextToDispatch_].stage == Stage::Made;
      const bool canLog = nextToLog_ < nextToDispatch_ && students_[nextToLog_].stage == Stage::Done;
      return canDispatch || canLog;
    });
  }
  summary.stopped = stopSeen_;
}

void OrderedRun::finish(std::vector<std::thread>& threads) {
  {
    std::lock_guard lock(mutex_);
    stopSeen_ = finished_ = true;  // makers stop; writers finish what they hold
    makerCanGo_.notify_all();
    writerCanGo_.notify_all();
  }
  for (auto& t : threads) t.join();
}

BatchSummary OrderedRun::run() {
  BatchSummary summary;
  summary.total = static_cast<int>(students_.size());
  std::vector<std::thread> threads;
  try {
    for (unsigned t = 0; t < std::max(1u, options_.threads); ++t) threads.emplace_back([this] { makePhotos(); });
    const unsigned writers = kWritersPerMaker * std::max(1u, options_.threads);
    for (unsigned t = 0; t < writers; ++t) threads.emplace_back([this] { writeFiles(); });
    dispatchAndLog(summary);
  } catch (...) {
    finish(threads);  // a listener that throws ends the run, never with threads left running
    throw;
  }
  finish(threads);
  return summary;
}

}  // namespace

bool usableInFileName(const std::string& name) { return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos; }

BatchSummary runPhotoStudents(const std::vector<BatchStudent>& students, const BatchRunOptions& options,
                              std::atomic<bool>& stopRequested, BatchListener& listener) {
  OrderedRun run(students, options, stopRequested, listener);
  return run.run();
}

void endPhotoBatch(BatchSummary& summary, std::atomic<bool>& stopRequested, BatchListener& listener) {
  // A stop pressed after the last student was handed over still belongs to
  // this run: left set, it would stop the next run after its first student.
  if (stopRequested.exchange(false)) summary.stopped = true;
  listener.logLine(" ");
  listener.logLine(summary.stopped ? kBatchStopped : kBatchFinished);
  listener.logLine(batchCountLine(summary.stopped, summary.total, summary.ok, summary.failed));
}

BatchSummary runPhotoBatch(const std::vector<BatchStudent>& students, const BatchRunOptions& options,
                           std::atomic<bool>& stopRequested, BatchListener& listener) {
  listener.logLine(kBatchLogStart);
  BatchSummary summary = runPhotoStudents(students, options, stopRequested, listener);
  endPhotoBatch(summary, stopRequested, listener);
  return summary;
}

BatchSummary runPhotoBatch(WorkbookSource& list, const BatchRunOptions& options, std::atomic<bool>& stopRequested,
                           BatchListener& listener) {
  std::vector<BatchStudent> students = readBatchList(list);
  return runPhotoBatch(students, options, stopRequested, listener);
}

}  // namespace qm::photo
