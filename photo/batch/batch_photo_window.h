#pragma once
// TForm9 "学籍照片批量压缩与更名": a list of photo and ID numbers, a source
// and a target folder, and the run's log. The run works on a helper thread
// (the photos themselves on worker threads); its lines reach the log in
// record order, a batch at a time, so a long run does not redraw per line.
// The run's last lines are written on the window's thread.
#include <QDialog>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "photo/batch/batch_run.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace qm {

class Prompts;
class WorkbookSource;

class TForm9 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm9(Prompts& prompts, QWidget* parent = nullptr);
  ~TForm9() override;

  void Button4Click();
  void Button5Click();
  void Button6Click();
  void CheckBox1Click();
  void Button1Click();
  void Button2Click();
  void Button3Click();

  bool running() const { return worker_.joinable(); }
  // Worker threads making photos; the number of cores unless a test sets it.
  unsigned threads = 0;

  QPushButton* Button4;
  QLabel* Label5;
  QLineEdit* Edit1;
  QPushButton* Button5;
  QLabel* Label4;
  QLineEdit* Edit2;
  QPushButton* Button6;
  QLabel* Label3;
  QCheckBox* CheckBox1;
  QPushButton *Button1, *Button2, *Button3;
  QPlainTextEdit* Memo1;
  QProgressBar* ProgressBar1;

 signals:
  void runEnded();

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
  void reject() override;

 private:
  class Listener;
  class MemoListener;
  void buildControls();
  void applyStartRule();
  void chooseFolder(QLineEdit* edit, QLabel* tick, const QString& caption);
  void flushLog();
  void postFlush();  // from any thread
  void finishRun();
  void endWorker();

  Prompts& prompts_;
  std::unique_ptr<WorkbookSource> list_;
  std::atomic<bool> stop_{false};
  std::thread worker_;
  std::atomic<bool> flushPosted_{false};
  std::unique_ptr<Listener> listener_;

  // Filled by the run's thread, emptied into the log by the window.
  std::mutex pendingMutex_;
  std::vector<std::string> pendingLines_;
  int pendingRecord_ = 0;
  bool pendingEnd_ = false;
  photo::BatchSummary pendingSummary_;
};

}  // namespace qm
