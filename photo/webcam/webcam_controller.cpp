#include "photo/webcam/webcam_controller.h"

#include <QKeySequence>
#include <QPushButton>

#include "common/ui/window_host.h"
#include "photo/webcam/qt_capture_device.h"
#include "photo/webcam/webcam_window.h"

namespace qm {

WebcamController::WebcamController(WindowHost& host) : QObject(host.window()), host_(host) {
  setObjectName("WebcamController");
  FlatButton17 = host.addButton("FlatButton17", QStringLiteral("拍照"), ButtonPlace::ToolColumn,
                                QKeySequence(Qt::Key_F3));
  connect(FlatButton17, &QPushButton::clicked, this, &WebcamController::FlatButton17Click);
}

void WebcamController::FlatButton17Click() {
  window_.run([this] { return new TForm5(host_.prompts(), std::make_unique<photo::QtCaptureDevice>(), host_.window()); });
}

TForm5* WebcamController::form() const { return window_.form(); }

}  // namespace qm
