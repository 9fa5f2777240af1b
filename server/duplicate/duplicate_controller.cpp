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
  window_.show([this] { return new TForm12(host_, host_.window()); });
}

TForm12* DuplicateController::form() const { return window_.form(); }

}  // namespace qm
