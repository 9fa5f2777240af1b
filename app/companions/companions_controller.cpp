#include "app/companions/companions_controller.h"

#include <QProcess>
#include <QPushButton>

#include "app/companions/calculator.h"
#include "app/companions/companion_tools.h"
#include "app/companions/companions_window.h"
#include "app/update/program_path.h"
#include "app/update/update_script.h"
#include "common/app_state.h"
#include "common/ui/window_host.h"

namespace qm {

CompanionsController::CompanionsController(WindowHost& host) : QObject(host.window()), host_(host) {
  setObjectName("CompanionsController");
  folder = scriptInputsFor(runningProgramPath(), {}, 0).folder;
  programStarter = [](const std::string& path) {
    if (!path.empty()) QProcess::startDetached(QString::fromStdString(path), {});
  };
  const std::pair<const char*, void (CompanionsController::*)()> tools[] = {
      {"FlatButton24", &CompanionsController::FlatButton24Click},
      {"FlatButton25", &CompanionsController::FlatButton25Click},
      {"FlatButton27", &CompanionsController::FlatButton27Click},
  };
  for (const auto& [name, handler] : tools) {
    const CompanionTool* tool = companionToolForButton(name);
    QPushButton* button = host.addButton(name, QString::fromUtf8(tool->caption), ButtonPlace::ToolColumn);
    connect(button, &QPushButton::clicked, this, handler);
  }
  QPushButton* calculator =
      host.addButton("FlatButton14", QStringLiteral("计算器"), ButtonPlace::ToolColumn, QKeySequence(Qt::Key_F2));
  connect(calculator, &QPushButton::clicked, this, &CompanionsController::FlatButton14Click);
}

void CompanionsController::FlatButton24Click() { toolClick(*companionToolForButton("FlatButton24")); }
void CompanionsController::FlatButton25Click() { toolClick(*companionToolForButton("FlatButton25")); }
void CompanionsController::FlatButton27Click() { toolClick(*companionToolForButton("FlatButton27")); }

void CompanionsController::FlatButton14Click() { programStarter(desktopCalculator()); }

void CompanionsController::toolClick(const CompanionTool& tool) {
  if (auto path = installedCompanion(tool, folder)) {
    programStarter(*path);
    return;
  }
  host_.state().companionToolName = tool.downloadStem;
  TForm11 dialog(host_.state(), host_.prompts(), folder, host_.window());
  dialog.programStarter = programStarter;
  if (runDialog)
    runDialog(dialog);
  else
    dialog.exec();
}

}  // namespace qm
