#pragma once
// Mirror of the web view's cookie store, so direct server requests can ride
// on the browser's session (HttpOnly cookies included).
#include <QNetworkCookie>
#include <QObject>
#include <QPointer>
#include <optional>
#include <string>
#include <vector>

#include "browser/web/cookie_text.h"

class QWebEngineCookieStore;

namespace qm {

class CookieMirror : public QObject {
  Q_OBJECT
 public:
  explicit CookieMirror(QWebEngineCookieStore* store, QObject* parent = nullptr);

  // Cookie text that the browser would send to "http://" + serverHost.
  std::string ReadBrowserCookies(const std::string& serverHost) const;
  const std::vector<Cookie>& cookies() const { return cookies_; }

 signals:
  void changed();

 private:
  void added(const QNetworkCookie& cookie);
  void removed(const QNetworkCookie& cookie);

  QPointer<QWebEngineCookieStore> store_;
  std::vector<Cookie> cookies_;
  std::uint64_t nextCreation_ = 1;
  // An overwrite arrives as a removal followed at once by the new cookie;
  // the new one keeps the old creation order, as browsers do.
  std::optional<Cookie> lastRemoved_;
};

// A store cookie in the mirror's terms (creation left 0).
Cookie toCookie(const QNetworkCookie& cookie);

}  // namespace qm
