#pragma once
// The log of a tool's run with the controls around it: the memo, the
// show/hide and save buttons, the progress bar and the labels with the
// current record and the record count, and the guarded loop that drives a
// run in slices while the event loop turns in between. Each window names its
// own controls, so windows whose Parts use other names can share it.
#include <QObject>
#include <QString>
#include <QCoro/QCoroTask>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace qm {

class Prompts;

// The controls' objectNames, as each window's Part names them. A null name
// is a control the window does not have: without a toggle the log is always
// shown, without a save button nothing saves it, without the count labels the
// bar alone shows the progress.
struct RunLogNames {
  const char* memo = "Memo1";
  const char* toggle = "Button3";  // 显示结果 / 隐藏结果
  const char* save = "Button5";    // 保存结果
  const char* progress = "ProgressBar1";
  const char* current = "Label9";
  const char* total = "Label10";
  const char* separator = nullptr;  // the "/" between them, where the window names it
};

class RunLogPanel : public QObject {
  Q_OBJECT
 public:
  using Names = RunLogNames;

  // The controls are children of `window`, made in the order toggle, save,
  // memo, progress bar, labels; the window lays them out.
  RunLogPanel(Prompts& prompts, QWidget* window, Names names = Names());

  QPlainTextEdit* memo() const { return memo_; }
  QPushButton* toggleButton() const { return toggle_; }
  QPushButton* saveButton() const { return save_; }
  QProgressBar* progressBar() const { return progress_; }
  QLabel* currentLabel() const { return current_; }
  QLabel* totalLabel() const { return total_; }
  QLabel* separatorLabel() const { return separator_; }
  // The row under a tool's options: its buttons, then "current / count"
  // (with the window's own "/" label where it names one).
  QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) const;

  // The log as saved: every line the memo shows, in order.
  const std::vector<std::string>& lines() const { return lines_; }
  // Replaces the log (a hint shown before the first run).
  void setLines(std::vector<std::string> lines);
  void clearLog();
  void appendLine(std::string line);
  // Appends the lines in one block; they are moved out.
  void appendLines(std::vector<std::string>& lines);
  bool logShown() const { return shown_; }
  void toggleLog();
  // Asks for a .txt name and saves the log there; a failure is shown.
  void saveLog();

  void resetProgress();
  // The bar at 0 of `count` records (0..1 for none) and the count label.
  void startProgress(int count);
  // A run begins: an empty log and startProgress(count).
  void startRun(int count);
  // The record reached, on the bar and the current label.
  void showRecord(int record);
  // A slice's report: showRecord(record), then the new lines in one block;
  // the lines are moved out.
  void showProgress(int record, std::vector<std::string>& lines);

  // Calls `slice` until it answers false, letting the event loop run after
  // each call. Answers false when the run was given up in between (abandon()
  // or the panel gone): the caller must then touch nothing of its window.
  QCoro::Task<bool> drive(std::function<bool()> slice);
  // Gives up the run being driven; its loop stops at its next turn.
  void abandon() { ++runId_; }

 private:
  Prompts& prompts_;
  QPlainTextEdit* memo_;
  QPushButton* toggle_;
  QPushButton* save_;
  QProgressBar* progress_;
  QLabel* current_;
  QLabel* total_;
  QLabel* separator_ = nullptr;
  std::vector<std::string> lines_;
  bool shown_ = false;
  int runId_ = 0;
};

}  // namespace qm
