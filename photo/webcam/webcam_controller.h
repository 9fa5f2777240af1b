#pragma once
// "拍照" (FlatButton17, F3) in the tool column: a new TForm5 each time, modal,
// on the system's first camera.
#include <QObject>
#include "common/ui/tool_window.h"

class QPushButton;

namespace qm {

class TForm5;
class WindowHost;

class WebcamController : public QObject {
  Q_OBJECT
 public:
  explicit WebcamController(WindowHost& host);  // owned by the window

  void FlatButton17Click();
  QPushButton* button() const { return FlatButton17; }
  TForm5* form() const;

 private:
  WindowHost& host_;
  QPushButton* FlatButton17 = nullptr;
  ModalToolWindow<TForm5> window_;
};

}  // namespace qm
