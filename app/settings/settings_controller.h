#pragma once
// "设置" (FlatButton20, F9) in the tool column: opens the settings dialog
// TForm8 modally, a new dialog each time, so the file is read afresh.
#include <QObject>
#include <functional>

class QPushButton;

namespace qm {

class TForm8;
class WindowHost;

class SettingsController : public QObject {
  Q_OBJECT
 public:
  explicit SettingsController(WindowHost& host);  // owned by the window

  void FlatButton20Click();
  QPushButton* button() const { return FlatButton20; }

  // Runs the dialog; default exec(). Tests drive the dialog instead.
  std::function<void(TForm8&)> runDialog;

 private:
  WindowHost& host_;
  QPushButton* FlatButton20 = nullptr;
};

}  // namespace qm
