#include "photo/batch/batch_photo_controller.h"

#include <QKeySequence>
#include <QPushButton>

#include "common/ui/window_host.h"
#include "photo/batch/batch_photo_window.h"

namespace qm {

BatchPhotoController::BatchPhotoController(WindowHost& host) : QObject(host.window()), host_(host) {
  setObjectName("BatchPhotoController");
  FlatButton21 = host.addButton("FlatButton21", QStringLiteral("照片"), ButtonPlace::ToolColumn,
                                QKeySequence(Qt::Key_F7));
  connect(FlatButton21, &QPushButton::clicked, this, &BatchPhotoController::FlatButton21Click);
}

void BatchPhotoController::FlatButton21Click() {
  window_.run([this] { return new TForm9(host_.prompts(), host_.window()); });
}

TForm9* BatchPhotoController::form() const { return window_.form(); }

}  // namespace qm
