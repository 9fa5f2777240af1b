#pragma once
// The little HTTP/1.x the substitute server needs: raw requests as received,
// header and form look-ups, and answers with a Content-Length.
#include <string>
#include <string_view>
#include <vector>

namespace qm::sim {

// One request exactly as it arrived.
struct RawRequest {
  int connectionId = 0;  // 1, 2, ... per accepted connection; requests on one connection share it
  std::string head;      // request line and header lines as received, each with its line end,
                         // up to but not including the blank line that ends the head
  std::string body;      // Content-Length bytes
  std::string method;    // "GET", "POST", ...
  std::string target;    // request target as sent, e.g. "/sim/title?t=%E5%85%B3"
  std::string path;      // target without its query string
  std::string version;   // "HTTP/1.1", "HTTP/1.0"
};

// Splits the request line of head into method, target, path and version; false when malformed.
bool parseRequestLine(RawRequest& request);

// Value of the first header line whose name matches (ASCII case ignored), blanks around it
// removed; found says whether there was one.
std::string headerValue(std::string_view head, std::string_view name, bool* found = nullptr);

// Values of every header line with that name, in order (a request may carry several Cookie lines).
std::vector<std::string> headerValues(std::string_view head, std::string_view name);

// Percent-decoding; with plusIsSpace, "+" stands for a blank (form bodies and queries).
std::string percentDecode(std::string_view text, bool plusIsSpace);

// Value of name in "a=1&b=2" text (a form body or a query string), decoded; empty when absent.
std::string formValue(std::string_view form, std::string_view name);

// Text safe to place in HTML content and attribute values.
std::string htmlEscape(std::string_view text);

struct Response {
  int status = 200;
  std::string contentType = "text/html; charset=utf-8";
  std::vector<std::string> headers;  // extra lines, e.g. "Location: /"
  std::string body;
};

Response redirectTo(const std::string& location);

// Status line, headers (Content-Length and Connection included) and body.
std::string serializeResponse(const Response& response, bool keepAlive);

}  // namespace qm::sim
