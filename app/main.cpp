// Quillmere: start-up, the main window and the event loop.
#include <QApplication>
#include <QEvent>
#include <QString>
#include <QTimer>
#include <cstdlib>
#include <unistd.h>

#include "app/features.h"
#include "app/settings/startup.h"
#include "browser/main_window.h"
#include "common/app_state.h"
#include "common/ui/qt_prompts.h"
#include "common/ui/qt_translations.h"
#include "common/ui/window_roles.h"

namespace {

// The run ends when the main window has closed, even while tool windows are
// still open; a close the window refuses leaves it visible and changes nothing.
class QuitWhenClosed : public QObject {
 public:
  explicit QuitWhenClosed(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Close)
      QTimer::singleShot(0, this, [this] {
        if (!window_->isVisible()) QCoreApplication::quit();
      });
    return false;
  }

 private:
  QWidget* window_;
};

// Chromium's sandbox refuses to run as root. The program never turns it off
// itself: pages arrive over plain HTTP, so a renderer bug would run as root.
// A launcher that means it (tests, CI) sets QTWEBENGINE_DISABLE_SANDBOX.
bool rootWithoutSandboxChoice() {
  const char* choice = std::getenv("QTWEBENGINE_DISABLE_SANDBOX");
  return ::geteuid() == 0 && (!choice || !*choice);
}

}  // namespace

int main(int argc, char* argv[]) {
  qm::AppState state;
  state.autoUpdateCheck = false;
  state.settingsPath = qm::settingsPathForExecutable(qm::currentExecutablePath(argc > 0 ? argv[0] : nullptr));
  const qm::StartupResult startup = qm::resolveServerHost(state.settingsPath);
  state.serverHost = startup.serverHost;
  state.companionToolName.clear();

  QApplication app(argc, argv);
  // Only the name: a display name would be appended to every window title.
  QApplication::setApplicationName(QStringLiteral("Quillmere"));
  qm::loadQtTranslations(app);
  qm::installWindowRoles();

  if (rootWithoutSandboxChoice()) {
    qm::QtPrompts prompts;
    prompts.message(QStringLiteral("请不要以 root 身份运行 Quillmere。"), QStringLiteral("错误"), qm::PromptIcon::Error);
    return 1;
  }

  if (!startup.ok) {
    qm::QtPrompts prompts;
    prompts.message(QString::fromStdString(startup.error), qm::kAppTitle, qm::PromptIcon::Error);
    return 1;
  }

  qm::QtPrompts prompts;
  qm::TForm1 form(state, prompts);
  prompts.setParent(&form);
  qm::installFeatures(form);
  new QuitWhenClosed(&form);
  form.showMaximized();
  return app.exec();
}
