#pragma once
// What a feature controller may ask of the main window. Features add their
// own buttons and keys, show status texts, read the stop flag and the
// browser's cookies, work on a tab, and pause the keep-alive while they run;
// they never include the window's header or look its children up by name.
#include <QKeySequence>
#include <QString>
#include <functional>
#include <string>

class QObject;
class QPushButton;
class QWidget;

namespace qm {

struct AppState;
class Prompts;
class WebTab;

enum class ButtonPlace { TopBar, ToolColumn, Hidden };

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  // Parent for the feature's dialogs and windows.
  virtual QWidget* window() = 0;
  // A button at its fixed place in its bar (the window knows the order by
  // objectName); a hidden one exists only for its handler. A non-empty key
  // acts as a click while the window has the keyboard. Asking twice for the
  // same objectName gives the same button.
  virtual QPushButton* addButton(const QString& objectName, const QString& caption, ButtonPlace place,
                                 const QKeySequence& key = {}) = 0;

  virtual void setPanelText(int panel, const QString& text) = 0;
  virtual QString panelText(int panel) const = 0;
  virtual Prompts& prompts() = 0;
  // Run-wide state: the server host and the stop flag of the exports.
  virtual AppState& state() = 0;
  // The browser's cookie text for the server ("name=value; ..."), HttpOnly included.
  virtual std::string cookieText() = 0;

  // Tabs: the home tab (slot 0) and the one the user is on; never null while
  // the window lives.
  virtual WebTab* homeTab() = 0;
  virtual WebTab* activeTab() = 0;
  // Called with the tab that is about to go, while `context` lives.
  virtual void onTabClosing(QObject* context, std::function<void(WebTab*)> handler) = 0;

  // The keep-alive timer stops for a run that must not be interleaved with
  // it and starts again (a full period) on every way out.
  virtual void pauseKeepAlive() = 0;
  virtual void resumeKeepAlive() = 0;
};

}  // namespace qm
