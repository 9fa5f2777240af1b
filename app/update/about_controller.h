#pragma once
// "关于" (FlatButton12) in the tool column opens a new modal TForm3 each time.
// At install the start-up instance of TForm3 is made, hidden, and Timer3 runs
// its silent update check once, 5000 ms later.
#include <QObject>
#include <QPointer>
#include <functional>

class QPushButton;
class QTimer;

namespace qm {

class TForm3;
class WindowHost;

class AboutController : public QObject {
  Q_OBJECT
 public:
  explicit AboutController(WindowHost& host);  // owned by the window

  void FlatButton12Click();
  void Timer3Timer();

  QPushButton* button() const { return FlatButton12; }
  QTimer* timer() const { return Timer3; }
  TForm3* startupForm() const;

  // Runs the modal dialog; default exec(). Tests drive it instead.
  std::function<void(TForm3&)> runDialog;

 private:
  void wire(TForm3& form);

  WindowHost& host_;
  QPushButton* FlatButton12 = nullptr;
  QTimer* Timer3 = nullptr;
  QPointer<TForm3> startupForm_;
};

}  // namespace qm
