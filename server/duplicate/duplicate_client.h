#pragma once
// Puts a run's header values on the window's client (IdHTTP4), where they
// stay: the captcha images of the run and the next run's page request go out
// with them.
#include "server/duplicate/duplicate_request.h"

namespace qm {

class HttpClient;

// The extra lines replace the client's. Cache-control is not one of the run's
// values and keeps what the client holds.
void applyDuplicateHeaders(HttpClient& client, const DuplicateHeaders& headers);

}  // namespace qm
