#pragma once
// The requests of a duplicate-check run: its three paths, the header values
// the run sets on its client (they stay there for the captcha images and for
// the next run's page request), the header lines in the order they go out,
// and the query body.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

inline constexpr std::string_view kDuplicatePagePath = "/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp";
// Fixed text: the numbers are not the time, and the second "?" stands as written.
inline constexpr std::string_view kCaptchaImagePath =
    "/jsp/mems/xjgl/zhcx/qsxscx/imagegen.jsp?t=1547474795715?time=1547474865350";
inline constexpr std::string_view kDuplicateQueryPath =
    "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd/queryQsXs";

// Header values of one client, with the same fields and the same meaning as
// the HTTP client's (an empty value is not sent), plus its extra lines.
struct DuplicateHeaders {
  std::string connection;
  std::string contentType;
  std::string cacheControl;
  std::string accept;
  std::string acceptEncoding;
  std::string acceptLanguage;
  std::string referer;
  std::string userAgent;
  std::vector<std::string> extraLines;
};

// "Cookie:" immediately followed by the cookie text, no blank.
std::string cookieLine(std::string_view cookieText);

// The values a run sets before its first query. `cookieLine` is the line added
// before the page request; it stays the first extra line.
DuplicateHeaders duplicateRunHeaders(std::string_view cookieLine, std::string_view token, std::string_view host);

// The header lines in the order the client sends them: Connection,
// Content-Type, Content-Length (POST only), Cache-control, the extra lines as
// added, Host, Accept, Accept-Encoding, Accept-Language, Referer, User-Agent;
// each only when it has a value.
std::vector<std::string> orderedHeaderLines(const DuplicateHeaders& headers, std::string_view host,
                                            std::optional<std::size_t> bodyLength);

// The page's anti-forgery token: the 144 characters after the escaped marker
// token':' turned into 36 bytes. A missing marker is not detected.
std::string ReadDuplicatePageToken(std::string_view page);

// The query body. Name, ID number and code are escaped as JSON string content;
// plain values stand as they are.
std::string BuildDuplicateQueryBody(std::string_view name, std::string_view idNumber, std::string_view captcha);

}  // namespace qm
