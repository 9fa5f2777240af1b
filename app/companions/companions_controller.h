#pragma once
// The tool column's companion buttons: "合并" (FlatButton24), "录入"
// (FlatButton25) and "体测" (FlatButton27) start their program when it lies in
// the program's folder and otherwise open TForm11 to fetch it; "计算器"
// (FlatButton14, F2) starts the desktop's calculator.
#include <QObject>
#include <functional>
#include <string>

class QPushButton;

namespace qm {

struct CompanionTool;
class TForm11;
class WindowHost;

class CompanionsController : public QObject {
  Q_OBJECT
 public:
  explicit CompanionsController(WindowHost& host);  // owned by the window

  void FlatButton24Click();
  void FlatButton25Click();
  void FlatButton27Click();
  void FlatButton14Click();

  // The program's folder with its trailing separator; default: the executable's.
  std::string folder;
  // Starts a program detached, never through a shell; default QProcess::startDetached.
  std::function<void(const std::string&)> programStarter;
  // Runs the modal dialog; default exec(). Tests drive it instead.
  std::function<void(TForm11&)> runDialog;

 private:
  void toolClick(const CompanionTool& tool);

  WindowHost& host_;
};

}  // namespace qm
