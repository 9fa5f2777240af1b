#pragma once
// The page of one tab: the engine's own noise (script errors, certificate
// prompts) stays silent, the page's own dialogs (alert, confirm, prompt,
// leaving the page, log-in) go to the user through Prompts, and a request
// for a new window goes to the window's hook.
#include <QWebEnginePage>
#include <functional>

class QAuthenticator;

namespace qm {

class Prompts;

class WebPage : public QWebEnginePage {
  Q_OBJECT
 public:
  // Answers a page's request for a new window with the page of a new tab,
  // or nullptr to leave the request unanswered.
  using NewWindowHook = std::function<QWebEnginePage*()>;

  WebPage(QWebEngineProfile* profile, Prompts& prompts, QObject* parent = nullptr);

  void setNewWindowHook(NewWindowHook hook) { newWindow_ = std::move(hook); }

  // The question asked before a page that wants it is left (beforeunload).
  static const QString kLeavePageText;

 protected:
  QWebEnginePage* createWindow(WebWindowType type) override;
  void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                        QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                const QString& sourceID) override;

 private:
  void askCredentials(const QString& text, QAuthenticator* authenticator);

  Prompts& prompts_;
  NewWindowHook newWindow_;
};

}  // namespace qm
