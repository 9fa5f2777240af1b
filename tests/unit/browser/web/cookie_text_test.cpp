#include "browser/web/cookie_text.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

constexpr std::int64_t kNow = 1700000000;

Cookie cookie(std::string name, std::string value, std::string domain, std::string path = "/",
              std::uint64_t creation = 0) {
  Cookie c;
  c.name = std::move(name);
  c.value = std::move(value);
  c.domain = std::move(domain);
  c.path = std::move(path);
  c.creation = creation;
  return c;
}

TEST(CookieText, EmptyStoreGivesEmptyText) { EXPECT_EQ(cookieText({}, "127.0.0.1:8080", "/", kNow), ""); }

struct HostCase {
  const char* host;
  const char* domain;
  bool sent;
};

class CookieDomainTest : public ::testing::TestWithParam<HostCase> {};

TEST_P(CookieDomainTest, DomainMatching) {
  const HostCase& c = GetParam();
  std::string text = cookieText({cookie("a", "1", c.domain)}, c.host, "/", kNow);
  EXPECT_EQ(text, c.sent ? "a=1" : "") << c.host << " / " << c.domain;
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, CookieDomainTest,
    ::testing::Values(HostCase{"xj.example.cn", "xj.example.cn", true},      // host-only, same host
                      HostCase{"www.xj.example.cn", "xj.example.cn", false}, // host-only, subdomain
                      HostCase{"xj.example.cn", "example.cn", false},        // host-only, other host
                      HostCase{"xj.example.cn", ".example.cn", true},        // domain cookie
                      HostCase{"example.cn", ".example.cn", true},
                      HostCase{"badexample.cn", ".example.cn", false},       // suffix not at a dot
                      HostCase{"XJ.Example.CN", "xj.example.cn", true},      // case ignored
                      HostCase{"127.0.0.1:8080", "127.0.0.1", true},         // the port does not matter
                      HostCase{"127.0.0.1:9090", "127.0.0.1", true},
                      HostCase{"127.0.0.2:8080", "127.0.0.1", false},
                      HostCase{"[::1]:8080", "::1", true}));

TEST(CookieText, OnlyRootPathCookiesGoToTheServerRoot) {
  std::vector<Cookie> store = {cookie("root", "1", "h"), cookie("jsp", "2", "h", "/jsp"),
                               cookie("emptyPath", "3", "h", "")};
  EXPECT_EQ(cookieText(store, "h", "/", kNow), "root=1; emptyPath=3");
  EXPECT_EQ(cookieText(store, "h", "/jsp/public/head.jsp", kNow), "jsp=2; root=1; emptyPath=3");
  EXPECT_EQ(cookieText(store, "h", "/jspx", kNow), "root=1; emptyPath=3");  // "/jsp" is no prefix of a segment
}

TEST(CookieText, LongerPathsFirstThenCreationOrder) {
  std::vector<Cookie> store = {cookie("late", "1", "h", "/", 5), cookie("deep", "2", "h", "/a/b", 9),
                               cookie("early", "3", "h", "/", 1), cookie("mid", "4", "h", "/a", 3)};
  EXPECT_EQ(cookieText(store, "h", "/a/b/c", kNow), "deep=2; mid=4; early=3; late=1");
}

TEST(CookieText, SecureCookiesAreNotSentOverHttp) {
  Cookie secure = cookie("s", "1", "h");
  secure.secure = true;
  EXPECT_EQ(cookieText({secure, cookie("p", "2", "h")}, "h", "/", kNow), "p=2");
}

TEST(CookieText, ExpiredCookiesAreDropped) {
  Cookie expired = cookie("old", "1", "h");
  expired.expiry = kNow - 1;
  Cookie atNow = cookie("now", "2", "h");
  atNow.expiry = kNow;
  Cookie future = cookie("future", "3", "h");
  future.expiry = kNow + 60;
  EXPECT_EQ(cookieText({expired, atNow, future, cookie("session", "4", "h")}, "h", "/", kNow),
            "future=3; session=4");
}

TEST(CookieText, HttpOnlyCookiesAreIncluded) {
  Cookie session = cookie("JSESSIONID", "ABC123", "127.0.0.1");
  session.httpOnly = true;
  EXPECT_EQ(cookieText({session}, "127.0.0.1:8080", "/", kNow), "JSESSIONID=ABC123");
}

TEST(CookieText, NamelessCookieIsSentAsItsValue) {
  EXPECT_EQ(cookieText({cookie("", "flag", "h"), cookie("a", "1", "h")}, "h", "/", kNow), "flag; a=1");
}

TEST(CookieText, LongTextIsKeptWhole) {
  // Past the old 1023-character buffer: the session must not be lost.
  std::vector<Cookie> store;
  std::string expected;
  for (int i = 0; i < 40; ++i) {
    store.push_back(cookie("c" + std::to_string(i), std::string(30, static_cast<char>('a' + i % 26)), "h", "/", i));
    if (!expected.empty()) expected += "; ";
    expected += store.back().name + "=" + store.back().value;
  }
  std::string text = cookieText(store, "h", "/", kNow);
  EXPECT_GT(text.size(), 1023u);
  EXPECT_EQ(text, expected);
}

TEST(HostWithoutPort, DropsThePortAndLowersTheCase) {
  EXPECT_EQ(hostWithoutPort("XJ.Example.cn:8080"), "xj.example.cn");
  EXPECT_EQ(hostWithoutPort("10.0.0.1"), "10.0.0.1");
  EXPECT_EQ(hostWithoutPort("[::1]:80"), "::1");
}

}  // namespace
}  // namespace qm
