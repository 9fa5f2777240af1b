#include "checks/records/record_check_run.h"

#include <exception>

#include "checks/id/id_number.h"
#include "checks/records/record_check_texts.h"
#include "workbook/workbook_source.h"

namespace qm {

RecordCheckRun::RecordCheckRun(WorkbookSource& sheet, RecordCheckSetup setup, RecordCheckControls& controls,
                               CheckListener listener)
    : sheet_(sheet), setup_(std::move(setup)), controls_(controls), listener_(std::move(listener)) {}

bool RecordCheckRun::advance(Clock::time_point until) { return step(-1, until); }

bool RecordCheckRun::advance(int maxRecords) { return step(maxRecords, Clock::time_point::max()); }

CheckEnd RecordCheckRun::run(std::chrono::milliseconds reportEvery) {
  while (advance(Clock::now() + reportEvery)) {
  }
  return outcome_.end;
}

bool RecordCheckRun::step(int maxRecords, Clock::time_point until) {
  if (outcome_.end != CheckEnd::Running) return false;
  try {
    // Read once per slice: the clock's year only matters to dates after it.
    currentYear_ = localYear();
    if (!started_) {
      started_ = true;
      pending_.count = sheet_.RecordCount();
      sheet_.First();
      if (sheet_.eof()) finish(CheckEnd::Finished);
    }
    for (int done = 0; outcome_.end == CheckEnd::Running;) {
      pending_.record = sheet_.RecNo();
      checkCurrent();
      if (controls_.stop.exchange(false)) {
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
  } catch (const std::exception& e) {
    finish(CheckEnd::Failed, e.what());
  } catch (...) {
    finish(CheckEnd::Failed, "unknown error");
  }
  if (listener_) listener_(pending_);
  pending_.lines.clear();
  return outcome_.end == CheckEnd::Running;
}

void RecordCheckRun::checkCurrent() {
  // Columns are looked up when first read, as the walk reads them: a missing
  // column fails at the first record, and only if its check is on.
  if (!idField_) idField_ = sheet_.FieldByName(setup_.idColumn);
  id_.assign(sheet_.text(*idField_));
  const RecordChecks& checks = setup_.checks;
  if (checks.gender) {
    if (!genderField_) genderField_ = sheet_.FieldByName(setup_.genderColumn);
    gender_.assign(sheet_.text(*genderField_));
  }
  if (checks.birth) {
    if (!birthField_) birthField_ = sheet_.FieldByName(setup_.birthColumn);
    birth_.assign(sheet_.text(*birthField_));
  }
  message_.clear();
  appendRecordMessages(message_, id_, gender_, birth_, checks, controls_.coding.load(), controls_.format.load(),
                       currentYear_);
  if (!message_.empty()) {
    errorsFound_ = true;
    pending_.lines.push_back(std::to_string(pending_.record) + record_texts::kLineSeparator + message_);
  } else if (controls_.logComplete.load()) {
    pending_.lines.push_back(std::to_string(pending_.record) + record_texts::kAllCorrect);
  }
}

void RecordCheckRun::finish(CheckEnd end, std::string error) {
  outcome_.end = end;
  outcome_.error = std::move(error);
  controls_.stop = false;
  try {
    sheet_.First();
  } catch (const std::exception&) {
    // The run's own outcome is what the user needs to see.
  }
}

CheckNotice RecordCheckRun::endNotice() const {
  switch (outcome_.end) {
    case CheckEnd::Stopped:
      return {kStoppedTitle, kStoppedText};
    case CheckEnd::Failed:
      return {kWalkErrorTitle, outcome_.error};
    default:
      return {kFinishedTitle, errorsFound_ ? record_texts::kEndWithErrors : record_texts::kEndNoErrors};
  }
}

}  // namespace qm
