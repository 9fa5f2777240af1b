#pragma once
// The real main window with the program's features on an in-process regsim,
// logged in through the page, and the "抓包导出" controller it carries.
#include <QAction>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTimer>
#include <optional>

#include "server/export/export_dialog.h"
#include "server/export/in_school_export.h"
#include "tests/support/main_window_fixture.h"

namespace qm::e2e {

using test::kLongWait;
using test::waitUntil;

// Also notes whether Timer1 ran when the save dialog came up.
class WatchingPrompts : public ScriptedPrompts {
 public:
  QTimer* timer1 = nullptr;
  std::optional<bool> timerActiveAtSaveDialog;
  QString saveFileName(const QString& filter, const QString& startDir) override {
    if (timer1) timerActiveAtSaveDialog = timer1->isActive();
    return ScriptedPrompts::saveFileName(filter, startDir);
  }
};

class ExportWindowTest : public test::BasicProgramWindowFixture<WatchingPrompts> {
 public:
  void install(TForm1& form) override {
    BasicProgramWindowFixture::install(form);
    prompts_.timer1 = form.findChild<QTimer*>(QStringLiteral("Timer1"));
  }

  InSchoolExport& exporter() { return *form_->findChild<InSchoolExport*>(); }
  QTimer* timer1() { return form_->findChild<QTimer*>(QStringLiteral("Timer1")); }
  QAction* f11() { return form_->findChild<QAction*>(QStringLiteral("Action12")); }

  // Presses the button and waits for the run's end, whichever way it ends.
  bool runExport() {
    QSignalSpy ended(&exporter(), &InSchoolExport::finished);
    button("FlatButton13")->click();
    return ended.count() > 0 || ended.wait(kLongWait);
  }
};

}  // namespace qm::e2e
