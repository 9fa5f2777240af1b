#include "cli/walk_output.h"

#include <ostream>

#include "cli/args.h"
#include "common/log_file.h"

namespace qm::cli {

WalkOutput::WalkOutput(std::string_view command, std::ostream& out, std::ostream& err, const std::string* savePath)
    : command_(command), out_(out), err_(err), savePath_(savePath) {}

CheckListener WalkOutput::listener() {
  return [this](CheckProgress& p) {
    for (std::string& line : p.lines) {
      out_ << line << '\n';
      if (savePath_) log_.push_back(std::move(line));
    }
    out_.flush();
  };
}

int WalkOutput::finish(CheckEnd end, const Notice& notice, bool findings) {
  int status = end == CheckEnd::Finished ? (findings ? kExitFindings : kExitOk) : kExitFailure;
  if (end == CheckEnd::Failed)
    err_ << "quillmere-batch " << command_ << ": " << notice.title << "\n" << notice.text << "\n";
  else
    err_ << notice.text << "\n";
  std::string error;
  if (savePath_ && !saveLogLines(*savePath_, log_, &error)) {
    err_ << "quillmere-batch " << command_ << ": " << error << "\n";
    status = kExitFailure;
  }
  return status;
}

}  // namespace qm::cli
