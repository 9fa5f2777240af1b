#pragma once
// Takes the user to the registration system's working pages: the in-school
// query page and the audit page from the top bar (each clicks the page's
// first button once it has loaded), the quick-navigation menu, and F5.
#include <QObject>
#include <QPointer>
#include <qcoro/qcorotask.h>

#include "browser/web/web_document.h"

class QMenu;
class QPushButton;
class QWebEnginePage;
class QWebEngineView;

namespace qm {

class TForm1;
struct MenuEntry;

class Navigation : public QObject {
  Q_OBJECT
 public:
  explicit Navigation(TForm1& form);  // owned by the window

  void FlatButton4Click();
  QCoro::Task<> FlatButton15Click();
  void FlatButton28MouseUp(Qt::MouseButton button);
  void openMenuEntry(const MenuEntry& entry);  // N1 ... N10
  void Action13Execute();                      // F5

  QMenu* PopupMenu1() const { return popupMenu_; }

  // Polls the last tab until its document is complete, nudges its layout and
  // clicks its first button. No time limit; ends when the window goes.
  QCoro::Task<> waitAndClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void navigateLastTab(const QString& address);
  QWebEngineView* tabViewAt(int slot) const;
  WebDocument documentAt(int slot) const;
  QCoro::Task<bool> lastTabComplete();
  void nudgeLastTabLayout();

  TForm1& form_;
  QPushButton* quickButton_ = nullptr;
  QMenu* popupMenu_ = nullptr;
};

}  // namespace qm
