#include "common/ui/run_log_window.h"

#include "common/ui/controls.h"
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

std::tuple<QPushButton*, QPushButton*, QPushButton*, QPushButton*, QPushButton*> RunLogWindow::makeCheckRow(
    Prompts& prompts, const QString& start, const QString& stop) {
  QPushButton* startButton = namedButton(this, "Button1", start, false);
  QPushButton* stopButton = namedButton(this, "Button2", stop, false);
  makeLog(prompts, RunLogNames());
  QPushButton* exit = namedButton(this, "Button4", QStringLiteral("退出"));
  setTabOrder(log_->saveButton(), exit);  // the buttons keep their order before the log
  return {startButton, stopButton, log_->toggleButton(), log_->saveButton(), exit};
}

}  // namespace qm
