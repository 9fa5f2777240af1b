#include "checks/walk/sheet_walk.h"

#include <exception>

#include "common/log_categories.h"
#include "workbook/workbook_source.h"

namespace qm {

SheetWalk::SheetWalk(WorkbookSource& sheet, RecordVisitor& visitor, std::atomic<bool>& stop, CheckListener listener)
    : sheet_(sheet), visitor_(visitor), stop_(stop), listener_(std::move(listener)) {}

bool SheetWalk::advance(Clock::time_point until) { return step(-1, until); }

bool SheetWalk::advance(int maxRecords) { return step(maxRecords, Clock::time_point::max()); }

CheckEnd SheetWalk::run(std::chrono::milliseconds reportEvery) {
  while (advance(Clock::now() + reportEvery)) {
  }
  return outcome_.end;
}

bool SheetWalk::step(int maxRecords, Clock::time_point until) {
  if (outcome_.end != CheckEnd::Running) return false;
  try {
    visitor_.beginSlice();
    if (!started_) {
      started_ = true;
      pending_.count = sheet_.RecordCount();
      sheet_.First();
      if (sheet_.eof()) finish(CheckEnd::Finished);
    }
    const bool stopAfterLine = visitor_.stopTest() == RecordVisitor::StopTest::AfterLine;
    for (int done = 0; outcome_.end == CheckEnd::Running;) {
      pending_.record = sheet_.RecNo();
      const auto visit = visitor_.visit(pending_.record, pending_.lines, stop_);
      if (visit == RecordVisitor::Visit::Stopped || (stopAfterLine && stop_.take())) {
        finish(CheckEnd::Stopped);
        break;
      }
      sheet_.Next();
      if (sheet_.eof()) {
        finish(CheckEnd::Finished);
        break;
      }
      if (++done == maxRecords || Clock::now() >= until) break;
    }
  } catch (...) {
    // The box shows the error's own text, or for a fault of ours the internal
    // error; the log keeps where it came from.
    std::string what = logCaughtException(lcChecks(), "sheet walk");
    outcome_.internal = caughtProgrammingError();
    finish(CheckEnd::Failed, std::move(what));
  }
  if (listener_) listener_(pending_);
  pending_.lines.clear();
  return outcome_.end == CheckEnd::Running;
}

void SheetWalk::finish(CheckEnd end, std::string error) {
  outcome_.end = end;
  outcome_.error = std::move(error);
  stop_.clear();
  try {
    visitor_.rewind();
  } catch (...) {
    // The run's own outcome is what the user needs to see.
    logCaughtException(lcChecks(), "sheet walk, rewind");
  }
}

Notice SheetWalk::endNotice() const {
  switch (outcome_.end) {
    case CheckEnd::Stopped:
      return {kStoppedText, kStoppedTitle};
    case CheckEnd::Failed:
      if (outcome_.internal) return {internalErrorText(outcome_.error), kInternalErrorTitle, NoticeIcon::Error};
      return {outcome_.error, kWalkErrorTitle};
    default:
      return {visitor_.finishedText(), kFinishedTitle};
  }
}

}  // namespace qm
