#pragma once
// The tab control's tabs, kept in the window's slot order.
#include <QObject>

#include "browser/tab_book.h"

class QTabWidget;
class QWebEngineProfile;

namespace qm {

class Prompts;
class WebTab;

class TabStrip : public QObject {
  Q_OBJECT
 public:
  // Pages show their dialogs through prompts.
  TabStrip(QTabWidget* tabs, QWebEngineProfile* profile, Prompts& prompts, QObject* parent = nullptr);

  int LastTabIndex() const { return book_.LastTabIndex(); }
  int ActiveTabIndex() const { return book_.ActiveTabIndex(); }
  bool full() const { return book_.full(); }
  // The tab in slot, nullptr for a free slot.
  WebTab* tab(int slot) const { return book_.at(slot); }

  // Creates the home tab in slot 0 without touching the counters.
  WebTab* createHome();
  // Appends a tab after the last one and shows it; nullptr at the limit.
  WebTab* open();
  // Removes the active tab (not the home tab); the left neighbour is shown.
  bool closeActive();
  void pageChanged(int index);

 signals:
  // The tab is still whole when this is emitted; it is deleted later.
  void tabClosing(WebTab* tab);

 private:
  WebTab* makeTab();
  void showCloseButtonOnActiveOnly();

  QTabWidget* tabs_;
  QWebEngineProfile* profile_;  // owned by the window, outlives the pages
  Prompts& prompts_;
  TabBook<WebTab*> book_;
};

}  // namespace qm
