#pragma once
// What the check and compare commands share around their walk: every new log
// line printed as it comes (and kept when the log is to be saved), then the
// end message, the saved log and the exit status.
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "checks/walk/check_run.h"

namespace qm::cli {

class WalkOutput {
 public:
  // `savePath` (the --save value) may be null: nothing is kept then.
  WalkOutput(std::string_view command, std::ostream& out, std::ostream& err, const std::string* savePath);

  // The walk's listener.
  CheckListener listener();
  // After the walk: the end message on standard error, the log saved, and
  // the status: 0, 1 when the run found something, 2 when it did not finish
  // or the log could not be saved.
  int finish(CheckEnd end, const Notice& notice, bool findings);

 private:
  std::string command_;
  std::ostream& out_;
  std::ostream& err_;
  const std::string* savePath_;
  std::vector<std::string> log_;
};

}  // namespace qm::cli
