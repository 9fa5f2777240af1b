#include "browser/login_keeper.h"

#include <QAction>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineView>
#include <qcoro/qcorofuture.h>

#include "app/profile_file.h"
#include "app/settings_names.h"
#include "browser/cookie_mirror.h"
#include "browser/main_window.h"
#include "browser/transfer_panel.h"
#include "common/app_state.h"
#include "server/async_request.h"
#include "server/http_client.h"

namespace qm {

LoginKeeper::LoginKeeper(TForm1& form)
    : QObject(&form), form_(form), idHttp2_(std::make_unique<HttpClient>("IdHTTP2")) {
  timer1_ = new QTimer(&form);
  timer1_->setObjectName("Timer1");
  timer1_->setInterval(kKeepAliveIntervalMs);
  connect(timer1_, &QTimer::timeout, this, [this] { KeepAliveRequest(); });
  timer1_->start();

  idHttp2_->setTransferCallbacks(panelProgress(form, 2));

  QPushButton* stop = form.addTopButton("FlatButton8", QStringLiteral("停止抓取"));
  connect(stop, &QPushButton::clicked, this, &LoginKeeper::FlatButton8Click);
  auto* f10 = new QAction(&form);
  f10->setObjectName("Action11");
  f10->setShortcut(Qt::Key_F10);
  f10->setShortcutContext(Qt::WindowShortcut);
  connect(f10, &QAction::triggered, this, &LoginKeeper::FlatButton8Click);
  form.addAction(f10);

  QPushButton* autoLogin = form.addTopButton("FlatButton3", QStringLiteral("自动登陆"));
  autoLogin->hide();
  connect(autoLogin, &QPushButton::clicked, this, [this] { FillLoginName(); });

  connect(&form, &TForm1::documentComplete, this, &LoginKeeper::documentComplete);
}

LoginKeeper::~LoginKeeper() {
  // Waits for a running request while the progress context is still whole.
  idHttp2_.reset();
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
    ok = false;
  }
  if (!self) co_return;
  keepAliveRunning_ = false;
  form_.setPanelText(2, ok ? QStringLiteral("为您保持登录成功!") : QStringLiteral("为您保持登录失败!"));
}

QCoro::Task<> LoginKeeper::FillLoginName() {
  const std::string name = ProfileFile(form_.state().settingsPath).read(kLoginSection, kLoginKey, "");
  const int slot = form_.ActiveTabIndex();
  if (!form_.tabView(slot)) co_return;
  const WebDocument document = form_.document(slot);
  const QString loginName = QString::fromStdString(name);
  // The document answers nothing on any failure; what was written stays.
  const QVariant written = co_await document.setInputsByName(QStringLiteral("_J_USERNAME"), loginName);
  if (!written.isValid()) co_return;
  co_await document.focusInput(name.empty() ? 0 : 2);
}

}  // namespace qm
