#include "photo/compress/compress_controller.h"

#include <QKeySequence>
#include <QPushButton>

#include "common/ui/window_host.h"
#include "photo/compress/compress_window.h"

namespace qm {

CompressController::CompressController(WindowHost& host) : QObject(host.window()), host_(host) {
  setObjectName("CompressController");
  FlatButton22 = host.addButton("FlatButton22", QStringLiteral("压图"), ButtonPlace::ToolColumn,
                                QKeySequence(Qt::Key_F8));
  connect(FlatButton22, &QPushButton::clicked, this, &CompressController::FlatButton22Click);
}

void CompressController::FlatButton22Click() {
  window_.run([this] { return new TForm10(host_.prompts(), host_.window()); });
}

TForm10* CompressController::form() const { return window_.form(); }

}  // namespace qm
