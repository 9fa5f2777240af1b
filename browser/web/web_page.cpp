#include "browser/web/web_page.h"

#include <QWebEngineCertificateError>

namespace qm {

WebPage::WebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
  // Silent: a bad certificate is refused without asking anybody.
  connect(this, &QWebEnginePage::certificateError, this,
          [](QWebEngineCertificateError error) { error.rejectCertificate(); });
}

QWebEnginePage* WebPage::createWindow(WebWindowType) { return newWindow_ ? newWindow_() : nullptr; }

void WebPage::javaScriptAlert(const QUrl&, const QString&) {}

// With nobody asked, nobody agreed.
bool WebPage::javaScriptConfirm(const QUrl&, const QString&) { return false; }

bool WebPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) { return false; }

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) {}

}  // namespace qm
