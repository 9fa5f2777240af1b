#pragma once
// A run of the record checker over the open sheet of a workbook: one log line
// per faulty record (and per correct one with "记录完全"), a stop request
// looked at after each record's line, and an error during the walk ending
// the run as a failure with the error's own text.
//
// The run is driven in slices by the shared sheet walk: advance() checks
// records until a time or record budget is spent and then reports the new
// lines once, so a window can let its event loop run between slices (or
// drive the run from a worker thread) and append a block of lines at a time.
#include <atomic>
#include <chrono>
#include <optional>
#include <string>

#include "checks/records/record_rules.h"
#include "checks/walk/sheet_walk.h"

namespace qm {

class WorkbookSource;

// Column names as the boxes show them, and the checks read once at the start.
struct RecordCheckSetup {
  std::string idColumn;      // ComboBox3
  std::string birthColumn;   // ComboBox4
  std::string genderColumn;  // ComboBox9
  RecordChecks checks;       // CheckBox2, CheckBox4, CheckBox1
};

// What the window may change while a run goes on. The coding, the format and
// "记录完全" are read anew for every record; the stop request after every
// record's line. Atomics, so a run on another thread sees them.
struct RecordCheckControls {
  std::atomic<bool> stop{false};
  std::atomic<GenderCoding> coding{GenderCoding::Text};
  std::atomic<BirthDateFormat> format{BirthDateFormat::Compact};
  std::atomic<bool> logComplete{false};
};

class RecordCheckRun : public SheetRun {
 public:
  // The sheet must be open; the walk starts at its first record. The
  // listener gets the new lines after every slice and once at the end.
  // The listener runs on the thread that calls advance(); while a run is
  // under way nothing else may read or move the workbook sources.
  RecordCheckRun(WorkbookSource& sheet, RecordCheckSetup setup, RecordCheckControls& controls,
                 CheckListener listener = {});

  bool errorsFound() const { return errorsFound_; }

 private:
  StopTest stopTest() const override { return StopTest::AfterLine; }
  void beginSlice() override;
  Visit visit(int record, std::vector<std::string>& lines, StopRequest& stop) override;
  void rewind() override;
  std::string finishedText() const override;

  WorkbookSource& sheet_;
  RecordCheckSetup setup_;
  RecordCheckControls& controls_;
  bool errorsFound_ = false;
  int currentYear_ = 0;
  std::optional<int> idField_, birthField_, genderField_;
  std::string id_, birth_, gender_, message_;  // reused for every record
};

}  // namespace qm
