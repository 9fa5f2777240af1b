#include "server/duplicate/duplicate_client.h"

#include "net/http_client.h"

namespace qm {

void applyDuplicateHeaders(HttpClient& client, const DuplicateHeaders& headers) {
  client.clearExtraLines();
  for (const std::string& line : headers.extraLines) client.addExtraLine(line);
  HttpHeaderValues& h = client.headers();
  h.connection = headers.connection;
  h.contentType = headers.contentType;
  h.accept = headers.accept;
  h.acceptEncoding = headers.acceptEncoding;
  h.acceptLanguage = headers.acceptLanguage;
  h.referer = headers.referer;
  h.userAgent = headers.userAgent;
}

}  // namespace qm
