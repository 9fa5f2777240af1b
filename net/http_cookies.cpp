#include "net/http_cookies.h"

#include "common/ascii.h"

#include <curl/curl.h>

#include <algorithm>
#include <charconv>

namespace qm {
namespace {

std::string_view trimmed(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// Splits "a=b; c=d" at the semicolons, calling f(name, value, hasValue) for each.
template <class F>
void forEachPair(std::string_view text, F f) {
  while (!text.empty()) {
    size_t semi = text.find(';');
    std::string_view piece = text.substr(0, semi);
    text = semi == std::string_view::npos ? std::string_view{} : text.substr(semi + 1);
    size_t eq = piece.find('=');
    if (eq == std::string_view::npos)
      f(trimmed(piece), std::string_view{}, false);
    else
      f(trimmed(piece.substr(0, eq)), trimmed(piece.substr(eq + 1)), true);
  }
}

// Control characters (a tab aside) would end up raw in our own request
// header; browsers refuse such cookies too.
bool holdsControl(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b < 0x20 && b != '\t') || b == 0x7F;
  });
}

}  // namespace

void HttpCookies::take(std::string_view setCookieValue, std::time_t now) {
  std::string name, value;
  bool first = true, expired = false, sawMaxAge = false;
  forEachPair(setCookieValue, [&](std::string_view n, std::string_view v, bool hasValue) {
    if (first) {
      first = false;
      if (hasValue) {
        name = n;
        value = v;
      }
      return;
    }
    if (ascii::sameIgnoringCase(n, "max-age")) {
      long long age = 0;
      auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), age);
      if (ec == std::errc() && p == v.data() + v.size()) {
        sawMaxAge = true;
        expired = age <= 0;
      }
    } else if (ascii::sameIgnoringCase(n, "expires") && !sawMaxAge) {
      // Max-Age wins over Expires, whichever comes first.
      std::string date(v);
      std::time_t at = curl_getdate(date.c_str(), nullptr);
      if (at != -1) expired = at <= now;
    }
  });
  if (name.empty() || holdsControl(name) || holdsControl(value)) return;
  auto it = std::find_if(kept_.begin(), kept_.end(), [&](const auto& c) { return c.first == name; });
  if (expired) {
    if (it != kept_.end()) kept_.erase(it);
  } else if (it != kept_.end()) {
    it->second = value;
  } else {
    kept_.emplace_back(name, value);
  }
}

std::string HttpCookies::merged(std::string_view browserText) const {
  std::vector<std::string_view> browserNames;
  forEachPair(browserText, [&](std::string_view n, std::string_view, bool) {
    if (!n.empty()) browserNames.push_back(n);
  });
  std::string out(browserText);
  for (const auto& [name, value] : kept_) {
    if (std::find(browserNames.begin(), browserNames.end(), name) != browserNames.end()) continue;
    if (!out.empty()) out += "; ";
    out += name;
    out += '=';
    out += value;
  }
  return out;
}

}  // namespace qm
