#pragma once
// TForm11, "功能扩展": explains the companion tools, downloads the one named by
// CompanionToolName into the program's folder on "扩展(&U)", starts it and
// closes. Opened modally by a tool button, a new dialog each time.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "app/companions/companion_fetch.h"
#include "app/update/transfer_widgets.h"

class QLabel;
class QPushButton;

namespace qm {

struct AppState;
class NetDownloader;
class Prompts;

class TForm11 : public QDialog, public CompanionView, public TransferDialogView {
  Q_OBJECT
 public:
  // folder: the program's folder with its trailing separator.
  TForm11(AppState& state, Prompts& prompts, std::string folder, QWidget* parent = nullptr);
  ~TForm11() override;

  void FormCreate();
  void Button1Click();  // "扩展(&U)"
  void Button3Click();  // "退出(&Q)"
  void Label6Click();

  // Starts a program detached; default QProcess::startDetached.
  std::function<void(const std::string&)> programStarter;
  // Opens an address in a new browser tab; default: the desktop's browser.
  std::function<void(const QString&)> openLink;

  bool downloading() const { return fetch_ && fetch_->running(); }

  // CompanionView (the transfer's part is TransferDialogView's)
  void startProgram(const std::string& path) override;
  void closeDialog() override;

 public slots:
  // Esc, the title bar's close and "退出(&Q)": a running download is cancelled
  // (nothing of it stays in the folder), then the dialog closes.
  void reject() override;

 private:
  void buildControls();

  AppState& state_;
  std::string folder_;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label5 = nullptr;
  std::unique_ptr<NetDownloader> IdHTTP1;
  std::unique_ptr<CompanionFetch> fetch_;
};

}  // namespace qm
