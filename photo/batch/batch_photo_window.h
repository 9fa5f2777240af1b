#pragma once
// TForm9 "学籍照片批量压缩与更名": a list of photo and ID numbers, a source
// and a target folder, and the run's log. The run works on the window's
// pool (the photos themselves on worker threads); its lines reach the log in
// record order, a block at a time, so a long run does not redraw per line.
// The run's last lines are written on the window's thread.
#include <QDialog>
#include <QFuture>
#include <QThreadPool>
#include <QCoro/QCoroTask>
#include <atomic>
#include <memory>

#include "photo/batch/batch_run.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace qm {

class Prompts;
class RunLogPanel;
class WorkbookSource;
namespace photo {
class BatchLogQueue;
}

class TForm9 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm9(Prompts& prompts, QWidget* parent = nullptr);
  ~TForm9() override;

  void Button4Click();
  void Button5Click();
  void Button6Click();
  void CheckBox1Click();
  QCoro::Task<> Button1Click();
  void Button2Click();
  void Button3Click();

  bool running() const { return running_; }
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
  void buildControls();
  void applyStartRule();
  void chooseFolder(QLineEdit* edit, QLabel* tick, const QString& caption);
  void takeLog(photo::BatchLogQueue& queue);
  void endWorker();

  Prompts& prompts_;
  std::unique_ptr<WorkbookSource> list_;
  RunLogPanel* log_ = nullptr;
  std::atomic<bool> stop_{false};
  // One run at a time, off the window's thread; a run given up when the
  // window closes is waited for here.
  QThreadPool runner_;
  std::shared_ptr<photo::BatchLogQueue> queue_;  // the run in progress
  bool running_ = false;
};

}  // namespace qm
