#include "browser/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
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
#include "browser/cookie_mirror.h"
#include "browser/tab_caption.h"
#include "browser/tab_strip.h"
#include "browser/web_page.h"
#include "common/app_state.h"
#include "common/prompts.h"

namespace qm {
namespace {

const QString kTabLimitMessage = QStringLiteral("请关闭一些标签后再打开！");

// Left-to-right order of the top bar, whichever feature adds a button first.
const QStringList kTopBarOrder = {"FlatButton1",  "FlatButton2",  "FlatButton6",  "FlatButton4", "FlatButton7",
                                  "FlatButton13", "FlatButton15", "FlatButton16", "FlatButton8", "FlatButton28"};

int topBarRank(const QString& name) {
  const int rank = kTopBarOrder.indexOf(name);
  return rank < 0 ? kTopBarOrder.size() : rank;
}

}  // namespace

TForm1::TForm1(AppState& state, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), state_(state), prompts_(prompts), cursorPos_([] { return QCursor::pos(); }) {
  setWindowTitle(QStringLiteral("Quillmere - 学籍工作浏览器"));
  // No storage name: an off-the-record profile of this window alone.
  profile_ = new QWebEngineProfile(this);
  cookies_ = new CookieMirror(profile_->cookieStore(), this);
  buildLayout();
  tabs_ = new TabStrip(RzPageControl1, profile_, this);
  connect(RzPageControl1, &QTabWidget::currentChanged, this, [this] { RzPageControl1PageChange(); });
  connect(RzPageControl1, &QTabWidget::tabCloseRequested, this, [this] { RzPageControl1Close(); });
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setSingleShot(true);
  Timer2->setInterval(50);
  connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
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
  FlatComboBox1->lineEdit()->installEventFilter(this);
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

  addTopButton("FlatButton1", QStringLiteral("开新窗口转到"));
  addTopButton("FlatButton2", QStringLiteral("刷新"));
  addTopButton("FlatButton6", QStringLiteral("关闭当前页"));
  connect(findChild<QPushButton*>("FlatButton1"), &QPushButton::clicked, this, &TForm1::FlatButton1Click);
  connect(findChild<QPushButton*>("FlatButton2"), &QPushButton::clicked, this, &TForm1::FlatButton2Click);
  connect(findChild<QPushButton*>("FlatButton6"), &QPushButton::clicked, this, &TForm1::FlatButton6Click);
}

QPushButton* TForm1::addTopButton(const QString& objectName, const QString& caption) {
  if (auto* existing = topBar_->findChild<QPushButton*>(objectName)) return existing;
  const int rank = topBarRank(objectName);
  int index = 1;  // after the address box
  for (QPushButton* b : topBar_->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
    if (topBarRank(b->objectName()) <= rank) ++index;
  auto* button = new QPushButton(caption, topBar_);
  button->setObjectName(objectName);
  button->setFocusPolicy(Qt::NoFocus);
  topBarLayout_->insertWidget(index, button);
  return button;
}

void TForm1::setPanelText(int panel, const QString& text) {
  if (panel >= 0 && panel < 3) panels_[panel]->setText(text);
}

QString TForm1::panelText(int panel) const { return panel >= 0 && panel < 3 ? panels_[panel]->text() : QString(); }

int TForm1::LastTabIndex() const { return tabs_->LastTabIndex(); }
int TForm1::ActiveTabIndex() const { return tabs_->ActiveTabIndex(); }
QWebEngineView* TForm1::tabView(int slot) const { return tabs_->view(slot); }
QWidget* TForm1::tabSheet(int slot) const { return tabs_->sheet(slot); }
WebDocument TForm1::document(int slot) const { return WebDocument(tabs_->page(slot)); }

void TForm1::FormCreate() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
  setWindowState(windowState() | Qt::WindowMaximized);
  attachHooks(tabs_->createHome(), true);
  tabs_->view(0)->load(QUrl(QString::fromStdString(state_.serverUrl())));
  setPanelText(0, QStringLiteral("正在打开学籍网主页..."));
}

void TForm1::attachHooks(QWebEnginePage* page, bool windowClosingHook) {
  auto* webPage = qobject_cast<WebPage*>(page);
  webPage->setNewWindowHook([this] { return NewWindow2(); });
  connect(page, &QWebEnginePage::loadFinished, this, &TForm1::DocumentComplete);
  // Without the hook a page's close request takes the view's own course: nothing closes.
  if (windowClosingHook) connect(page, &QWebEnginePage::windowCloseRequested, this, &TForm1::WindowClosing);
}

QWebEngineView* TForm1::openTabWithHooks(bool windowClosingHook) {
  WebPage* page = tabs_->open();
  if (!page) return nullptr;
  attachHooks(page, windowClosingHook);
  return tabs_->view(tabs_->LastTabIndex());
}

QWebEngineView* TForm1::OpenTab(bool windowClosingHook) {
  if (tabs_->full()) {
    prompts_.message(kTabLimitMessage);
    return nullptr;
  }
  return openTabWithHooks(windowClosingHook);
}

void TForm1::NavigateLastTab(const QString& address) {
  // The text goes to the view as typed; the view makes of it what it can.
  if (QWebEngineView* view = tabs_->view(tabs_->LastTabIndex())) view->load(QUrl::fromUserInput(address));
}

void TForm1::CloseActiveTab() { tabs_->closeActive(); }

void TForm1::Refresh() {
  if (QWebEngineView* view = tabs_->view(tabs_->ActiveTabIndex())) view->reload();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TForm1::FormResize() {
  if (auto* about = toolColumn_->findChild<QWidget*>("FlatButton12")) about->move(about->x(), height() - 140);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FlatComboBox1->lineEdit() && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      FlatComboBox1KeyPress(13);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::FlatComboBox1KeyPress(int key) {
  if (key != 13) return;
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
    // Not inside the engine's call: a modal box there would nest the event loop.
    QMetaObject::invokeMethod(this, [this] { prompts_.message(kTabLimitMessage); }, Qt::QueuedConnection);
    return nullptr;
  }
  QWebEngineView* view = openTabWithHooks(true);
  setPanelText(0, QStringLiteral("正在打开网页") + FlatComboBox1->currentText() + QStringLiteral("..."));
  return view->page();
}

void TForm1::DocumentComplete() {
  if (tearingDown_) return;
  const int last = tabs_->LastTabIndex();
  QWebEngineView* view = tabs_->view(last);
  if (!view) return;
  FlatComboBox1->setEditText(view->url().toString());
  const QLocale locale = QLocale::system();
  const QDateTime now = QDateTime::currentDateTime();
  setPanelText(0, QStringLiteral("打开完毕!") + locale.toString(now.date(), QLocale::ShortFormat) + " " +
                      locale.toString(now.time(), QLocale::LongFormat));
  QString caption = QString::fromStdString(TabCaption(view->title().toStdString()));
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
  const QVariant clicked = co_await document(0).clickLinksByText(QStringLiteral("注销"));
  if (!self) co_return;
  closePending_ = false;
  // No document or a failed script counts as no link clicked: the window closes.
  const int count = clicked.isValid() ? clicked.toInt() : 0;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int screenWidth = screen ? screen->geometry().width() : 0;
  if (StaysOpenAfterLogoff(count, cursorPos_().x(), screenWidth)) co_return;
  closeAllowed_ = true;
  close();
}

}  // namespace qm
