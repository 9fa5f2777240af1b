#pragma once
// The requests of a duplicate-check run: its three paths, the cookie line,
// the page token and the query body. The run's header values go on the
// client itself (duplicate_client.h), whose one composer sends them.
#include <optional>
#include <string>
#include <string_view>

namespace qm {

inline constexpr std::string_view kDuplicatePagePath = "/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp";
// Fixed text: the numbers are not the time, and the second "?" stands as written.
inline constexpr std::string_view kCaptchaImagePath =
    "/jsp/mems/xjgl/zhcx/qsxscx/imagegen.jsp?t=1547474795715?time=1547474865350";
inline constexpr std::string_view kDuplicateQueryPath =
    "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd/queryQsXs";

// "Cookie:" immediately followed by the cookie text, no blank.
std::string cookieLine(std::string_view cookieText);

// The page's anti-forgery token: the 144 characters after the escaped marker
// token':' turned into 36 bytes. Nothing when the page lacks the marker (a
// login page, an error page): the run cannot start without it.
std::optional<std::string> readDuplicatePageToken(std::string_view page);

// The query body. Name, ID number and code are escaped as JSON string content;
// plain values stand as they are.
std::string BuildDuplicateQueryBody(std::string_view name, std::string_view idNumber, std::string_view captcha);

}  // namespace qm
