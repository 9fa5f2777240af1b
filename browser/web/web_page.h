#pragma once
// The page of one tab: silent (no dialogs of its own) and wired to the
// window's hooks by the tab's origin.
#include <QWebEnginePage>
#include <functional>

namespace qm {

class WebPage : public QWebEnginePage {
  Q_OBJECT
 public:
  // Answers a page's request for a new window with the page of a new tab,
  // or nullptr to leave the request unanswered.
  using NewWindowHook = std::function<QWebEnginePage*()>;

  WebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

  void setNewWindowHook(NewWindowHook hook) { newWindow_ = std::move(hook); }

 protected:
  QWebEnginePage* createWindow(WebWindowType type) override;
  void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                        QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                const QString& sourceID) override;

 private:
  NewWindowHook newWindow_;
};

}  // namespace qm
