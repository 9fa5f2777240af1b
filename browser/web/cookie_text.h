#pragma once
// The cookie text a browser sends with a request, built from the cookies its
// store holds, by the cookie rules of RFC 6265 for a plain http request.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct Cookie {
  std::string name;
  std::string value;
  std::string domain;  // "host" for a host-only cookie, ".example.com" for a domain cookie
  std::string path;    // empty is taken as "/"
  bool secure = false;
  bool httpOnly = false;
  std::optional<std::int64_t> expiry;  // Unix seconds; none for a session cookie
  std::uint64_t creation = 0;          // creation order, smaller is older
};

// Cookie text for "http://" + host + path at time now (Unix seconds): the
// matching cookies as name=value joined by "; ", longer paths first, then
// older first. host may carry a port, which does not matter for cookies.
// HttpOnly cookies are included; secure ones are not (the scheme is http).
// No length limit: the whole text comes back.
std::string cookieText(const std::vector<Cookie>& cookies, std::string_view host, std::string_view path, std::int64_t now);

// "Host:port" or "[v6]:port" without the port, lower case.
std::string hostWithoutPort(std::string_view host);

}  // namespace qm
