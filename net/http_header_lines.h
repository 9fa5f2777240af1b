#pragma once
// The header lines of one request in the order the clients send them, as
// handed to libcurl. Host is left out: libcurl always sends it right after the
// request line.
#include <cstdint>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "net/http_client.h"

namespace qm {

// bodyLength is set for a POST. The first "Cookie:" extra line carries the
// browser text merged with the client's kept cookies. Throws HttpError when a
// line would hold CR, LF or NUL: a value must never add lines of its own.
std::vector<std::string> composeHeaderLines(const HttpHeaderValues& values,
                                            const std::vector<std::string>& extraLines,
                                            const HttpCookies& cookies,
                                            std::optional<std::size_t> bodyLength);

// The form libcurl needs to send a line as given: "Name:" with nothing after
// the colon would remove the header, "Name;" sends it bare.
std::string curlHeaderForm(const std::string& line);

// Lines that stop libcurl's own additions (Expect, Accept, a POST's
// Content-Type) when the composed lines do not carry them.
std::vector<std::string> curlSuppressions(const std::vector<std::string>& composed, bool post);

// The value of a Content-Length line: decimal digits after optional blanks;
// nothing when it is empty, holds anything else or passes INT64_MAX.
std::optional<std::int64_t> contentLengthValue(std::string_view value);

}  // namespace qm
