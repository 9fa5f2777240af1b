#pragma once
// TForm12 "省内学籍批量查重": a workbook of students, one province-wide query
// per student with a captcha typed in TForm13, and a log of the results. The
// window is modeless, made on first use and kept, so the workbook, the log
// and the filters stay between showings. The run is a coroutine over
// DuplicateRun; its requests go out on the window's IdHTTP4, whose header
// values stay from one run to the next.
#include <QCoro/QCoroTask>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/ui/run_log_window.h"
#include "server/duplicate/duplicate_controls.h"
#include "server/duplicate/duplicate_log.h"

class QCheckBox;
class QComboBox;
class QGroupBox;

namespace qm {

class DuplicateRun;
class StopSilence;
class HttpClient;
class Prompts;
class TForm13;
class WindowHost;
class WorkbookPanel;

class TForm12 : public RunLogWindow {
  Q_OBJECT
 public:
  TForm12(WindowHost& host, QWidget* parent = nullptr);
  ~TForm12() override;

  QCoro::Task<> BitBtn2Click();  // 打开
  void BitBtn4Click();           // 关闭
  QCoro::Task<> Button1Click();  // 开始查重
  void Button2Click();           // 停止
  void Button5Click();           // 保存结果
  void Button4Click();           // 退出

  WorkbookPanel& panel() { return *panel_; }
  HttpClient& IdHTTP4() { return *IdHTTP4_; }
  // How long a server may stay silent after 停止 before its request is given
  // up (60 s; tests shorten it).
  void setStopSilenceLimit(std::chrono::milliseconds limit);

  // Shows a captcha dialog; the run then waits for it to close. Tests drive
  // the dialog instead. Default: show() (the dialog is application-modal).
  std::function<void(TForm13&)> showCaptcha;

  QPushButton *BitBtn2, *BitBtn4;
  QComboBox* ComboBox2;
  QLabel* Label26;
  QLabel* Label13;  // between Label9 and Label10
  QPushButton *Button1, *Button2, *Button5, *Button4;
  QGroupBox* GroupBox4;
  QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4;

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery

 private:
  void buildControls();
  void layOut();
  void sheetOpened();
  void apply(DuplicateSituation situation);
  void setCounter(int current, int total);
  DuplicateFilters readFilters() const;
  void endRun();

  WindowHost& host_;
  Prompts& prompts_;
  WorkbookPanel* panel_ = nullptr;
  // Shared with a running request, which may end after the window.
  std::shared_ptr<HttpClient> IdHTTP4_;
  // 停止 and the server's silence since; read by the client's stop check on its worker thread.
  std::shared_ptr<StopSilence> stop_;
  QString fileName_;           // Label26 keeps it after 关闭
  DuplicateRun* run_ = nullptr;  // the run in progress, for 停止
  TForm13* captcha_ = nullptr;   // the dialog open now
  bool closeAfterRun_ = false;  // the window was closed during the run
  bool keepLogOnClose_ = false;  // closing the window without a run keeps the log
};

}  // namespace qm
