#include "server/duplicate/duplicate_controller.h"

#include <QPushButton>

#include "common/ui/window_host.h"
#include "server/duplicate/duplicate_window.h"

namespace qm {

DuplicateController::DuplicateController(WindowHost& host) : QObject(host.window()), host_(host) {
  setObjectName(QStringLiteral("DuplicateController"));
  FlatButton26 = host.addButton(QStringLiteral("FlatButton26"), QStringLiteral("查重"), ButtonPlace::ToolColumn);
  connect(FlatButton26, &QPushButton::clicked, this, &DuplicateController::FlatButton26Click);
}

void DuplicateController::FlatButton26Click() {
  if (!form_) form_ = new TForm12(host_, host_.window());
  form_->show();
  form_->raise();
  form_->activateWindow();
}

TForm12* DuplicateController::form() const { return form_; }

}  // namespace qm
