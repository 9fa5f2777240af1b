#include "common/ui/run_log_window.h"

#include "common/ui/run_log_panel.h"

namespace qm {

const std::vector<std::string>& RunLogWindow::logLines() const { return log_->lines(); }

void RunLogWindow::makeLog(Prompts& prompts, const RunLogNames& names) {
  log_ = new RunLogPanel(prompts, this, names);
  Memo1 = log_->memo();
  ProgressBar1 = log_->progressBar();
  Label9 = log_->currentLabel();
  Label10 = log_->totalLabel();
}

}  // namespace qm
