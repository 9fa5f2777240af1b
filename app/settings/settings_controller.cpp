#include "app/settings/settings_controller.h"

#include <QPushButton>

#include "app/settings/settings_window.h"
#include "common/app_state.h"
#include "common/ui/window_host.h"

namespace qm {

SettingsController::SettingsController(WindowHost& host) : QObject(host.window()), host_(host) {
  setObjectName("SettingsController");
  FlatButton20 = host.addButton("FlatButton20", QStringLiteral("设置"), ButtonPlace::ToolColumn, QKeySequence(Qt::Key_F9));
  connect(FlatButton20, &QPushButton::clicked, this, &SettingsController::FlatButton20Click);
}

void SettingsController::FlatButton20Click() {
  TForm8 dialog(host_.state().settingsPath, host_.prompts(), host_.window());
  if (runDialog)
    runDialog(dialog);
  else
    dialog.exec();
}

}  // namespace qm
