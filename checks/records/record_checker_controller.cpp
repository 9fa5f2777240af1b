#include "checks/records/record_checker_controller.h"

#include <QKeySequence>
#include <QPushButton>

#include "checks/records/record_checker_window.h"
#include "common/ui/window_host.h"

namespace qm {

RecordCheckerController::RecordCheckerController(WindowHost& host) : QObject(host.window()), host_(host) {
  setObjectName("RecordCheckerController");
  FlatButton19 = host.addButton("FlatButton19", QStringLiteral("检查"), ButtonPlace::ToolColumn,
                                QKeySequence(Qt::Key_F6));
  connect(FlatButton19, &QPushButton::clicked, this, &RecordCheckerController::FlatButton19Click);
}

RecordCheckerController::~RecordCheckerController() = default;

void RecordCheckerController::FlatButton19Click() {
  window_.show([this] { return new TForm7(host_.prompts(), host_.window()); });
}

TForm7* RecordCheckerController::form() const { return window_.form(); }

}  // namespace qm
