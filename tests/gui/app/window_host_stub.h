#pragma once
// A WindowHost with only what the settings, about and companion controllers
// ask of the main window: a parent window, buttons, prompts and the app state.
#include <QKeySequence>
#include <QPushButton>
#include <QWidget>
#include <map>

#include "common/app_state.h"
#include "common/ui/scripted_prompts.h"
#include "common/ui/window_host.h"

namespace qm::test {

class WindowHostStub : public WindowHost {
 public:
  QWidget mainWindow;
  ScriptedPrompts scripted;
  AppState appState;
  std::map<QString, QKeySequence> keys;  // the key each button was given

  QWidget* window() override { return &mainWindow; }
  QPushButton* addButton(const QString& objectName, const QString& caption, ButtonPlace,
                         const QKeySequence& key) override {
    if (auto* existing = mainWindow.findChild<QPushButton*>(objectName)) return existing;
    auto* b = new QPushButton(caption, &mainWindow);
    b->setObjectName(objectName);
    keys[objectName] = key;
    return b;
  }
  QPushButton* button(const char* objectName) { return mainWindow.findChild<QPushButton*>(objectName); }
  void setPanelText(int, const QString&) override {}
  QString panelText(int) const override { return {}; }
  Prompts& prompts() override { return scripted; }
  AppState& state() override { return appState; }
  std::string cookieText() override { return {}; }
  WebTab* homeTab() override { return nullptr; }
  WebTab* activeTab() override { return nullptr; }
  void onTabClosing(QObject*, std::function<void(WebTab*)>) override {}
  void pauseKeepAlive() override {}
  void resumeKeepAlive() override {}
};

}  // namespace qm::test
