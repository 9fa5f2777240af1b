#pragma once
// "比对" (FlatButton18, F4) in the tool column shows TForm6, modeless; the
// window is made on first use and then shown again with its state kept.
#include <QObject>
#include "common/ui/tool_window.h"

class QPushButton;

namespace qm {

class TForm6;
class WindowHost;

class ComparisonController : public QObject {
  Q_OBJECT
 public:
  explicit ComparisonController(WindowHost& host);  // owned by the window
  ~ComparisonController() override;

  void FlatButton18Click();

  QPushButton* button() const { return FlatButton18; }
  TForm6* form() const;

 private:
  WindowHost& host_;
  QPushButton* FlatButton18 = nullptr;
  ReusedToolWindow<TForm6> window_;
};

}  // namespace qm
