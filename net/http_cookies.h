#pragma once
// Cookies that a server's answers set on one HTTP client. They are merged into
// the client's single "Cookie:" line, never sent on a line of their own:
// curl's cookie engine would add a second Cookie line after Host.
#include <ctime>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qm {

class HttpCookies {
 public:
  // One Set-Cookie header value ("name=value; Path=/; HttpOnly"). A later value
  // replaces an earlier one in place; Max-Age <= 0 or an Expires date not after
  // `now` removes the cookie. Domain and path are ignored: a client talks to
  // one server. A name or value holding a control character (tab aside) is
  // refused and changes nothing.
  void take(std::string_view setCookieValue, std::time_t now);

  // The browser's cookie text first, then "; name=value" for every kept cookie
  // whose name the browser text does not hold (no leading "; " when the
  // browser text is empty).
  std::string merged(std::string_view browserText) const;

  const std::vector<std::pair<std::string, std::string>>& kept() const { return kept_; }
  void clear() { kept_.clear(); }

 private:
  std::vector<std::pair<std::string, std::string>> kept_;
};

}  // namespace qm
