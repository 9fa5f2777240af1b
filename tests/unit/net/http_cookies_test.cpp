#include "net/http_cookies.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

constexpr std::time_t kNow = 1700000000;  // 2023-11-14

struct MergeCase {
  const char* name;
  std::vector<std::string> setCookies;
  std::string browserText;
  std::string expected;
};

class CookieMerge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(CookieMerge, MergesKeptCookiesAfterBrowserText) {
  HttpCookies jar;
  for (const auto& v : GetParam().setCookies) jar.take(v, kNow);
  EXPECT_EQ(jar.merged(GetParam().browserText), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CookieMerge,
    ::testing::Values(
        MergeCase{"nothing_kept", {}, "JSESSIONID=a; b=c", "JSESSIONID=a; b=c"},
        MergeCase{"nothing_at_all", {}, "", ""},
        MergeCase{"appended", {"SRV=1; Path=/"}, "JSESSIONID=a", "JSESSIONID=a; SRV=1"},
        MergeCase{"no_leading_separator", {"SRV=1; Path=/; HttpOnly"}, "", "SRV=1"},
        MergeCase{"browser_name_wins", {"JSESSIONID=server; Path=/", "X=9"}, "a=1; JSESSIONID=b",
                  "a=1; JSESSIONID=b; X=9"},
        MergeCase{"latest_value_in_first_place", {"A=1", "B=2", "A=3"}, "", "A=3; B=2"},
        MergeCase{"max_age_zero_removes", {"A=1", "B=2", "A=gone; Max-Age=0"}, "", "B=2"},
        MergeCase{"past_expires_removes", {"A=1", "A=x; Expires=Thu, 01 Jan 1970 00:00:00 GMT"}, "", ""},
        MergeCase{"future_expires_keeps", {"A=1; Expires=Fri, 01 Jan 2100 00:00:00 GMT"}, "", "A=1"},
        MergeCase{"max_age_beats_expires",
                  {"A=1; Expires=Thu, 01 Jan 1970 00:00:00 GMT; Max-Age=600"}, "", "A=1"},
        MergeCase{"value_with_equals_sign", {"T=a=b==; Path=/"}, "", "T=a=b=="},
        MergeCase{"nameless_ignored", {"=x", "novalue"}, "k=v", "k=v"},
        MergeCase{"empty_value_kept", {"E=; Path=/"}, "k=v", "k=v; E="}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm
