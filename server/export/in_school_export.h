#pragma once
// "抓包导出" (FlatButton13, F11): the main window's in-school export. Owns the
// window's IdHTTP1 and ExportSelection; pauses the keep-alive while it runs
// and resumes it on every way out.
#include <QObject>
#include <QPointer>
#include <QCoro/QCoroTask>
#include <atomic>
#include <functional>
#include <memory>

#include "server/export/export_selection.h"
#include "server/export/in_school_export_run.h"

class QPushButton;

namespace qm {

class HttpClient;
class TForm4;
class WindowHost;

inline const QString kNotLoggedInMessage = QStringLiteral("您还没有登录学籍网吧？或者您安装的Office是精简版？");
inline const QString kExportFailedMessage = QStringLiteral("网络不通或者EXCEL程序出错,导出失败！");
inline const QString kExportDoneMessage = QStringLiteral("导出成功！");

class InSchoolExport : public QObject {
  Q_OBJECT
 public:
  explicit InSchoolExport(WindowHost& host);
  ~InSchoolExport() override;

  QCoro::Task<> FlatButton13Click();

  ExportSelection& selection() { return selection_; }
  HttpClient& IdHTTP1() { return *IdHTTP1_; }
  bool running() const { return running_; }
  QPushButton* button() const { return FlatButton13; }

  // Shows the dialog modally; tests drive it instead. Default: exec().
  std::function<void(TForm4&)> runDialog;
  // Passed on to the run core (tests lower the row bound or watch the rows).
  InSchoolExportHooks runHooks;

 signals:
  // After every ending of a run (success, cancel, failure).
  void finished();

 private:
  void setRunning(bool on);

  WindowHost& host_;
  QPushButton* FlatButton13 = nullptr;
  // Shared with a running export, which keeps it until its request has ended.
  std::shared_ptr<HttpClient> IdHTTP1_;
  ExportSelection selection_;
  bool running_ = false;
  // Set when this controller goes: a run still going stops at its next row.
  std::shared_ptr<std::atomic<bool>> gone_ = std::make_shared<std::atomic<bool>>(false);
};

// Creates the controller as a child of the window.
InSchoolExport* installInSchoolExport(WindowHost& host);

}  // namespace qm
