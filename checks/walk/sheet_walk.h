#pragma once
// One walk over the records of an open sheet, shared by the record checker
// and the comparison: slices with one report each, the stop request, the end
// and its message. What a record yields, and where the stop request is
// looked at, is the visitor's: the checker looks after the record's line,
// the comparison before it, so the record being searched gets no line.
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "checks/walk/check_run.h"

namespace qm {

class WorkbookSource;

// The stop request of a run, taken (and cleared) where a visitor looks at it.
class StopRequest {
 public:
  explicit StopRequest(std::atomic<bool>& flag) : flag_(flag) {}
  bool take() { return flag_.exchange(false); }
  void clear() { flag_ = false; }

 private:
  std::atomic<bool>& flag_;
};

class RecordVisitor {
 public:
  enum class StopTest {
    AfterLine,  // the walk looks after every record's lines
    OwnPoint,   // the visitor looks itself and answers Stopped
  };
  enum class Visit { Next, Stopped };

  virtual ~RecordVisitor() = default;

 protected:
  friend class SheetWalk;
  virtual StopTest stopTest() const = 0;
  // Once per slice, before its first record (a clock read, say).
  virtual void beginSlice() {}
  // The sheet's current record, numbered from 1; lines to log go to `lines`.
  virtual Visit visit(int record, std::vector<std::string>& lines, StopRequest& stop) = 0;
  // After the end, whatever the end: back to the first records.
  virtual void rewind() {}
  // The text of the "恭喜" box after the last record.
  virtual std::string finishedText() const = 0;
};

class SheetWalk {
 public:
  using Clock = std::chrono::steady_clock;

  // `sheet` must be open; the walk starts at its first record. The listener
  // gets the new lines after every slice and once at the end, on the thread
  // that calls advance(); while the walk goes on nothing else may read or
  // move the workbook sources.
  SheetWalk(WorkbookSource& sheet, RecordVisitor& visitor, std::atomic<bool>& stop, CheckListener listener = {});

  // Visits at least one record, then more until `until` or `maxRecords`;
  // returns true while records remain.
  bool advance(Clock::time_point until);
  bool advance(int maxRecords);
  // Runs to the end, reporting about every `reportEvery`.
  CheckEnd run(std::chrono::milliseconds reportEvery = std::chrono::milliseconds(50));

  CheckEnd end() const { return outcome_.end; }
  const std::string& error() const { return outcome_.error; }
  // "恭喜" with the visitor's end text, "请注意" with "查询停止！", the
  // error's own text under the error title, or for a programming error the
  // internal error under the application's title.
  Notice endNotice() const;

 private:
  bool step(int maxRecords, Clock::time_point until);
  void finish(CheckEnd end, std::string error = {});

  WorkbookSource& sheet_;
  RecordVisitor& visitor_;
  StopRequest stop_;
  CheckListener listener_;
  CheckProgress pending_;
  CheckOutcome outcome_;
  bool started_ = false;
};

// A run that walks one sheet with itself as the visitor: the record checker
// and the comparison are both one of these.
class SheetRun : public RecordVisitor {
 public:
  using Clock = SheetWalk::Clock;

  // Visits at least one record, then more until `until` or `maxRecords`;
  // returns true while records remain.
  bool advance(Clock::time_point until) { return walk_.advance(until); }
  bool advance(int maxRecords) { return walk_.advance(maxRecords); }
  // Runs to the end, reporting about every `reportEvery`.
  CheckEnd run(std::chrono::milliseconds reportEvery = std::chrono::milliseconds(50)) {
    return walk_.run(reportEvery);
  }
  CheckEnd end() const { return walk_.end(); }
  const std::string& error() const { return walk_.error(); }
  Notice endNotice() const { return walk_.endNotice(); }

 protected:
  SheetRun(WorkbookSource& sheet, std::atomic<bool>& stop, CheckListener listener)
      : walk_(sheet, *this, stop, std::move(listener)) {}

 private:
  SheetWalk walk_;
};

}  // namespace qm
