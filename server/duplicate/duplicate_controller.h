#pragma once
// "查重" (FlatButton26) in the tool column shows TForm12, modeless; the window
// is made on first use and then shown again with its state kept.
#include <QObject>
#include "common/ui/tool_window.h"

class QPushButton;

namespace qm {

class TForm12;
class WindowHost;

class DuplicateController : public QObject {
  Q_OBJECT
 public:
  explicit DuplicateController(WindowHost& host);  // owned by the window

  void FlatButton26Click();

  QPushButton* button() const { return FlatButton26; }
  TForm12* form() const;

 private:
  WindowHost& host_;
  QPushButton* FlatButton26 = nullptr;
  ReusedToolWindow<TForm12> window_;
};

}  // namespace qm
