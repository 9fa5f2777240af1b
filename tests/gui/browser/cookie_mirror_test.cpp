#include <QDateTime>
#include <QNetworkCookie>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <gtest/gtest.h>

#include "browser/web/cookie_mirror.h"
#include "browser/main_window.h"
#include "tests/support/main_window_fixture.h"

namespace qm {
namespace {

using test::kLongWait;

QNetworkCookie makeCookie(const char* name, const char* value, const QString& domain = "127.0.0.1") {
  QNetworkCookie c(name, value);
  c.setDomain(domain);
  c.setPath("/");
  return c;
}

class CookieMirrorTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    state_.serverHost = "127.0.0.1:9";
    store_ = buildForm().profile()->cookieStore();
  }
  void set(const QNetworkCookie& c) { store_->setCookie(c, QUrl("http://127.0.0.1:9/")); }
  bool waitForText(const std::string& host, const std::string& text) {
    return QTest::qWaitFor([&] { return form_->cookies()->ReadBrowserCookies(host) == text; }, kLongWait);
  }

  QWebEngineCookieStore* store_ = nullptr;
};

TEST_F(CookieMirrorTest, FollowsTheStoreAndKeepsTheOrderOnOverwrite) {
  QNetworkCookie session = makeCookie("JSESSIONID", "s1");
  session.setHttpOnly(true);
  set(session);
  set(makeCookie("b", "1"));
  ASSERT_TRUE(waitForText("127.0.0.1:8080", "JSESSIONID=s1; b=1"));
  // A new value keeps the cookie's place.
  session.setValue("s2");
  set(session);
  ASSERT_TRUE(waitForText("127.0.0.1:8080", "JSESSIONID=s2; b=1"));
  store_->deleteCookie(makeCookie("b", "1"), QUrl("http://127.0.0.1:9/"));
  ASSERT_TRUE(waitForText("127.0.0.1:8080", "JSESSIONID=s2"));
  EXPECT_EQ(form_->cookies()->ReadBrowserCookies("127.0.0.2"), "");
}

TEST_F(CookieMirrorTest, ExpiredAndSecureCookiesAreNotSent) {
  QNetworkCookie secure = makeCookie("sec", "1");
  secure.setSecure(true);
  store_->setCookie(secure, QUrl("https://127.0.0.1/"));
  QNetworkCookie soon = makeCookie("soon", "1");
  soon.setExpirationDate(QDateTime::currentDateTime().addSecs(2));
  set(soon);
  set(makeCookie("plain", "1"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form_->cookies()->cookies().size() == 3; }, kLongWait));
  EXPECT_EQ(form_->cookies()->ReadBrowserCookies("127.0.0.1"), "soon=1; plain=1");
  // Once past its date the cookie is no longer sent, whether or not the store said so.
  EXPECT_TRUE(waitForText("127.0.0.1", "plain=1"));
}

}  // namespace
}  // namespace qm
