#pragma once
// The batch photo run: for every student of the list, the source folder's
// "<photo number>.jpg" becomes the 154 x 189 "<ID number>.jpg" of the target
// folder. Photos are made on worker threads; the log, the counts and the
// files written follow the order of the list (of two equal ID numbers the
// later one's photo stays), and once the stop request is seen after a
// student, no file is written for any later student.
#include <atomic>
#include <string>
#include <vector>

#include "photo/batch/batch_list.h"
#include "photo/image/batch_photo.h"

namespace qm {
class WorkbookSource;
}

namespace qm::photo {

struct BatchRunOptions {
  std::string sourceFolder;
  std::string targetFolder;  // the source folder for writing in place
  unsigned threads = 1;      // threads making photos (files are written by a few more)
  BatchPhotoOptions photo;
};

struct BatchSummary {
  int total = 0;
  int ok = 0;
  int failed = 0;
  bool stopped = false;
};

// Receives the log as it is made, on the thread that called runPhotoBatch.
class BatchListener {
 public:
  virtual ~BatchListener() = default;
  virtual void logLine(const std::string& line) = 0;
  // Every line of student `record` (from 1) is out; for the progress bar.
  virtual void recordDone(int record, int total) { (void)record, (void)total; }
};

// The students' own lines only. A stop request seen after a student ends
// the run there (summary.stopped); the request stays set for endPhotoBatch.
BatchSummary runPhotoStudents(const std::vector<BatchStudent>& students, const BatchRunOptions& options,
                              std::atomic<bool>& stopRequested, BatchListener& listener);

// The run's last lines: " ", "任务停止！" or "任务完成！", the count line. A
// stop request still set here ends the run as stopped, also when it came
// after the last student was handed over, and is cleared. A window calls
// this on its own thread, where the stop button sets the request, so no
// press before the last line is left over for the next run.
void endPhotoBatch(BatchSummary& summary, std::atomic<bool>& stopRequested, BatchListener& listener);

// A whole run: "任务日志：", runPhotoStudents, endPhotoBatch.
BatchSummary runPhotoBatch(const std::vector<BatchStudent>& students, const BatchRunOptions& options,
                           std::atomic<bool>& stopRequested, BatchListener& listener);

// The same over the open sheet of list; throws BatchListError (before any
// line is logged) when the columns are missing.
BatchSummary runPhotoBatch(WorkbookSource& list, const BatchRunOptions& options, std::atomic<bool>& stopRequested,
                           BatchListener& listener);

// True when the name can be part of a file name in the chosen folder: no
// '/', '\' or NUL.
bool usableInFileName(const std::string& name);

}  // namespace qm::photo
