#include "net/http_header_lines.h"

#include "common/ascii.h"

#include <algorithm>

namespace qm {
namespace {

void addIfSet(std::vector<std::string>& out, const char* name, const std::string& value) {
  if (!value.empty()) out.push_back(std::string(name) + ": " + value);
}

}  // namespace

std::vector<std::string> composeHeaderLines(const HttpHeaderValues& v,
                                            const std::vector<std::string>& extraLines,
                                            const HttpCookies& cookies,
                                            std::optional<std::size_t> bodyLength) {
  std::vector<std::string> out;
  addIfSet(out, "Connection", v.connection);
  addIfSet(out, "Content-Type", v.contentType);
  if (bodyLength) out.push_back("Content-Length: " + std::to_string(*bodyLength));
  addIfSet(out, "Cache-control", v.cacheControl);
  bool cookieMerged = false;
  for (const auto& line : extraLines) {
    if (!cookieMerged && ascii::startsWithIgnoringCase(line, "cookie:")) {
      cookieMerged = true;
      out.push_back(line.substr(0, 7) + cookies.merged(std::string_view(line).substr(7)));
    } else {
      out.push_back(line);
    }
  }
  addIfSet(out, "Accept", v.accept);
  addIfSet(out, "Accept-Encoding", v.acceptEncoding);
  addIfSet(out, "Accept-Language", v.acceptLanguage);
  addIfSet(out, "Referer", v.referer);
  addIfSet(out, "User-Agent", v.userAgent);
  for (const auto& line : out)
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
      throw HttpError("a header line holds a line break or a NUL");
  return out;
}

std::string curlHeaderForm(const std::string& line) {
  size_t colon = line.find(':');
  if (colon == std::string::npos) return line;
  bool emptyValue = std::all_of(line.begin() + colon + 1, line.end(),
                                [](char c) { return c == ' ' || c == '\t'; });
  // libcurl drops blank values anyway; "Name;" is its way to send "Name:".
  if (emptyValue) return line.substr(0, colon) + ";";
  return line;
}

std::vector<std::string> curlSuppressions(const std::vector<std::string>& composed, bool post) {
  auto has = [&](std::string_view prefix) {
    return std::any_of(composed.begin(), composed.end(),
                       [&](const std::string& l) { return ascii::startsWithIgnoringCase(l, prefix); });
  };
  std::vector<std::string> out{"Expect:"};
  if (!has("accept:")) out.push_back("Accept:");
  if (post && !has("content-type:")) out.push_back("Content-Type:");
  return out;
}

std::optional<std::int64_t> contentLengthValue(std::string_view value) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r' || value.back() == '\n'))
    value.remove_suffix(1);
  if (value.empty()) return std::nullopt;
  std::int64_t n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    if (n > (INT64_MAX - digit) / 10) return std::nullopt;
    n = n * 10 + digit;
  }
  return n;
}

}  // namespace qm
