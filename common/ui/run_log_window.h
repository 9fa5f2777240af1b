#pragma once
// A modeless tool window whose runs write a log: its own top-level window,
// the RunLogPanel it makes, whether a run is going, and the signal that one
// has ended.
#include <QWidget>
#include <string>
#include <tuple>
#include <vector>

#include "common/ui/run_log_panel.h"

namespace qm {

class RunLogWindow : public QWidget {
  Q_OBJECT
 public:
  explicit RunLogWindow(QWidget* parent) : QWidget(parent, Qt::Window) {}

  bool running() const { return running_; }
  // The log's lines as saved.
  const std::vector<std::string>& logLines() const;

  // The panel's controls every such window has.
  QPlainTextEdit* Memo1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QLabel *Label9 = nullptr, *Label10 = nullptr;

 signals:
  // A run has ended, whichever way: finished, stopped, failed, or given up
  // by closing the window (after its end message, where it shows one).
  void runEnded();

 protected:
  // Makes the log panel under the window's own names and takes its controls;
  // the window takes its buttons from log_.
  void makeLog(Prompts& prompts, const RunLogNames& names);
  // The checks' row: start and stop (off until the sheets are ready), the
  // log under its usual names with its show/hide and save, and 退出, made
  // and focused in that order. Answers start, stop, show/hide, save, 退出.
  std::tuple<QPushButton*, QPushButton*, QPushButton*, QPushButton*, QPushButton*> makeCheckRow(
      Prompts& prompts, const QString& start, const QString& stop);

  RunLogPanel* log_ = nullptr;  // made by the window with its own names
  bool running_ = false;
};

}  // namespace qm
