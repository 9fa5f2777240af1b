#pragma once
// One named HTTP client (IdHTTP1 ... IdHTTP4) over one libcurl easy handle.
// Header values set on the client stay between runs; extra header lines are
// cleared per run. Header lines go out in the fixed order Connection,
// Content-Type, Content-Length (POST), Cache-control, extra lines, [Host],
// Accept, Accept-Encoding, Accept-Language, Referer, User-Agent, each only when
// it has a value (libcurl always puts Host right after the request line). POST
// goes out as HTTP/1.0 on a fresh connection, GET as HTTP/1.1 and may reuse the
// held one. Redirects are not followed; any non-2xx status fails. Bodies come
// back byte for byte, never decompressed, and no longer than maxAnswerBytes().
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "net/http_cookies.h"

class QThreadPool;

namespace qm {

class HttpError : public std::runtime_error {
 public:
  enum class Kind { Failed, TooLarge, Stopped };
  HttpError(const std::string& what, int status = 0, Kind kind = Kind::Failed)
      : std::runtime_error(what), status_(status), kind_(kind) {}
  int status() const { return status_; }  // 0 for connection failures and time-outs
  // TooLarge: the answer passed the client's bound. Stopped: the stop check
  // held for the grace time while the answer was not complete.
  Kind kind() const { return kind_; }
  bool stopped() const { return kind_ == Kind::Stopped; }

 private:
  int status_;
  Kind kind_;
};

// No answer of the registration server comes near this: a page of the query
// service is tens of KB. A longer one fails its request.
inline constexpr std::size_t kDefaultMaxAnswerBytes = 32u << 20;
// How long a request may still finish after its stop check turned true.
inline constexpr long kStopGraceMs = 2000;

struct HttpHeaderValues {
  std::string connection;
  std::string contentType = "text/html";
  std::string cacheControl;
  std::string accept = "text/html, */*";
  std::string acceptEncoding;
  std::string acceptLanguage;
  std::string referer;
  std::string userAgent = "Mozilla/3.0 (compatible; Indy Library)";
};

// Transfer progress callbacks; run on the thread that performs the request.
// Every body going out (POST) or coming in reports begin, progress, end.
struct TransferCallbacks {
  std::function<void(std::int64_t announced)> begin;  // 0 when no size is announced
  std::function<void(std::int64_t soFar)> progress;
  std::function<void()> end;
};

class HttpClient {
 public:
  // readTimeoutMs: a request that receives nothing for that long once
  // connected fails; 0 = none. Connecting is bounded by setTimeLimits.
  explicit HttpClient(std::string name, long readTimeoutMs = 0);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  const std::string& name() const { return name_; }
  HttpHeaderValues& headers() { return headers_; }
  void clearExtraLines() { extraLines_.clear(); }
  // Sent exactly as given ("Cookie:" + text, "ccrf-token:" + token,
  // "X-Requested-With: XMLHttpRequest"). The first "Cookie:" line is merged
  // with the cookies that earlier answers set on this client; without such a
  // line those cookies are not sent.
  void addExtraLine(std::string line) { extraLines_.push_back(std::move(line)); }
  const std::vector<std::string>& extraLines() const { return extraLines_; }
  const HttpCookies& cookies() const { return cookies_; }
  void setTransferCallbacks(TransferCallbacks cb) { callbacks_ = std::move(cb); }

  // Bodies longer than this fail with HttpError kind TooLarge.
  void setMaxAnswerBytes(std::size_t bytes) { maxAnswerBytes_ = bytes; }
  std::size_t maxAnswerBytes() const { return maxAnswerBytes_; }
  // The body is read to its end and dropped (a request that only needs the status).
  void setDiscardBody(bool on) { discardBody_ = on; }
  // connectMs bounds the connection's set-up (0: the usual 20 s), totalMs the
  // whole request (0: none; there is no read time-out unless one was given).
  void setTimeLimits(long connectMs, long totalMs) {
    connectTimeoutMs_ = connectMs;
    totalTimeoutMs_ = totalMs;
  }
  // Asked on the request's thread while a request is out (about every 0.2 s):
  // once it has said true for graceMs and the answer is still not complete,
  // the request ends with HttpError kind Stopped. Empty: no check. Only a run
  // that cleared its stop flag at its start may set one.
  void setStopCheck(std::function<bool()> check, long graceMs = kStopGraceMs) {
    stopCheck_ = std::move(check);
    stopGraceMs_ = graceMs;
  }

  // Blocking calls; throw HttpError. Safe to call from a worker thread as long
  // as one client runs one request at a time.
  std::string get(const std::string& url);
  std::string post(const std::string& url, std::string_view body);
  // The same POST in two halves: startPost returns once the request has gone
  // out, and finishRequest waits for the answer, so the caller can work while
  // the server does. One request at a time; finishRequest throws HttpError as
  // post() does.
  void startPost(const std::string& url, std::string_view body);
  std::string finishRequest();
  bool requestOut() const;
  // Drops the connection the client holds (after waiting out a started request).
  void disconnect();

  // The one worker thread that runs this client's requests (async_request.h),
  // so a client never runs two at once. Created on first use.
  QThreadPool& worker();

 private:
  struct Impl;
  void begin(const std::string& url, const std::string_view* body);

  std::string name_;
  long readTimeoutMs_;
  long connectTimeoutMs_ = 0;
  long totalTimeoutMs_ = 0;
  std::size_t maxAnswerBytes_ = kDefaultMaxAnswerBytes;
  bool discardBody_ = false;
  std::function<bool()> stopCheck_;
  long stopGraceMs_ = kStopGraceMs;
  HttpHeaderValues headers_;
  std::vector<std::string> extraLines_;
  HttpCookies cookies_;
  TransferCallbacks callbacks_;
  std::unique_ptr<Impl> impl_;
};

inline const char* const kTransferDoneText = "服务器数据下载完成！";

}  // namespace qm
