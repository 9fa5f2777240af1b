#include "app/update/about_controller.h"

#include <QPushButton>
#include <QTimer>

#include "app/update/about_window.h"
#include "common/app_state.h"
#include "common/ui/window_host.h"

namespace qm {

AboutController::AboutController(WindowHost& host) : QObject(host.window()), host_(host) {
  setObjectName("AboutController");
  FlatButton12 = host.addButton("FlatButton12", QStringLiteral("关于"), ButtonPlace::ToolColumn);
  connect(FlatButton12, &QPushButton::clicked, this, &AboutController::FlatButton12Click);

  startupForm_ = new TForm3(host.state(), host.prompts(), host.window());
  wire(*startupForm_);

  Timer3 = new QTimer(this);
  Timer3->setObjectName("Timer3");
  Timer3->setSingleShot(true);
  Timer3->setInterval(5000);
  connect(Timer3, &QTimer::timeout, this, &AboutController::Timer3Timer);
  Timer3->start();
}

void AboutController::wire(TForm3& form) {
  QWidget* window = host_.window();
  // Queued: the check that asks has finished its own steps by then.
  form.closeMainWindow = [window = QPointer<QWidget>(window)] {
    QTimer::singleShot(0, window, [window] {
      if (window) window->close();
    });
  };
}

TForm3* AboutController::startupForm() const { return startupForm_.data(); }

void AboutController::Timer3Timer() {
  if (!startupForm_) return;
  host_.state().autoUpdateCheck = true;
  startupForm_->Button1Click();
}

void AboutController::FlatButton12Click() {
  TForm3 dialog(host_.state(), host_.prompts(), host_.window());
  wire(dialog);
  if (runDialog)
    runDialog(dialog);
  else
    dialog.exec();
}

}  // namespace qm
