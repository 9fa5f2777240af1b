#include "browser/tab_strip.h"

#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QWebEngineProfile>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "browser/web_page.h"

namespace qm {

TabStrip::TabStrip(QTabWidget* tabs, QWebEngineProfile* profile, QObject* parent)
    : QObject(parent), tabs_(tabs), profile_(profile) {
  tabs_->setTabsClosable(true);
}

WebPage* TabStrip::page(int slot) const {
  QWebEngineView* v = view(slot);
  return v ? qobject_cast<WebPage*>(v->page()) : nullptr;
}

TabSlot TabStrip::makeSlot() {
  TabSlot slot;
  slot.sheet = new QWidget;
  auto* layout = new QVBoxLayout(slot.sheet);
  layout->setContentsMargins(0, 0, 0, 0);
  slot.view = new QWebEngineView(slot.sheet);
  slot.view->setPage(new WebPage(profile_, slot.view));
  layout->addWidget(slot.view);
  return slot;
}

WebPage* TabStrip::createHome() {
  TabSlot slot = makeSlot();
  book_.setHome(slot);
  tabs_->addTab(slot.sheet, QString());
  tabs_->setCurrentIndex(0);
  showCloseButtonOnActiveOnly();
  return page(0);
}

WebPage* TabStrip::open() {
  if (book_.full()) return nullptr;
  TabSlot slot = makeSlot();
  book_.open(slot);
  tabs_->addTab(slot.sheet, QString());
  tabs_->setCurrentIndex(book_.LastTabIndex());
  showCloseButtonOnActiveOnly();
  return page(book_.LastTabIndex());
}

bool TabStrip::closeActive() {
  const int i = book_.ActiveTabIndex();
  std::optional<TabSlot> removed = book_.closeActive();
  if (!removed) return false;
  tabs_->setCurrentIndex(i - 1);
  tabs_->removeTab(i);
  // Later: the close may come from the tab's own close button or from a
  // signal of the page that goes away.
  removed->sheet->deleteLater();
  showCloseButtonOnActiveOnly();
  return true;
}

void TabStrip::pageChanged(int index) {
  book_.pageChanged(index);
  showCloseButtonOnActiveOnly();
}

void TabStrip::showCloseButtonOnActiveOnly() {
  QTabBar* bar = tabs_->tabBar();
  const auto side = static_cast<QTabBar::ButtonPosition>(
      bar->style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, bar));
  for (int i = 0; i < bar->count(); ++i)
    if (QWidget* button = bar->tabButton(i, side)) button->setVisible(i == bar->currentIndex());
}

}  // namespace qm
