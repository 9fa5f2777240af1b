#include "browser/web/web_page.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QWebEngineCertificateError>

#include "common/ui/prompts.h"

namespace qm {

const QString WebPage::kLeavePageText = QStringLiteral("确实要离开此页吗？所做的更改可能不会保存。");

namespace {

// The engine asks its beforeunload question through confirm() with this text.
QString engineLeavePageText() {
  return QCoreApplication::translate("QWebEnginePage",
                                     "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

}  // namespace

WebPage::WebPage(QWebEngineProfile* profile, Prompts& prompts, QObject* parent)
    : QWebEnginePage(profile, parent), prompts_(prompts) {
  // A new page may ask again.
  connect(this, &QWebEnginePage::loadStarted, this, [this] { dialogsBlocked_ = false; });
  // A bad certificate is refused without asking anybody.
  connect(this, &QWebEnginePage::certificateError, this,
          [](QWebEngineCertificateError error) { error.rejectCertificate(); });
  connect(this, &QWebEnginePage::authenticationRequired, this, [this](const QUrl& url, QAuthenticator* auth) {
    QString text = QStringLiteral("服务器 %1 要求输入用户名和密码。").arg(url.host());
    if (!auth->realm().isEmpty()) text += QStringLiteral("\n") + auth->realm();
    askCredentials(text, auth);
  });
  connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
          [this](const QUrl&, QAuthenticator* auth, const QString& proxyHost) {
            askCredentials(QStringLiteral("代理服务器 %1 要求输入用户名和密码。").arg(proxyHost), auth);
          });
}

void WebPage::askCredentials(const QString& text, QAuthenticator* authenticator) {
  const std::optional<Credentials> answer = prompts_.credentials(text);
  if (!answer) {
    // A null authenticator cancels the request.
    *authenticator = QAuthenticator();
    return;
  }
  authenticator->setUser(answer->user);
  authenticator->setPassword(answer->password);
}

QWebEnginePage* WebPage::createWindow(WebWindowType) { return newWindow_ ? newWindow_() : nullptr; }

bool WebPage::offerBlock() const { return sinceDialog_.isValid() && sinceDialog_.elapsed() < kDialogFloodMs; }

void WebPage::dialogClosed(bool blocked) {
  sinceDialog_.start();
  if (blocked) dialogsBlocked_ = true;
}

void WebPage::javaScriptAlert(const QUrl&, const QString& msg) {
  if (dialogsBlocked_) return;
  bool blocked = false;
  prompts_.pageAlert(msg, offerBlock(), blocked);
  dialogClosed(blocked);
}

bool WebPage::javaScriptConfirm(const QUrl&, const QString& msg) {
  const bool leaving = msg == engineLeavePageText();
  // A blocked page may still be left.
  if (dialogsBlocked_) return leaving;
  bool blocked = false;
  const bool answer = prompts_.pageConfirm(leaving ? kLeavePageText : msg, offerBlock(), blocked);
  dialogClosed(blocked);
  return answer;
}

bool WebPage::javaScriptPrompt(const QUrl&, const QString& msg, const QString& defaultValue, QString* result) {
  if (dialogsBlocked_) return false;
  bool blocked = false;
  const std::optional<QString> answer = prompts_.pagePrompt(msg, defaultValue, offerBlock(), blocked);
  dialogClosed(blocked);
  if (!answer) return false;
  *result = *answer;
  return true;
}

// Script errors stay silent.
void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) {}

}  // namespace qm
