#pragma once
// The tab control's pages and web views, kept in the window's slot order.
#include <QObject>

#include "browser/tab_book.h"

class QTabWidget;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

namespace qm {

class WebPage;

struct TabSlot {
  QWidget* sheet = nullptr;
  QWebEngineView* view = nullptr;
};

class TabStrip : public QObject {
  Q_OBJECT
 public:
  TabStrip(QTabWidget* tabs, QWebEngineProfile* profile, QObject* parent = nullptr);

  int LastTabIndex() const { return book_.LastTabIndex(); }
  int ActiveTabIndex() const { return book_.ActiveTabIndex(); }
  bool full() const { return book_.full(); }
  QWebEngineView* view(int slot) const { return book_.at(slot).view; }
  QWidget* sheet(int slot) const { return book_.at(slot).sheet; }
  WebPage* page(int slot) const;

  // Creates page and view in slot 0 without touching the counters.
  WebPage* createHome();
  // Appends a tab after the last one and shows it; nullptr at the limit.
  WebPage* open();
  // Removes the active tab (not the home tab); the left neighbour is shown.
  bool closeActive();
  void pageChanged(int index);

 private:
  TabSlot makeSlot();
  void showCloseButtonOnActiveOnly();

  QTabWidget* tabs_;
  QWebEngineProfile* profile_;  // owned by the window, outlives the pages
  TabBook<TabSlot> book_;
};

}  // namespace qm
