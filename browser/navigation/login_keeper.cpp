#include "browser/navigation/login_keeper.h"

#include <algorithm>

#include <QAction>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineView>
#include <qcoro/qcorofuture.h>

#include "common/log_categories.h"
#include "common/profile_file.h"
#include "common/settings_names.h"
#include "browser/web/cookie_mirror.h"
#include "browser/web/web_tab.h"
#include "browser/main_window.h"
#include "net/transfer_progress.h"
#include "common/app_state.h"
#include "net/async_request.h"
#include "net/http_client.h"

namespace qm {

LoginKeeper::LoginKeeper(TForm1& form)
    : QObject(&form), form_(form), idHttp2_(std::make_unique<HttpClient>("IdHTTP2")) {
  timer1_ = new QTimer(&form);
  timer1_->setObjectName("Timer1");
  timer1_->setInterval(kKeepAliveIntervalMs);
  connect(timer1_, &QTimer::timeout, this, [this] { KeepAliveRequest(); });
  timer1_->start();
  form.setKeepAliveTimer(timer1_);

  idHttp2_->setTransferCallbacks(panelProgress(this, [this](const QString& text) { form_.setPanelText(2, text); }));
  // Only the status counts: the page is read to its end and dropped.
  idHttp2_->setDiscardBody(true);
  idHttp2_->setTimeLimits(kKeepAliveConnectLimitMs, kKeepAliveLimitMs);

  QPushButton* stop =
      form.addButton("FlatButton8", QStringLiteral("停止抓取"), ButtonPlace::TopBar, QKeySequence(Qt::Key_F10));
  connect(stop, &QPushButton::clicked, this, &LoginKeeper::FlatButton8Click);

  QPushButton* autoLogin = form.addButton("FlatButton3", QStringLiteral("自动登陆"), ButtonPlace::Hidden);
  connect(autoLogin, &QPushButton::clicked, this, [this] { FillLoginName(); });

  connect(&form, &TForm1::documentComplete, this, &LoginKeeper::documentComplete);
}

LoginKeeper::~LoginKeeper() {
  // Waits for a running request while the progress context is still whole.
  idHttp2_.reset();
}

void LoginKeeper::setKeepAliveTiming(int intervalMs, long limitMs) {
  timer1_->setInterval(intervalMs);
  idHttp2_->setTimeLimits(std::min(limitMs, kKeepAliveConnectLimitMs), limitMs);
}

void LoginKeeper::FlatButton8Click() { form_.state().stopRequested = true; }

void LoginKeeper::documentComplete() {
  if (autoLoginDone_) return;
  // Set before the fill runs: it waits on the page, and later completions
  // must not start a second one meanwhile.
  autoLoginDone_ = true;
  FillLoginName();
}

QCoro::Task<> LoginKeeper::KeepAliveRequest() {
  // One client runs one request at a time; a slow answer makes the next tick wait for the one after.
  if (keepAliveRunning_) co_return;
  keepAliveRunning_ = true;
  QPointer<LoginKeeper> self(this);
  const std::string host = form_.state().serverHost;
  const std::string url = "http://" + host + kKeepAlivePath;
  // The answer is read whole and discarded; the connection is closed either way.
  HttpRequest request = [url](HttpClient& client) {
    try {
      client.get(url);
    } catch (...) {
      client.disconnect();
      throw;
    }
    client.disconnect();
    return std::string();
  };
  bool ok = false;
  try {
    const std::string cookieText = form_.cookies()->ReadBrowserCookies(host);
    idHttp2_->clearExtraLines();
    idHttp2_->addExtraLine("Cookie:" + cookieText);
    QFuture<std::string> answer = requestAsync(*idHttp2_, std::move(request));
    co_await answer;
    ok = true;
  } catch (...) {
    logCaughtException(lcNet(), "keep-alive");
    ok = false;
  }
  if (!self) co_return;
  keepAliveRunning_ = false;
  form_.setPanelText(2, ok ? QStringLiteral("为您保持登录成功!") : QStringLiteral("为您保持登录失败!"));
}

QCoro::Task<> LoginKeeper::FillLoginName() {
  const std::string name = ProfileFile(form_.state().settingsPath).read(kLoginSection, kLoginKey, "");
  const int slot = form_.ActiveTabIndex();
  WebTab* tab = form_.tab(slot);
  if (!tab) co_return;
  const WebDocument document = tab->document();
  const QString loginName = QString::fromStdString(name);
  // The document answers nothing on any failure; what was written stays.
  const QVariant written = co_await document.setInputsByName(QStringLiteral("_J_USERNAME"), loginName);
  if (!written.isValid()) co_return;
  QPointer<WebTab> focusTab(tab);
  const QVariant focused = co_await document.focusInput(name.empty() ? 0 : 2);
  // The caret shows only once the view holds the keyboard: whenever an input
  // took the focus, the view takes it from the address box, so the user
  // types into the page at once. On an inactive window Qt keeps it for when
  // the window is activated.
  if (focused.toBool() && focusTab && focusTab->isVisible()) focusTab->view()->setFocus();
}

}  // namespace qm
