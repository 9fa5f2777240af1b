#include "browser/web/cookie_mirror.h"

#include <QDateTime>
#include <QWebEngineCookieStore>
#include <algorithm>

namespace qm {
namespace {

bool sameKey(const Cookie& a, const Cookie& b) { return a.name == b.name && a.domain == b.domain && a.path == b.path; }

}  // namespace

Cookie toCookie(const QNetworkCookie& c) {
  Cookie out;
  out.name = c.name().toStdString();
  out.value = c.value().toStdString();
  out.domain = c.domain().toLower().toStdString();
  out.path = c.path().isEmpty() ? std::string("/") : c.path().toStdString();
  out.secure = c.isSecure();
  out.httpOnly = c.isHttpOnly();
  if (!c.isSessionCookie() && c.expirationDate().isValid()) out.expiry = c.expirationDate().toSecsSinceEpoch();
  return out;
}

CookieMirror::CookieMirror(QWebEngineCookieStore* store, QObject* parent) : QObject(parent), store_(store) {
  connect(store, &QWebEngineCookieStore::cookieAdded, this, &CookieMirror::added);
  connect(store, &QWebEngineCookieStore::cookieRemoved, this, &CookieMirror::removed);
  store->loadAllCookies();
}

void CookieMirror::added(const QNetworkCookie& qc) {
  Cookie c = toCookie(qc);
  auto it = std::find_if(cookies_.begin(), cookies_.end(), [&](const Cookie& k) { return sameKey(k, c); });
  if (it != cookies_.end()) {
    c.creation = it->creation;
    *it = std::move(c);
  } else {
    c.creation = lastRemoved_ && sameKey(*lastRemoved_, c) ? lastRemoved_->creation : nextCreation_++;
    cookies_.push_back(std::move(c));
  }
  lastRemoved_.reset();
  emit changed();
}

void CookieMirror::removed(const QNetworkCookie& qc) {
  Cookie c = toCookie(qc);
  auto it = std::find_if(cookies_.begin(), cookies_.end(), [&](const Cookie& k) { return sameKey(k, c); });
  if (it == cookies_.end()) return;
  lastRemoved_ = *it;
  cookies_.erase(it);
  emit changed();
}

std::string CookieMirror::ReadBrowserCookies(const std::string& serverHost) const {
  return cookieText(cookies_, serverHost, "/", QDateTime::currentSecsSinceEpoch());
}

}  // namespace qm
