#include "browser/navigation/navigation.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QUrl>
#include <QWebEngineView>
#include <chrono>
#include <memory>
#include <utility>
#include <qcoro/qcorotimer.h>

#include "browser/navigation/account_type.h"
#include "browser/main_window.h"
#include "browser/web/web_tab.h"
#include "browser/navigation/navigation_pages.h"
#include "common/app_state.h"
#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"

namespace qm {
namespace {

using namespace std::chrono_literals;

// Set on a page between our navigation request and the engine's own report
// that loading started: until then the page still shows its previous (or an
// empty, already complete) document.
constexpr const char* kNavigationRequested = "qmNavigationRequested";

constexpr auto kPollInterval = 50ms;

const QString kReadyStateScript = QStringLiteral("[document.readyState, String(location.href)]");

}  // namespace

QWebEngineView* Navigation::tabViewAt(int slot) const {
  WebTab* tab = form_.tab(slot);
  return tab ? tab->view() : nullptr;
}

WebDocument Navigation::documentAt(int slot) const {
  WebTab* tab = form_.tab(slot);
  return tab ? tab->document() : WebDocument();
}

Navigation::Navigation(TForm1& form) : QObject(&form), form_(form) {
  QPushButton* query = form.addTopButton("FlatButton4", QStringLiteral("查询在校生"));
  connect(query, &QPushButton::clicked, this, &Navigation::FlatButton4Click);
  QPushButton* audit = form.addTopButton("FlatButton15", QStringLiteral("异动审核"));
  connect(audit, &QPushButton::clicked, this, [this] { FlatButton15Click(); });

  quickButton_ = form.addTopButton("FlatButton28", QStringLiteral("快捷导航"));
  // The menu opens on release of the left button only, never as a context menu.
  quickButton_->setContextMenuPolicy(Qt::PreventContextMenu);
  quickButton_->installEventFilter(this);

  popupMenu_ = new QMenu(&form);
  popupMenu_->setObjectName("PopupMenu1");
  for (const MenuEntry& entry : quickNavigationMenu()) {
    QAction* action = popupMenu_->addAction(q(entry.caption));
    action->setObjectName(q(entry.item));
    action->setVisible(!entry.hidden);
    connect(action, &QAction::triggered, this, [this, &entry] { openMenuEntry(entry); });
  }

  auto* refresh = new QAction(&form);
  refresh->setObjectName("Action13");
  refresh->setShortcut(Qt::Key_F5);
  refresh->setShortcutContext(Qt::WindowShortcut);
  connect(refresh, &QAction::triggered, this, &Navigation::Action13Execute);
  form.addAction(refresh);
}

bool Navigation::eventFilter(QObject* watched, QEvent* event) {
  if (watched == quickButton_ && event->type() == QEvent::MouseButtonRelease)
    FlatButton28MouseUp(static_cast<QMouseEvent*>(event)->button());
  return QObject::eventFilter(watched, event);
}

void Navigation::navigateLastTab(const QString& address) {
  if (QWebEngineView* view = tabViewAt(form_.LastTabIndex())) {
    QWebEnginePage* page = view->page();
    page->setProperty(kNavigationRequested, true);
    // Whichever report comes first ends the request; isLoading() takes over.
    auto links = std::make_shared<std::pair<QMetaObject::Connection, QMetaObject::Connection>>();
    auto clear = [page, links] {
      page->setProperty(kNavigationRequested, false);
      QObject::disconnect(links->first);
      QObject::disconnect(links->second);
    };
    links->first = connect(page, &QWebEnginePage::loadStarted, page, clear);
    links->second = connect(page, &QWebEnginePage::loadFinished, page, clear);
  }
  form_.NavigateLastTab(address);
}

void Navigation::openMenuEntry(const MenuEntry& entry) {
  if (!form_.OpenTab(false)) return;
  navigateLastTab(q(entry.address(form_.state().serverHost)));
  form_.setPanelText(0, q(entry.panelText));
}

void Navigation::FlatButton4Click() {
  if (!form_.OpenTab(false)) return;
  navigateLastTab(q(form_.state().serverUrl(kInSchoolQueryPath)));
  form_.setPanelText(0, QString::fromUtf8(kInSchoolQueryText));
  waitAndClick();
}

QCoro::Task<> Navigation::FlatButton15Click() {
  if (form_.LastTabIndex() >= 20) {
    form_.prompts().message(QStringLiteral("请关闭一些标签后再打开！"));
    co_return;
  }
  QPointer<Navigation> self(this);
  const QVariant html = co_await documentAt(0).rootInnerHtml();
  if (!self || !html.isValid()) co_return;
  const std::optional<int> accountType = readAccountType(html.toString().toStdString());
  if (!accountType) co_return;
  // Tabs may have opened while the page was read: OpenTab checks the limit again.
  if (!form_.OpenTab(false)) co_return;
  navigateLastTab(q(form_.state().serverUrl(auditPathFor(*accountType))));
  form_.setPanelText(0, QString::fromUtf8(kAuditText));
  co_await waitAndClick();
}

void Navigation::FlatButton28MouseUp(Qt::MouseButton button) {
  if (button != Qt::LeftButton) return;
  // The button's top within the bar, taken as a screen coordinate.
  popupMenu_->popup(QPoint(QCursor::pos().x(), quickButton_->y() + 50));
}

void Navigation::Action13Execute() { form_.Refresh(); }

QCoro::Task<bool> Navigation::lastTabComplete() {
  const int slot = form_.LastTabIndex();
  QWebEngineView* view = tabViewAt(slot);
  if (!view) co_return false;
  QPointer<QWebEnginePage> page = view->page();
  if (page->property(kNavigationRequested).toBool() || page->isLoading()) co_return false;
  const QVariant answer = co_await documentAt(slot).run(kReadyStateScript);
  if (!page) co_return false;
  const QStringList state = answer.toStringList();
  if (state.size() != 2 || state[0] != QLatin1String("complete")) co_return false;
  // A new tab shows an empty, complete document until its first load starts.
  const QUrl requested = page->requestedUrl();
  const bool blank = state[1] == QLatin1String("about:blank");
  co_return !(blank && !requested.isEmpty() && requested.toString() != QLatin1String("about:blank"));
}

void Navigation::nudgeLastTabLayout() {
  QWebEngineView* view = tabViewAt(form_.LastTabIndex());
  if (!view || !view->parentWidget() || !view->parentWidget()->layout()) return;
  QLayout* fill = view->parentWidget()->layout();
  fill->removeWidget(view);
  view->resize(view->width(), view->height() - 10);
  fill->addWidget(view);
  fill->activate();
}

QCoro::Task<> Navigation::waitAndClick() {
  QPointer<Navigation> self(this);
  for (;;) {
    const bool complete = co_await lastTabComplete();
    if (!self) co_return;
    if (complete) break;
    co_await QCoro::sleepFor(kPollInterval);
    if (!self) co_return;
  }
  nudgeLastTabLayout();
  // A page without a button: nothing to click, nothing said.
  co_await documentAt(form_.LastTabIndex()).clickFirstByTag(QStringLiteral("button"));
}

}  // namespace qm
