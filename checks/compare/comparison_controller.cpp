#include "checks/compare/comparison_controller.h"

#include <QKeySequence>
#include <QPushButton>

#include "checks/compare/comparison_window.h"
#include "common/ui/window_host.h"

namespace qm {

ComparisonController::ComparisonController(WindowHost& host) : QObject(host.window()), host_(host) {
  setObjectName("ComparisonController");
  FlatButton18 = host.addButton("FlatButton18", QStringLiteral("比对"), ButtonPlace::ToolColumn,
                                QKeySequence(Qt::Key_F4));
  connect(FlatButton18, &QPushButton::clicked, this, &ComparisonController::FlatButton18Click);
}

ComparisonController::~ComparisonController() = default;

void ComparisonController::FlatButton18Click() {
  window_.show([this] { return new TForm6(host_.prompts(), host_.window()); });
}

TForm6* ComparisonController::form() const { return window_.form(); }

}  // namespace qm
