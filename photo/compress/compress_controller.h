#pragma once
// "压图" (FlatButton22, F8) in the tool column: a new TForm10 each time, modal.
#include <QObject>
#include "common/ui/tool_window.h"

class QPushButton;

namespace qm {

class TForm10;
class WindowHost;

class CompressController : public QObject {
  Q_OBJECT
 public:
  explicit CompressController(WindowHost& host);  // owned by the window

  void FlatButton22Click();
  QPushButton* button() const { return FlatButton22; }
  // The window while it is shown.
  TForm10* form() const;

 private:
  WindowHost& host_;
  QPushButton* FlatButton22 = nullptr;
  ModalToolWindow<TForm10> window_;
};

}  // namespace qm
