#include "browser/tab_strip.h"

#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include "browser/web/web_tab.h"

namespace qm {

TabStrip::TabStrip(QTabWidget* tabs, QWebEngineProfile* profile, Prompts& prompts, QObject* parent)
    : QObject(parent), tabs_(tabs), profile_(profile), prompts_(prompts) {
  tabs_->setTabsClosable(true);
}

WebTab* TabStrip::makeTab() { return new WebTab(profile_, prompts_); }

WebTab* TabStrip::createHome() {
  WebTab* tab = makeTab();
  book_.setHome(tab);
  tabs_->addTab(tab, QString());
  tabs_->setCurrentIndex(0);
  showCloseButtonOnActiveOnly();
  return tab;
}

WebTab* TabStrip::open() {
  if (book_.full()) return nullptr;
  WebTab* tab = makeTab();
  book_.open(tab);
  tabs_->addTab(tab, QString());
  tabs_->setCurrentIndex(book_.LastTabIndex());
  showCloseButtonOnActiveOnly();
  return tab;
}

bool TabStrip::closeActive() {
  const int i = book_.ActiveTabIndex();
  std::optional<WebTab*> removed = book_.closeActive();
  if (!removed || !*removed) return false;
  emit tabClosing(*removed);
  tabs_->setCurrentIndex(i - 1);
  tabs_->removeTab(i);
  // Later: the close may come from the tab's own close button or from a
  // signal of the page that goes away.
  (*removed)->deleteLater();
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
