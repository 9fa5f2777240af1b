#include "browser/web/cookie_text.h"

#include "common/ascii.h"

#include <algorithm>

namespace qm {
namespace {

bool domainMatches(const std::string& host, std::string_view domain) {
  if (domain.empty()) return false;
  if (domain.front() != '.') return host == ascii::lowered(domain);  // host-only
  std::string d = ascii::lowered(domain.substr(1));
  if (host == d) return true;
  return host.size() > d.size() && host.compare(host.size() - d.size(), d.size(), d) == 0 &&
         host[host.size() - d.size() - 1] == '.';
}

bool pathMatches(std::string_view requestPath, std::string_view cookiePath) {
  if (cookiePath.empty()) cookiePath = "/";
  if (requestPath == cookiePath) return true;
  if (requestPath.substr(0, cookiePath.size()) != cookiePath) return false;
  return cookiePath.back() == '/' || requestPath[cookiePath.size()] == '/';
}

std::size_t pathLength(const Cookie& c) { return c.path.empty() ? 1 : c.path.size(); }

}  // namespace

std::string hostWithoutPort(std::string_view host) {
  if (!host.empty() && host.front() == '[') {
    auto close = host.find(']');
    return ascii::lowered(close == std::string_view::npos ? host.substr(1) : host.substr(1, close - 1));
  }
  auto colon = host.find(':');
  return ascii::lowered(colon == std::string_view::npos ? host : host.substr(0, colon));
}

std::string cookieText(const std::vector<Cookie>& cookies, std::string_view host, std::string_view path,
                       std::int64_t now) {
  const std::string h = hostWithoutPort(host);
  if (path.empty()) path = "/";
  std::vector<const Cookie*> sent;
  for (const Cookie& c : cookies) {
    if (c.secure) continue;
    if (c.expiry && *c.expiry <= now) continue;
    if (!domainMatches(h, c.domain) || !pathMatches(path, c.path)) continue;
    sent.push_back(&c);
  }
  std::stable_sort(sent.begin(), sent.end(), [](const Cookie* a, const Cookie* b) {
    if (pathLength(*a) != pathLength(*b)) return pathLength(*a) > pathLength(*b);
    return a->creation < b->creation;
  });
  std::string text;
  for (const Cookie* c : sent) {
    if (!text.empty()) text += "; ";
    // A nameless cookie goes out as its value alone, as browsers send it.
    if (!c->name.empty()) text += c->name + '=';
    text += c->value;
  }
  return text;
}

}  // namespace qm
