#include "net/http_client.h"

#include <curl/curl.h>

#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "net/curl_common.h"
#include "net/http_header_lines.h"

namespace qm {
namespace {

void ensureCurlGlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

using Clock = std::chrono::steady_clock;

// What one perform() call collects through libcurl's callbacks.
struct Transfer {
  const TransferCallbacks* cb = nullptr;
  long readTimeoutMs = 0;
  const std::atomic<bool>* abort = nullptr;
  CURL* easy = nullptr;
  bool connected = false;  // the read time-out counts from here; connecting has its own limit
  Clock::time_point lastActivity = Clock::now();
  bool timedOut = false;
  std::size_t maxBody = kDefaultMaxAnswerBytes;
  bool discard = false;
  bool tooLarge = false;
  const std::function<bool()>* stopCheck = nullptr;
  long stopGraceMs = 0;
  std::optional<Clock::time_point> stopSeen;
  bool stopped = false;

  std::string_view upload;
  std::size_t sent = 0;
  bool uploadBegun = false, uploadEnded = false;

  std::string statusLine;
  std::int64_t announced = 0;
  bool downloadBegun = false;
  std::int64_t received = 0;
  std::string body;
  std::vector<std::string> setCookies;

  void beginUpload() {
    if (uploadBegun) return;
    uploadBegun = true;
    if (cb->begin) cb->begin(static_cast<std::int64_t>(upload.size()));
  }
  // The body goes out with the request head in one write; an answer means it was all sent.
  void uploadSent() {
    if (!uploadBegun || uploadEnded || sent == upload.size()) return;
    sent = upload.size();
    if (cb->progress) cb->progress(static_cast<std::int64_t>(sent));
  }
  void endUpload() {
    if (!uploadBegun || uploadEnded) return;
    uploadEnded = true;
    if (cb->end) cb->end();
  }
  void beginDownload() {
    if (downloadBegun) return;
    endUpload();
    downloadBegun = true;
    if (cb->begin) cb->begin(announced);
  }
};

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && strncasecmp(s.data(), prefix.data(), prefix.size()) == 0;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

int statusOf(std::string_view statusLine) {
  // "HTTP/1.1 302 Found"
  size_t sp = statusLine.find(' ');
  if (sp == std::string_view::npos) return 0;
  int code = 0;
  for (size_t i = sp + 1; i < statusLine.size() && statusLine[i] >= '0' && statusLine[i] <= '9'; ++i)
    code = code * 10 + (statusLine[i] - '0');
  return code;
}

size_t onHeader(char* data, size_t size, size_t n, void* user) {
  auto* t = static_cast<Transfer*>(user);
  t->lastActivity = Clock::now();
  std::string_view line(data, size * n);
  if (startsWithNoCase(line, "HTTP/")) {
    t->uploadSent();
    t->statusLine = trimmed(line);
    t->announced = 0;
  } else if (startsWithNoCase(line, "content-length:")) {
    // A value that is no number or passes the 64-bit range announces no size.
    t->announced = contentLengthValue(line.substr(15)).value_or(0);
  } else if (startsWithNoCase(line, "set-cookie:")) {
    t->setCookies.emplace_back(trimmed(line.substr(11)));
  } else if (trimmed(line).empty()) {
    int status = statusOf(t->statusLine);
    if (status >= 200 || status == 0) t->beginDownload();  // 1xx answers carry no body
  }
  return size * n;
}

size_t onBody(char* data, size_t size, size_t n, void* user) {
  auto* t = static_cast<Transfer*>(user);
  t->lastActivity = Clock::now();
  t->beginDownload();
  t->received += static_cast<std::int64_t>(size * n);
  if (static_cast<std::uint64_t>(t->received) > t->maxBody) {
    t->tooLarge = true;
    return 0;  // ends the transfer with a write error
  }
  if (!t->discard) t->body.append(data, size * n);
  if (t->cb->progress) t->cb->progress(t->received);
  return size * n;
}

// Read time-out watchdog, abort and stop checks: libcurl calls this at least
// about once a second, and after every wait of ours.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t ulnow) {
  auto* t = static_cast<Transfer*>(user);
  if (t->abort && t->abort->load()) return 1;
  // The whole body is out: the upload's end shows while the server works.
  if (t->uploadBegun && !t->uploadEnded && static_cast<std::size_t>(ulnow) >= t->upload.size()) {
    t->uploadSent();
    t->endUpload();
  }
  if (t->stopCheck && *t->stopCheck && (*t->stopCheck)()) {
    const auto now = Clock::now();
    if (!t->stopSeen) t->stopSeen = now;
    if (now - *t->stopSeen >= std::chrono::milliseconds(t->stopGraceMs)) {
      t->stopped = true;
      return 1;
    }
  }
  if (t->readTimeoutMs <= 0) return 0;
  if (!t->connected) {
    curl_off_t connect = 0, pretransfer = 0;
    curl_easy_getinfo(t->easy, CURLINFO_CONNECT_TIME_T, &connect);
    curl_easy_getinfo(t->easy, CURLINFO_PRETRANSFER_TIME_T, &pretransfer);
    if (connect <= 0 && pretransfer <= 0 && ulnow <= 0) return 0;
    t->connected = true;
    t->lastActivity = Clock::now();
  }
  auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t->lastActivity);
  if (idle.count() < t->readTimeoutMs) return 0;
  t->timedOut = true;
  return 1;
}

struct HeaderList {
  curl_slist* list = nullptr;
  HeaderList() = default;
  HeaderList(const HeaderList&) = delete;
  HeaderList& operator=(HeaderList&& o) noexcept {
    std::swap(list, o.list);
    return *this;
  }
  ~HeaderList() { curl_slist_free_all(list); }
  void add(const std::string& line) {
    curl_slist* next = curl_slist_append(list, line.c_str());
    if (!next) throw HttpError("out of memory building the request");
    list = next;
  }
};

}  // namespace

struct HttpClient::Impl {
  // Easy handles added to a multi handle share its connection cache; the
  // multi interface lets a caller work while a request is out.
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  std::mutex workerMutex;
  std::unique_ptr<QThreadPool> worker;
  std::atomic<bool> aborting{false};
  bool holdsConnection = false;  // a GET left its connection open for reuse
  char error[CURL_ERROR_SIZE] = {};

  // The request that is out, from begin() to finish().
  bool active = false;
  bool isPost = false;
  bool done = false;
  CURLcode result = CURLE_OK;
  std::string body;
  HeaderList headerList;
  Transfer transfer;

  void dropHandles() {
    if (easy && multi && active) curl_multi_remove_handle(multi, easy);
    active = false;
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
    easy = nullptr;
    multi = nullptr;
    holdsConnection = false;
  }

  // One round of work on the transfer; true once it has ended.
  bool step() {
    int running = 0;
    const CURLMcode mc = curl_multi_perform(multi, &running);
    if (mc != CURLM_OK) {
      done = true;
      result = CURLE_RECV_ERROR;
      std::snprintf(error, sizeof error, "%s", curl_multi_strerror(mc));
      return true;
    }
    int left = 0;
    while (CURLMsg* m = curl_multi_info_read(multi, &left)) {
      if (m->msg == CURLMSG_DONE && m->easy_handle == easy) {
        done = true;
        result = m->data.result;
      }
    }
    return done;
  }

  void wait() {
    // libcurl shortens the wait to its own timers; the progress callback
    // (read time-out, abort) runs at least about once a second, and after
    // each of these waits, so a stop check is seen within a fifth of one.
    curl_multi_poll(multi, nullptr, 0, transfer.stopCheck ? 200 : 1000, nullptr);
  }
};

HttpClient::HttpClient(std::string name, long readTimeoutMs)
    : name_(std::move(name)), readTimeoutMs_(readTimeoutMs), impl_(std::make_unique<Impl>()) {
  ensureCurlGlobalInit();
}

HttpClient::~HttpClient() {
  // A request without a read time-out may hang on a silent server: end it so the owner can go.
  impl_->aborting = true;
  if (impl_->worker) impl_->worker->waitForDone();
  impl_->dropHandles();
}

QThreadPool& HttpClient::worker() {
  std::lock_guard lock(impl_->workerMutex);
  if (!impl_->worker) {
    impl_->worker = std::make_unique<QThreadPool>();
    impl_->worker->setMaxThreadCount(1);
  }
  return *impl_->worker;
}

void HttpClient::disconnect() {
  // The multi handle owns the connection cache; new handles hold none.
  if (impl_->active) {
    try {
      finishRequest();
    } catch (const HttpError&) {
    }
  }
  impl_->dropHandles();
}

bool HttpClient::requestOut() const { return impl_->active; }

std::string HttpClient::get(const std::string& url) {
  begin(url, nullptr);
  return finishRequest();
}

std::string HttpClient::post(const std::string& url, std::string_view body) {
  startPost(url, body);
  return finishRequest();
}

void HttpClient::startPost(const std::string& url, std::string_view body) {
  // A POST never rides on a held connection. POSTs forbid reuse, so only a GET
  // leaves one; keeping the handles otherwise saves rebuilding them per page.
  if (impl_->holdsConnection && !impl_->active) impl_->dropHandles();
  begin(url, &body);
  // Push the request out now, so the server works while the caller does.
  Impl& m = *impl_;
  while (!m.step()) {
    curl_off_t sent = 0;
    curl_easy_getinfo(m.easy, CURLINFO_SIZE_UPLOAD_T, &sent);
    if (static_cast<std::size_t>(sent) >= m.body.size()) break;
    m.wait();
  }
  if (!m.done) {
    m.transfer.uploadSent();
    m.transfer.endUpload();
  }
}

void HttpClient::begin(const std::string& url, const std::string_view* body) {
  if (impl_->active) throw std::logic_error("a request of this client is still out");
  Impl& m = *impl_;
  if (!m.multi) m.multi = curl_multi_init();
  if (!m.easy) m.easy = curl_easy_init();
  CURL* h = m.easy;
  if (!m.multi || !h) throw HttpError("cannot create an HTTP handle");
  curl_easy_reset(h);  // options only; the connection cache is the multi handle's

  m.isPost = body != nullptr;
  m.done = false;
  m.result = CURLE_OK;
  auto lines = composeHeaderLines(headers_, extraLines_, cookies_,
                                  m.isPost ? std::optional<std::size_t>(body->size()) : std::nullopt);
  m.headerList = HeaderList();
  for (const auto& line : lines) m.headerList.add(curlHeaderForm(line));
  for (const auto& line : curlSuppressions(lines, m.isPost)) m.headerList.add(line);

  static const TransferCallbacks kNone;
  m.transfer = Transfer();
  Transfer& t = m.transfer;
  t.cb = (callbacks_.begin || callbacks_.progress || callbacks_.end) ? &callbacks_ : &kNone;
  t.readTimeoutMs = readTimeoutMs_;
  t.abort = &m.aborting;
  t.easy = h;
  t.maxBody = maxAnswerBytes_;
  t.discard = discardBody_;
  t.stopCheck = stopCheck_ ? &stopCheck_ : nullptr;
  t.stopGraceMs = stopGraceMs_;
  m.error[0] = '\0';

  setCommonCurlOptions(h, url.c_str(), m.error, connectTimeoutMs_);
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, m.headerList.list);
  qm::setTransferCallbacks(h, onHeader, onBody, onProgress, &t);
  if (totalTimeoutMs_ > 0) curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, totalTimeoutMs_);
  if (m.isPost) {
    m.body.assign(*body);
    t.upload = m.body;
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    // Given as a block (not a read callback) so head and body leave in one write.
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, m.body.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m.body.size()));
    curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
  } else {
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  }

  if (m.isPost) t.beginUpload();  // an empty body reports too
  const CURLMcode mc = curl_multi_add_handle(m.multi, h);
  if (mc != CURLM_OK) throw HttpError(curl_multi_strerror(mc));
  m.active = true;
}

std::string HttpClient::finishRequest() {
  Impl& m = *impl_;
  if (!m.active) throw std::logic_error("no request of this client is out");
  while (!m.step()) m.wait();
  curl_multi_remove_handle(m.multi, m.easy);
  m.active = false;
  m.holdsConnection = !m.isPost;
  Transfer& t = m.transfer;

  // Cookies count even when the answer makes the request fail.
  std::time_t now = std::time(nullptr);
  for (const auto& value : t.setCookies) cookies_.take(value, now);
  t.endUpload();
  if (t.downloadBegun && t.cb->end) t.cb->end();

  if (m.result != CURLE_OK) {
    if (t.timedOut) throw HttpError("Read timed out.");
    if (t.tooLarge)
      throw HttpError("the answer is longer than " + std::to_string(t.maxBody) + " bytes", 0, HttpError::Kind::TooLarge);
    if (t.stopped) throw HttpError("stopped", 0, HttpError::Kind::Stopped);
    std::string what = m.error[0] ? m.error : curl_easy_strerror(m.result);
    throw HttpError(what);
  }
  long status = 0;
  curl_easy_getinfo(m.easy, CURLINFO_RESPONSE_CODE, &status);
  if (status < 200 || status > 299)
    throw HttpError(t.statusLine.empty() ? "HTTP status " + std::to_string(status) : t.statusLine,
                    static_cast<int>(status));
  return std::move(t.body);
}

}  // namespace qm
