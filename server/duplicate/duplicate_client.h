#pragma once
// Puts a run's header values on the window's client (IdHTTP4), where they
// stay: the captcha images of the run and the next run's page request go out
// with them, through the client's one header composer.
#include <string_view>

namespace qm {

class HttpClient;

// The extra lines become the cookie line, "X-Requested-With: XMLHttpRequest"
// and "ccrf-token:" + token. Cache-control is not one of the run's values
// and keeps what the client holds.
void applyDuplicateHeaders(HttpClient& client, std::string_view cookieLine, std::string_view token,
                           std::string_view host);

}  // namespace qm
