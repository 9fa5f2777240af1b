#include "net/curl_common.h"

namespace qm {

void setCommonCurlOptions(CURL* h, const char* url, char* errorBuffer, long connectTimeoutMs) {
  curl_easy_setopt(h, CURLOPT_URL, url);
  // A settings address of file://, ftp:// or ldap:// must reach nothing.
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_PROXY, "");  // never an environment proxy
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs > 0 ? connectTimeoutMs : kConnectTimeoutMs);
}

}  // namespace qm
