#pragma once
// Keeps the user's session alive (Timer1 sends the keep-alive request with
// the browser's cookies every 200 s), fills the login name into the first
// page once per run, and owns "停止抓取".
#include <QObject>
#include <cstdint>
#include <memory>
#include <qcoro/qcorotask.h>

class QTimer;

namespace qm {

class HttpClient;
class TForm1;

class LoginKeeper : public QObject {
  Q_OBJECT
 public:
  static constexpr int kKeepAliveIntervalMs = 200000;
  static constexpr const char* kKeepAlivePath = "/jsp/public/head.jsp";
  // A request that hangs fails well before the next tick, which then sends a
  // new one: connection set-up and the whole request are bounded.
  static constexpr long kKeepAliveConnectLimitMs = 20000;
  static constexpr long kKeepAliveLimitMs = 60000;

  explicit LoginKeeper(TForm1& form);  // owned by the window
  ~LoginKeeper() override;

  // The export stops it for the time of its run.
  QTimer* timer1() const { return timer1_; }
  HttpClient& IdHTTP2() { return *idHttp2_; }
  bool AutoLoginDone() const { return autoLoginDone_; }
  bool keepAliveRunning() const { return keepAliveRunning_; }
  // Tests shorten the period and the request's limit (both in ms).
  void setKeepAliveTiming(int intervalMs, long limitMs);

  // Timer1Timer. A tick while the previous request still runs is skipped.
  QCoro::Task<> KeepAliveRequest();
  // Also the hidden "自动登陆" button.
  QCoro::Task<> FillLoginName();
  void FlatButton8Click();

 private:
  void documentComplete();

  TForm1& form_;
  QTimer* timer1_ = nullptr;
  std::unique_ptr<HttpClient> idHttp2_;
  bool keepAliveRunning_ = false;
  bool autoLoginDone_ = false;
};

}  // namespace qm
