#pragma once
// The page of one tab: the engine's own noise (script errors, certificate
// prompts) stays silent, the page's own dialogs (alert, confirm, prompt,
// leaving the page, log-in) go to the user through Prompts, and a request
// for a new window goes to the window's hook.
#include <QElapsedTimer>
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
  // A dialog that opens this soon after the previous one closed offers to
  // block the page's further dialogs.
  static constexpr int kDialogFloodMs = 1000;

  // The user chose to block this page's dialogs; until it navigates.
  bool dialogsBlocked() const { return dialogsBlocked_; }

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
  // Whether the next dialog follows the last one closely enough to offer the block.
  bool offerBlock() const;
  // After a dialog: remembers when it closed and whether blocking was ticked.
  void dialogClosed(bool blocked);

  Prompts& prompts_;
  NewWindowHook newWindow_;
  QElapsedTimer sinceDialog_;  // invalid until the first dialog closed
  bool dialogsBlocked_ = false;
};

}  // namespace qm
