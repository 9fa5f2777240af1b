#pragma once
// "照片" (FlatButton21, F7) in the tool column: a new TForm9 each time, modal.
#include <QObject>
#include "common/ui/tool_window.h"

class QPushButton;

namespace qm {

class TForm9;
class WindowHost;

class BatchPhotoController : public QObject {
  Q_OBJECT
 public:
  explicit BatchPhotoController(WindowHost& host);  // owned by the window

  void FlatButton21Click();
  QPushButton* button() const { return FlatButton21; }
  // The window while it is shown.
  TForm9* form() const;

 private:
  WindowHost& host_;
  QPushButton* FlatButton21 = nullptr;
  ModalToolWindow<TForm9> window_;
};

}  // namespace qm
