#pragma once
// The main window: a tabbed browser on the registration server, with the
// address box, the top-bar buttons, the tool column and three status panels.
#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <functional>
#include <qcoro/qcorotask.h>

#include "browser/web/web_document.h"
#include "common/ui/window_host.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QWebEngineProfile;
class QWebEngineView;

namespace qm {

struct AppState;
class CookieMirror;
class Prompts;
class TabStrip;
class WebTab;

class TForm1 : public QMainWindow, public WindowHost {
  Q_OBJECT
 public:
  TForm1(AppState& state, Prompts& prompts, QWidget* parent = nullptr);
  ~TForm1() override;

  // WindowHost
  QWidget* window() override { return this; }
  QPushButton* addButton(const QString& objectName, const QString& caption, ButtonPlace place,
                         const QKeySequence& key = {}) override;
  void setPanelText(int panel, const QString& text) override;
  QString panelText(int panel) const override;
  Prompts& prompts() override { return prompts_; }
  AppState& state() override { return state_; }
  std::string cookieText() override;
  WebTab* homeTab() override { return tab(0); }
  WebTab* activeTab() override { return tab(ActiveTabIndex()); }
  void onTabClosing(QObject* context, std::function<void(WebTab*)> handler) override;
  void pauseKeepAlive() override;
  void resumeKeepAlive() override;

  QWebEngineProfile* profile() { return profile_; }
  CookieMirror* cookies() { return cookies_; }
  // The login keeper's timer, which features pause through the host.
  void setKeepAliveTimer(QTimer* timer) { keepAlive_ = timer; }

  // Places a top-bar button at its fixed place in the bar's order.
  QPushButton* addTopButton(const QString& objectName, const QString& caption) {
    return addButton(objectName, caption, ButtonPlace::TopBar);
  }
  // The tool column has no layout: tool buttons are placed by position.
  QWidget* toolColumn() { return toolColumn_; }

  // Opens a tab after the last one; nullptr (after the limit message) at 21 tabs.
  WebTab* OpenTab(bool windowClosingHook);
  void NavigateLastTab(const QString& address);
  void CloseActiveTab();
  void Refresh();
  int LastTabIndex() const;
  int ActiveTabIndex() const;
  // The tab in slot, nullptr for a free slot.
  WebTab* tab(int slot) const;

  // Where the close request reads the mouse cursor (tests put it anywhere).
  void setCursorSource(std::function<QPoint()> source) { cursorPos_ = std::move(source); }

  void FormCreate();
  void FormResize();
  QCoro::Task<> FormCloseQuery();
  // The key as the key-press handler receives it: Enter is the character 13.
  static constexpr int kEnterKey = 13;
  void FlatComboBox1KeyPress(int key);
  void FlatButton1Click();
  void FlatButton2Click();
  void FlatButton6Click();
  void RzPageControl1PageChange();
  void RzPageControl1Close();
  void Timer2Timer();
  QWebEnginePage* NewWindow2();
  void DocumentComplete();
  void WindowClosing();

 signals:
  // After the completed-document steps have refreshed the address box,
  // panel 0 and the last tab's caption.
  void documentComplete();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildLayout();
  WebTab* openTabWithHooks(bool windowClosingHook);
  void attachHooks(QWebEnginePage* page, bool windowClosingHook);
  QPushButton* addToolButton(const QString& objectName, const QString& caption);
  void placeToolButtons();
  // The tab limit's message box, never two at once.
  void showTabLimitMessage();
  void bindKey(QPushButton* button, const QKeySequence& key);

  AppState& state_;
  Prompts& prompts_;
  QWebEngineProfile* profile_ = nullptr;
  CookieMirror* cookies_ = nullptr;
  TabStrip* tabs_ = nullptr;

  QWidget* topBar_ = nullptr;
  QHBoxLayout* topBarLayout_ = nullptr;
  QWidget* toolColumn_ = nullptr;
  QComboBox* FlatComboBox1 = nullptr;
  QTabWidget* RzPageControl1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* panels_[3] = {};
  QTimer* Timer2 = nullptr;
  QTimer* keepAlive_ = nullptr;

  std::function<QPoint()> cursorPos_;
  bool closePending_ = false;  // a close request is clicking "注销"
  bool closeAllowed_ = false;  // the close request decided to close
  bool tearingDown_ = false;
  bool tabLimitBoxUp_ = false;  // the limit message is queued or shown
};

}  // namespace qm
