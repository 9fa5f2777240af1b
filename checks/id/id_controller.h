#pragma once
// "身份证" (FlatButton9, F1) in the tool column shows the TForm2 made at
// install, modeless, beside the main window.
#include <QObject>
#include <QPointer>

class QPushButton;

namespace qm {

class TForm2;
class WindowHost;

class IdCheckController : public QObject {
  Q_OBJECT
 public:
  explicit IdCheckController(WindowHost& host);  // owned by the window
  ~IdCheckController() override;

  void FlatButton9Click();

  QPushButton* button() const { return FlatButton9; }
  TForm2* form() const;

 private:
  WindowHost& host_;
  QPushButton* FlatButton9 = nullptr;
  QPointer<TForm2> form_;
};

}  // namespace qm
