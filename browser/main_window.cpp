#include "browser/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "browser/close_rule.h"
#include "browser/completed_time.h"
#include "browser/download_saver.h"
#include "browser/function_keys.h"
#include "browser/web/cookie_mirror.h"
#include "browser/web/web_tab.h"
#include "browser/tab_caption.h"
#include "browser/tab_strip.h"
#include "browser/web/web_page.h"
#include "common/app_state.h"
#include "common/ui/prompts.h"

namespace qm {
namespace {

const QString kTabLimitMessage = QStringLiteral("请关闭一些标签后再打开！");

// Left-to-right order of the top bar and top-to-bottom order of the tool
// column, whichever feature adds a button first. "关于" (FlatButton12) sits at
// the column's foot.
const QStringList kTopBarOrder = {"FlatButton1",  "FlatButton2",  "FlatButton6",  "FlatButton4", "FlatButton7",
                                  "FlatButton13", "FlatButton15", "FlatButton16", "FlatButton8", "FlatButton28"};
const QStringList kToolColumnOrder = {"FlatButton9",  "FlatButton14", "FlatButton17", "FlatButton18", "FlatButton19",
                                      "FlatButton21", "FlatButton22", "FlatButton26", "FlatButton24", "FlatButton25",
                                      "FlatButton27", "FlatButton20"};
const QString kAboutButton = QStringLiteral("FlatButton12");
constexpr int kToolButtonStep = 40;

int rankIn(const QStringList& order, const QString& name) {
  const int rank = order.indexOf(name);
  return rank < 0 ? order.size() : rank;
}

// The function keys' action names.
QString actionName(const QKeySequence& key) {
  static const QList<QPair<int, const char*>> names = {
      {Qt::Key_F1, "Action2"}, {Qt::Key_F2, "Action3"},  {Qt::Key_F3, "Action4"},  {Qt::Key_F4, "Action5"},
      {Qt::Key_F5, "Action13"}, {Qt::Key_F6, "Action7"}, {Qt::Key_F7, "Action8"},  {Qt::Key_F8, "Action9"},
      {Qt::Key_F9, "Action10"}, {Qt::Key_F10, "Action11"}, {Qt::Key_F11, "Action12"}};
  for (const auto& [k, name] : names)
    if (key == QKeySequence(k)) return QString::fromLatin1(name);
  return QStringLiteral("Action_") + key.toString();
}

// Keeps a function key's action enabled exactly when its button is.
class KeyFollowsButton : public QObject {
 public:
  KeyFollowsButton(QAction* action, QWidget* button) : QObject(button), action_(action) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange && action_)
      action_->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
    return false;
  }

 private:
  QPointer<QAction> action_;
};

}  // namespace

TForm1::TForm1(AppState& state, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), state_(state), prompts_(prompts), cursorPos_([] { return QCursor::pos(); }) {
  setWindowTitle(QStringLiteral("Quillmere - 学籍工作浏览器"));
  // No storage name: an off-the-record profile of this window alone.
  profile_ = new QWebEngineProfile(this);
  cookies_ = new CookieMirror(profile_->cookieStore(), this);
  buildLayout();
  tabs_ = new TabStrip(RzPageControl1, profile_, prompts_, this);
  connect(RzPageControl1, &QTabWidget::currentChanged, this, [this] { RzPageControl1PageChange(); });
  connect(RzPageControl1, &QTabWidget::tabCloseRequested, this, [this] { RzPageControl1Close(); });
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setSingleShot(true);
  Timer2->setInterval(50);
  connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
  new FunctionKeyFilter(this);
  new DownloadSaver(profile_, *this, this);
  FormCreate();
}

TForm1::~TForm1() {
  // Pages go first (a profile must outlive its pages); what they signal on
  // the way out is no longer ours to handle.
  tearingDown_ = true;
  Timer2->stop();
  RzPageControl1->disconnect(this);
  delete RzPageControl1;
  RzPageControl1 = nullptr;
  delete profile_;
}

void TForm1::buildLayout() {
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  topBar_ = new QWidget(central);
  topBar_->setObjectName("TopBar");
  topBar_->setFixedHeight(33);
  topBarLayout_ = new QHBoxLayout(topBar_);
  topBarLayout_->setContentsMargins(2, 2, 2, 2);
  topBarLayout_->setSpacing(2);
  FlatComboBox1 = new QComboBox(topBar_);
  FlatComboBox1->setObjectName("FlatComboBox1");
  FlatComboBox1->setEditable(true);
  FlatComboBox1->setInsertPolicy(QComboBox::NoInsert);
  FlatComboBox1->setFixedWidth(433);
  // The combo box, not its line edit, holds the keyboard and hands keys to
  // the line edit directly, past any event filter: take Enter from the line
  // edit's own signal, whichever way the key came in.
  connect(FlatComboBox1->lineEdit(), &QLineEdit::returnPressed, this, [this] { FlatComboBox1KeyPress(kEnterKey); });
  topBarLayout_->addWidget(FlatComboBox1);
  topBarLayout_->addStretch(1);
  outer->addWidget(topBar_);

  auto* middle = new QHBoxLayout;
  middle->setContentsMargins(0, 0, 0, 0);
  middle->setSpacing(0);
  RzPageControl1 = new QTabWidget(central);
  RzPageControl1->setObjectName("RzPageControl1");
  middle->addWidget(RzPageControl1, 1);
  toolColumn_ = new QWidget(central);
  toolColumn_->setObjectName("ToolColumn");
  toolColumn_->setFixedWidth(49);
  middle->addWidget(toolColumn_);
  outer->addLayout(middle, 1);
  setCentralWidget(central);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  const int widths[3] = {300, 200, 50};
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(StatusBar1);
    panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    if (i < 2) {
      panels_[i]->setFixedWidth(widths[i]);
      StatusBar1->addWidget(panels_[i]);
    } else {
      // Keep-alive and progress texts are longer than 50 pixels: let it grow.
      panels_[i]->setMinimumWidth(widths[i]);
      StatusBar1->addWidget(panels_[i], 1);
    }
  }
  setStatusBar(StatusBar1);

  connect(addTopButton("FlatButton1", QStringLiteral("开新窗口转到")), &QPushButton::clicked, this,
          &TForm1::FlatButton1Click);
  connect(addTopButton("FlatButton2", QStringLiteral("刷新")), &QPushButton::clicked, this, &TForm1::FlatButton2Click);
  connect(addTopButton("FlatButton6", QStringLiteral("关闭当前页")), &QPushButton::clicked, this,
          &TForm1::FlatButton6Click);
}

QPushButton* TForm1::addButton(const QString& objectName, const QString& caption, ButtonPlace place,
                               const QKeySequence& key) {
  if (auto* existing = findChild<QPushButton*>(objectName)) return existing;
  QPushButton* button = nullptr;
  if (place == ButtonPlace::ToolColumn) {
    button = addToolButton(objectName, caption);
  } else if (place == ButtonPlace::Hidden) {
    button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    button->hide();
  } else {
    const int rank = rankIn(kTopBarOrder, objectName);
    int index = 1;  // after the address box
    for (QPushButton* b : topBar_->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
      if (rankIn(kTopBarOrder, b->objectName()) <= rank) ++index;
    button = new QPushButton(caption, topBar_);
    button->setObjectName(objectName);
    topBarLayout_->insertWidget(index, button);
  }
  button->setFocusPolicy(Qt::NoFocus);
  if (!key.isEmpty()) bindKey(button, key);
  return button;
}

QPushButton* TForm1::addToolButton(const QString& objectName, const QString& caption) {
  auto* button = new QPushButton(caption, toolColumn_);
  button->setObjectName(objectName);
  button->setFixedSize(45, 36);
  button->show();
  placeToolButtons();
  return button;
}

void TForm1::placeToolButtons() {
  QList<QPushButton*> buttons = toolColumn_->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
  std::stable_sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) {
    return rankIn(kToolColumnOrder, a->objectName()) < rankIn(kToolColumnOrder, b->objectName());
  });
  int y = 4;
  for (QPushButton* b : buttons) {
    if (b->objectName() == kAboutButton) continue;
    b->move(2, y);
    y += kToolButtonStep;
  }
  FormResize();
}

void TForm1::bindKey(QPushButton* button, const QKeySequence& key) {
  auto* action = new QAction(button->text(), this);
  action->setObjectName(actionName(key));
  action->setShortcut(key);
  action->setShortcutContext(Qt::WindowShortcut);
  // The key does what the button does, and is off while the button is.
  connect(action, &QAction::triggered, button, [button] {
    if (button->isEnabled()) button->click();
  });
  action->setEnabled(button->isEnabled());
  button->installEventFilter(new KeyFollowsButton(action, button));
  addAction(action);
}

std::string TForm1::cookieText() { return cookies_ ? cookies_->ReadBrowserCookies(state_.serverHost) : std::string(); }

void TForm1::onTabClosing(QObject* context, std::function<void(WebTab*)> handler) {
  connect(tabs_, &TabStrip::tabClosing, context, [handler = std::move(handler)](WebTab* tab) { handler(tab); });
}

void TForm1::pauseKeepAlive() {
  if (keepAlive_) keepAlive_->stop();
}

void TForm1::resumeKeepAlive() {
  if (keepAlive_) keepAlive_->start();
}

void TForm1::setPanelText(int panel, const QString& text) {
  if (panel >= 0 && panel < 3) panels_[panel]->setText(text);
}

QString TForm1::panelText(int panel) const { return panel >= 0 && panel < 3 ? panels_[panel]->text() : QString(); }

int TForm1::LastTabIndex() const { return tabs_->LastTabIndex(); }
int TForm1::ActiveTabIndex() const { return tabs_->ActiveTabIndex(); }
WebTab* TForm1::tab(int slot) const { return tabs_->tab(slot); }

void TForm1::FormCreate() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
  setWindowState(windowState() | Qt::WindowMaximized);
  attachHooks(tabs_->createHome()->page(), true);
  tabs_->tab(0)->view()->load(QUrl(QString::fromStdString(state_.serverUrl())));
  setPanelText(0, QStringLiteral("正在打开学籍网主页..."));
}

void TForm1::attachHooks(QWebEnginePage* page, bool windowClosingHook) {
  auto* webPage = qobject_cast<WebPage*>(page);
  webPage->setNewWindowHook([this] { return NewWindow2(); });
  connect(page, &QWebEnginePage::loadFinished, this, &TForm1::DocumentComplete);
  // Without the hook a page's close request takes the view's own course: nothing closes.
  if (windowClosingHook) connect(page, &QWebEnginePage::windowCloseRequested, this, &TForm1::WindowClosing);
}

WebTab* TForm1::openTabWithHooks(bool windowClosingHook) {
  WebTab* tab = tabs_->open();
  if (!tab) return nullptr;
  attachHooks(tab->page(), windowClosingHook);
  return tab;
}

void TForm1::showTabLimitMessage() {
  // One box at a time: while it is up, further refusals show nothing.
  if (tabLimitBoxUp_) return;
  tabLimitBoxUp_ = true;
  QPointer<TForm1> self(this);
  prompts_.message(kTabLimitMessage);
  if (self) tabLimitBoxUp_ = false;
}

WebTab* TForm1::OpenTab(bool windowClosingHook) {
  if (tabs_->full()) {
    showTabLimitMessage();
    return nullptr;
  }
  return openTabWithHooks(windowClosingHook);
}

// A scrape holds its tab's document: loading another one there ends the scrape.
static bool mayLeaveBusyTab(WebTab* tab, Prompts& prompts) {
  return !tab->busy() || prompts.question(QString::fromUtf8(kBusyTabQuestion));
}

void TForm1::NavigateLastTab(const QString& address) {
  // The text goes to the view as typed; the view makes of it what it can.
  WebTab* tab = tabs_->tab(tabs_->LastTabIndex());
  if (tab && mayLeaveBusyTab(tab, prompts_)) tab->view()->load(QUrl::fromUserInput(address));
}

void TForm1::CloseActiveTab() { tabs_->closeActive(); }

void TForm1::Refresh() {
  WebTab* tab = tabs_->tab(tabs_->ActiveTabIndex());
  if (tab && mayLeaveBusyTab(tab, prompts_)) tab->view()->reload();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TForm1::FormResize() {
  if (auto* about = toolColumn_->findChild<QWidget*>(kAboutButton)) about->move(2, height() - 140);
}

void TForm1::FlatComboBox1KeyPress(int key) {
  if (key != kEnterKey) return;
  if (tabs_->ActiveTabIndex() == 0)
    FlatButton1Click();
  else
    NavigateLastTab(FlatComboBox1->currentText());
}

void TForm1::FlatButton1Click() {
  if (!OpenTab(true)) return;
  const QString address = FlatComboBox1->currentText();
  NavigateLastTab(address);
  setPanelText(0, QStringLiteral("正在打开网页") + address + QStringLiteral("..."));
}

void TForm1::FlatButton2Click() { Refresh(); }

void TForm1::FlatButton6Click() { CloseActiveTab(); }

void TForm1::RzPageControl1PageChange() {
  if (tabs_ && !tearingDown_) tabs_->pageChanged(RzPageControl1->currentIndex());
}

void TForm1::RzPageControl1Close() { CloseActiveTab(); }

void TForm1::Timer2Timer() {
  Timer2->stop();
  CloseActiveTab();
}

QWebEnginePage* TForm1::NewWindow2() {
  if (tearingDown_) return nullptr;
  if (tabs_->full()) {
    // Not inside the engine's call: a modal box there would nest the event
    // loop. A page that floods window.open gets one box; requests refused
    // while it is queued or up are dropped.
    if (!tabLimitBoxUp_) {
      tabLimitBoxUp_ = true;
      QMetaObject::invokeMethod(this, [this] {
        tabLimitBoxUp_ = false;
        showTabLimitMessage();
      }, Qt::QueuedConnection);
    }
    return nullptr;
  }
  WebTab* tab = openTabWithHooks(true);
  setPanelText(0, QStringLiteral("正在打开网页") + FlatComboBox1->currentText() + QStringLiteral("..."));
  return tab->page();
}

void TForm1::DocumentComplete() {
  if (tearingDown_) return;
  const int last = tabs_->LastTabIndex();
  WebTab* tab = tabs_->tab(last);
  if (!tab) return;
  QWebEngineView* view = tab->view();
  FlatComboBox1->setEditText(view->url().toString());
  setPanelText(0, QStringLiteral("打开完毕!") + completedAtText(QDateTime::currentDateTime(), QLocale::system()));
  QString caption = QString::fromStdString(tabCaption(view->title().toStdString()));
  RzPageControl1->setTabText(last, caption.replace('&', QStringLiteral("&&")));
  emit documentComplete();
}

void TForm1::WindowClosing() {
  if (!tearingDown_) Timer2->start();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (closeAllowed_) {
    event->accept();
    return;
  }
  event->ignore();
  if (closePending_) return;
  FormCloseQuery();
}

QCoro::Task<> TForm1::FormCloseQuery() {
  closePending_ = true;
  QPointer<TForm1> self(this);
  const QVariant clicked = co_await tab(0)->document().clickLinksByText(QStringLiteral("注销"));
  if (!self) co_return;
  closePending_ = false;
  // No document or a failed script counts as no link clicked: the window closes.
  const int count = clicked.isValid() ? clicked.toInt() : 0;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int screenWidth = screen ? screen->geometry().width() : 0;
  if (staysOpenAfterLogoff(count, cursorPos_().x(), screenWidth)) co_return;
  closeAllowed_ = true;
  close();
}

}  // namespace qm
