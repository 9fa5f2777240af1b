#pragma once
// A run of the comparison: for every record of the workbook to check, the
// base records with the same trimmed key, their numbered findings for the
// pairs in use, and one log line as the logging options say. The base keys
// are indexed once, so a run costs about one read of each sheet.
//
// Driven in slices by the shared sheet walk, like the record checker: advance() checks probe records
// until a budget is spent and reports the new lines once. A stop request is
// looked at once per record to check, before its line is written; it ends
// the run and that record gets no line.
#include <atomic>
#include <chrono>
#include <optional>
#include <string>

#include "checks/compare/base_key_index.h"
#include "checks/compare/compare_setup.h"
#include "checks/walk/sheet_walk.h"

namespace qm {

class WorkbookSource;

class CompareRun : public SheetRun {
 public:
  // Both sheets must be open. The listener gets the new lines after every
  // slice and once at the end.
  // The listener runs on the thread that calls advance(); while a run is
  // under way nothing else may read or move the workbook sources.
  CompareRun(WorkbookSource& base, WorkbookSource& probe, CompareSetup setup, std::atomic<bool>& stop,
             CheckListener listener = {});

  // A record was not found, or a pair in use differed, whatever the logging
  // options let through to the log.
  bool findingsFound() const { return findingsFound_; }

 private:
  struct PairColumns {
    int probe = -1;
    int base = -1;
    bool resolved = false;
  };
  StopTest stopTest() const override { return StopTest::OwnPoint; }
  Visit visit(int record, std::vector<std::string>& lines, StopRequest& stop) override;
  void rewind() override;
  std::string finishedText() const override;
  void appendFindings(int n, int baseRecord, bool& prefixWritten);

  WorkbookSource& base_;
  WorkbookSource& probe_;
  CompareSetup setup_;
  std::optional<int> probeKeyField_;
  bool indexed_ = false;
  bool findingsFound_ = false;
  BaseKeyIndex index_;
  std::array<PairColumns, 3> columns_;
  std::array<bool, 3> inUse_{};
  std::array<std::string, 3> names_;  // the probe column names written in the findings
  std::string key_, detail_, a_;      // reused for every record
};

}  // namespace qm
