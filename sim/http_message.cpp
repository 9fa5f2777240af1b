#include "sim/http_message.h"

#include <algorithm>

namespace qm::sim {
namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const char* reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 413: return "Payload Too Large";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    default: return "Unknown";
  }
}

}  // namespace

bool parseRequestLine(RawRequest& request) {
  const std::string_view head = request.head;
  const std::string_view line = trimBlanks(head.substr(0, head.find('\n')));
  const auto sp1 = line.find(' ');
  const auto sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
  if (sp1 == 0 || sp2 == std::string_view::npos || sp2 == sp1 + 1) return false;
  request.method = std::string(line.substr(0, sp1));
  request.target = std::string(line.substr(sp1 + 1, sp2 - sp1 - 1));
  request.version = std::string(line.substr(sp2 + 1));
  request.path = request.target.substr(0, request.target.find('?'));
  return request.version.rfind("HTTP/1.", 0) == 0;
}

std::vector<std::string> headerValues(std::string_view head, std::string_view name) {
  std::vector<std::string> values;
  std::size_t pos = head.find('\n');  // skip the request line
  while (pos != std::string_view::npos && pos + 1 < head.size()) {
    const std::size_t start = pos + 1;
    pos = head.find('\n', start);
    const std::string_view line = head.substr(start, pos == std::string_view::npos ? head.npos : pos - start);
    const auto colon = line.find(':');
    if (colon != std::string_view::npos && equalsIgnoreCase(line.substr(0, colon), name))
      values.emplace_back(trimBlanks(line.substr(colon + 1)));
  }
  return values;
}

std::string headerValue(std::string_view head, std::string_view name, bool* found) {
  auto values = headerValues(head, name);
  if (found) *found = !values.empty();
  return values.empty() ? std::string() : values.front();
}

std::string percentDecode(std::string_view text, bool plusIsSpace) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      const int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += (plusIsSpace && c == '+') ? ' ' : c;
  }
  return out;
}

std::string formValue(std::string_view form, std::string_view name) {
  std::size_t start = 0;
  while (start <= form.size()) {
    const std::size_t end = std::min(form.find('&', start), form.size());
    const std::string_view pair = form.substr(start, end - start);
    const auto eq = pair.find('=');
    if (percentDecode(pair.substr(0, eq), true) == name)
      return eq == std::string_view::npos ? std::string() : percentDecode(pair.substr(eq + 1), true);
    start = end + 1;
  }
  return {};
}

std::string htmlEscape(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

Response redirectTo(const std::string& location) {
  Response r;
  r.status = 302;
  r.headers.push_back("Location: " + location);
  r.body = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>302</title></head><body></body></html>";
  return r;
}

std::string serializeResponse(const Response& response, bool keepAlive) {
  std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + reason(response.status) + "\r\n";
  if (!response.contentType.empty()) out += "Content-Type: " + response.contentType + "\r\n";
  for (const auto& line : response.headers) out += line + "\r\n";
  out += "Cache-Control: no-cache\r\n";
  out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  out += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
  out += "\r\n";
  out += response.body;
  return out;
}

}  // namespace qm::sim
