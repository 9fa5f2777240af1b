#include "checks/records/record_check_run.h"

#include "checks/id/id_number.h"
#include "checks/records/record_check_texts.h"
#include "workbook/workbook_source.h"

namespace qm {

RecordCheckRun::RecordCheckRun(WorkbookSource& sheet, RecordCheckSetup setup, RecordCheckControls& controls,
                               CheckListener listener)
    : SheetRun(sheet, controls.stop, std::move(listener)), sheet_(sheet), setup_(std::move(setup)), controls_(controls) {}

// Read once per slice: the clock's year only matters to dates after it.
void RecordCheckRun::beginSlice() { currentYear_ = localYear(); }

RecordVisitor::Visit RecordCheckRun::visit(int record, std::vector<std::string>& lines, StopRequest&) {
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
    lines.push_back(std::to_string(record) + record_texts::kLineSeparator + message_);
  } else if (controls_.logComplete.load()) {
    lines.push_back(std::to_string(record) + record_texts::kAllCorrect);
  }
  return Visit::Next;
}

void RecordCheckRun::rewind() { sheet_.First(); }

std::string RecordCheckRun::finishedText() const {
  return errorsFound_ ? record_texts::kEndWithErrors : record_texts::kEndNoErrors;
}

}  // namespace qm
