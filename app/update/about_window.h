#pragma once
// TForm3, "关于": the program's description, version and copyright, a link to
// the publisher's site, and "升级(&U)", the update check with its download
// progress. The start-up instance stays hidden and runs the silent check.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "app/update/transfer_widgets.h"
#include "app/update/update_check.h"

class QLabel;
class QPushButton;

namespace qm {

struct AppState;
class NetDownloader;
class Prompts;

class TForm3 : public QDialog, public UpdateView, public TransferDialogView {
  Q_OBJECT
 public:
  // state: the settings path (the update server's address may be set there)
  // and autoUpdateCheck, which the start-up timer sets before Button1Click.
  TForm3(AppState& state, Prompts& prompts, QWidget* parent = nullptr);
  ~TForm3() override;

  void FormCreate();
  void Button1Click();  // the update check
  void Button3Click();  // "退出(&Q)"
  void Label6Click();   // the publisher's site in the browser, then close

  // The running program, whose folder receives the descriptor, the download
  // and the script. Default: this process's executable.
  std::string programPath;
  // How the script starts (detached, never waited for); default QProcess::startDetached.
  std::function<bool(const ScriptCommand&)> scriptStarter;
  // The main window's close request; default: nothing to close.
  std::function<void()> closeMainWindow;
  // Opens an address in a new browser tab; default: the desktop's browser.
  std::function<void(const QString&)> openLink;

  bool checkRunning() const;

  // UpdateView (the transfer's part is TransferDialogView's)
  bool ask(const Notice& question) override;
  void reveal() override;
  bool startScript(const ScriptCommand& command) override;
  void requestMainWindowClose() override;

 public slots:
  // Esc, the title bar's close and "退出(&Q)": a running check is cancelled
  // (its download stops and its temporary file goes), then the dialog closes.
  void reject() override;

 private:
  void buildControls();

  AppState& state_;
  QLabel* Image1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  // Declared before the check, which uses it until it goes.
  std::unique_ptr<NetDownloader> IdHTTP1;
  std::unique_ptr<UpdateCheck> check_;
};

}  // namespace qm
