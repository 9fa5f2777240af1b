#include "net/file_download.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "net/curl_common.h"

namespace qm {
namespace {

struct Transfer {
  CURL* handle = nullptr;
  int fd = -1;
  const FileDownloadOptions* options = nullptr;
  std::string statusLine;
  long status = 0;
  std::int64_t received = 0;
  std::int64_t reported = -1;
  std::string fileError;
  bool refused = false;  // a status outside 2xx: its body is not ours to keep
  bool tooLarge = false;

  std::int64_t announced() const {
    curl_off_t length = -1;
    if (curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK) return -1;
    return length < 0 ? -1 : static_cast<std::int64_t>(length);
  }

  bool overBound(std::int64_t bytes) const { return options->maxBytes > 0 && bytes > options->maxBytes; }

  void report() {
    if (!options->progress || received == reported) return;
    reported = received;
    options->progress(received, announced());
  }
};

bool isStatusLine(const char* data, size_t size) { return size >= 5 && std::memcmp(data, "HTTP/", 5) == 0; }

size_t onHeader(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const size_t n = size * count;
  if (isStatusLine(data, n)) {
    std::string line(data, n);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    t.statusLine = std::move(line);
    t.status = 0;
    t.refused = false;
  } else if (n <= 2 && t.status == 0) {
    // The blank line that ends a header block: the body starts now, unless
    // this was an interim answer (103 Early Hints) and the real one follows.
    long code = 0;
    curl_easy_getinfo(t.handle, CURLINFO_RESPONSE_CODE, &code);
    if (code >= 100 && code < 200) return n;
    t.status = code;
    if (code >= 200 && code < 300) {
      if (t.overBound(t.announced())) {
        t.tooLarge = true;
        return 0;
      }
      t.reported = -1;
      t.report();
    } else {
      t.refused = true;
    }
  }
  return n;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const size_t n = size * count;
  if (t.refused) return 0;
  if (t.overBound(t.received + static_cast<std::int64_t>(n))) {
    t.tooLarge = true;
    return 0;
  }
  size_t done = 0;
  while (done < n) {
    ssize_t w = ::write(t.fd, data + done, n - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      t.fileError = std::strerror(errno);
      return 0;
    }
    done += static_cast<size_t>(w);
  }
  t.received += static_cast<std::int64_t>(n);
  t.report();
  return n;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto& t = *static_cast<Transfer*>(user);
  return t.options->cancel && t.options->cancel->load() ? 1 : 0;
}

}  // namespace

FileDownloadResult downloadToFile(const std::string& url, int fd, const FileDownloadOptions& options) {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  FileDownloadResult result;
  CURL* h = initialised ? curl_easy_init() : nullptr;
  if (!h) {
    result.error = "cannot create an HTTP handle";
    return result;
  }
  Transfer t;
  t.handle = h;
  t.fd = fd;
  t.options = &options;
  char error[CURL_ERROR_SIZE] = {};
  curl_slist* headers = nullptr;
  // libcurl's own Accept goes; the body comes back as sent, never decompressed.
  headers = curl_slist_append(headers, ("Accept: " + options.accept).c_str());

  setCommonCurlOptions(h, url.c_str(), error, options.connectTimeoutMs);
  curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(h, CURLOPT_USERAGENT, options.userAgent.c_str());
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
  setTransferCallbacks(h, onHeader, onBody, onProgress, &t);
  // A server that stalls, before its answer or inside the body, ends the download.
  if (options.stallSeconds > 0) {
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(options.stallSeconds));
  }
  if (options.maxBytes > 0) curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(options.maxBytes));

  CURLcode code = curl_easy_perform(h);
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &t.status);
  result.received = t.received;
  result.total = t.announced();
  curl_slist_free_all(headers);
  curl_easy_cleanup(h);

  const bool goodStatus = t.status >= 200 && t.status < 300;
  result.cancelled = code == CURLE_ABORTED_BY_CALLBACK;
  result.tooLarge = t.tooLarge || code == CURLE_FILESIZE_EXCEEDED;
  result.timedOut = code == CURLE_OPERATION_TIMEDOUT;
  // The bytes that came must be the bytes announced: a cut answer is no file.
  result.incomplete = code == CURLE_PARTIAL_FILE ||
                      (code == CURLE_OK && goodStatus && result.total >= 0 && result.received != result.total);
  result.ok = code == CURLE_OK && goodStatus && !result.incomplete;
  if (result.ok) return result;
  if (!t.fileError.empty()) {
    result.error = t.fileError;
  } else if (result.tooLarge) {
    result.error = "the answer is longer than " + std::to_string(options.maxBytes) + " bytes";
  } else if (result.incomplete) {
    result.error = "received " + std::to_string(result.received) + " of " + std::to_string(result.total) + " bytes";
  } else if (code != CURLE_OK && !t.refused) {
    result.error = error[0] ? error : curl_easy_strerror(code);
  } else {
    result.error = t.statusLine;
  }
  // A refused status speaks for itself; a transfer that broke off had no answer to show.
  if (goodStatus && !t.refused) result.statusLine.clear();
  else if (t.status != 0) result.statusLine = t.statusLine;
  return result;
}

}  // namespace qm
