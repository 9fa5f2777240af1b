#pragma once
// The options every libcurl transfer of ours starts from, for HttpClient and
// the file downloads alike: no environment proxy, no signals, no redirects
// followed, only http and https (also where a redirect would lead), and a
// bounded connection set-up. Internal to net/.
#include <curl/curl.h>

namespace qm {

// A connection that is not set up within this fails.
inline constexpr long kConnectTimeoutMs = 20000;

// url: the request's address; errorBuffer: CURL_ERROR_SIZE bytes for libcurl's words.
void setCommonCurlOptions(CURL* handle, const char* url, char* errorBuffer, long connectTimeoutMs = kConnectTimeoutMs);

// Header, body and progress callbacks, all handed the same transfer state.
template <typename Transfer>
void setTransferCallbacks(CURL* handle, curl_write_callback onHeader, curl_write_callback onBody,
                          curl_xferinfo_callback onProgress, Transfer* transfer) {
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, transfer);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, transfer);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, onProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, transfer);
}

}  // namespace qm
