#include "checks/id/id_controller.h"

#include <QKeySequence>
#include <QPushButton>

#include "checks/id/id_window.h"
#include "common/ui/window_host.h"

namespace qm {

IdCheckController::IdCheckController(WindowHost& host) : QObject(host.window()), host_(host) {
  setObjectName("IdCheckController");
  FlatButton9 = host.addButton("FlatButton9", QStringLiteral("身份证"), ButtonPlace::ToolColumn,
                               QKeySequence(Qt::Key_F1));
  connect(FlatButton9, &QPushButton::clicked, this, &IdCheckController::FlatButton9Click);
  form_ = new TForm2(host.prompts(), host.window());
}

IdCheckController::~IdCheckController() = default;

void IdCheckController::FlatButton9Click() {
  if (form_) form_->showBeside(*host_.window());
}

TForm2* IdCheckController::form() const { return form_; }

}  // namespace qm
