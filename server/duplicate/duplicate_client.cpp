#include "server/duplicate/duplicate_client.h"

#include <string>

#include "net/http_client.h"
#include "server/duplicate/duplicate_request.h"

namespace qm {

void applyDuplicateHeaders(HttpClient& client, std::string_view cookieLine, std::string_view token,
                           std::string_view host) {
  client.clearExtraLines();
  client.addExtraLine(std::string(cookieLine));
  client.addExtraLine("X-Requested-With: XMLHttpRequest");
  client.addExtraLine("ccrf-token:" + std::string(token));
  HttpHeaderValues& h = client.headers();
  // A language list as Connection: what the server has always been sent.
  h.connection = "zh-CN,zh";
  h.contentType = "application/json";
  h.accept = "*/*";
  h.acceptEncoding = "gzip, deflate";
  h.acceptLanguage = "zh-cn";
  h.referer = "http://" + std::string(host) + std::string(kDuplicatePagePath) + "?";
  h.userAgent =
      "Mozilla/5.0 (Windows NT 5.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/30.0.1599.69 Safari/537.36 "
      "TheWorld 6";
}

}  // namespace qm
