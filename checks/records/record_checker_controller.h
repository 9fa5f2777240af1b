#pragma once
// "检查" (FlatButton19, F6) in the tool column shows TForm7, modeless; the
// window is made on first use and then shown again with its state kept.
#include <QObject>
#include "common/ui/tool_window.h"

class QPushButton;

namespace qm {

class TForm7;
class WindowHost;

class RecordCheckerController : public QObject {
  Q_OBJECT
 public:
  explicit RecordCheckerController(WindowHost& host);  // owned by the window
  ~RecordCheckerController() override;

  void FlatButton19Click();

  QPushButton* button() const { return FlatButton19; }
  TForm7* form() const;

 private:
  WindowHost& host_;
  QPushButton* FlatButton19 = nullptr;
  ReusedToolWindow<TForm7> window_;
};

}  // namespace qm
