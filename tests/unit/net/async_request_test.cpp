// Requests on the client's worker thread, awaited by a coroutine on the event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCoroFuture>
#include <QCoroTask>
#include <QObject>
#include <QThread>

#include <atomic>

#include "loopback_server.h"
#include "net/async_request.h"
#include "net/transfer_progress.h"

namespace qm {
namespace {

using test::CannedResponse;
using test::LoopbackServer;

class AsyncRequest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!QCoreApplication::instance()) {
      static int argc = 1;
      static char name[] = "test_http";
      static char* argv[] = {name, nullptr};
      new QCoreApplication(argc, argv);
    }
  }
};

QCoro::Task<std::string> fetch(HttpClient& client, std::string url) {
  co_return co_await getAsync(client, std::move(url));
}

// The status of the HttpError caught inside the coroutine, -1 when none came.
QCoro::Task<int> failingPost(HttpClient& client, std::string url) {
  try {
    co_await postAsync(client, std::move(url), "{}");
  } catch (const HttpError& e) {
    co_return e.status();
  }
  co_return -1;
}

TEST_F(AsyncRequest, CoroutineGetsTheBodyFromTheWorkerThread) {
  LoopbackServer server;
  server.enqueue(CannedResponse::ok("body from the worker"));
  HttpClient client("IdHTTP1");
  QThread* ranOn = nullptr;
  auto task = [&]() -> QCoro::Task<std::string> {
    co_return co_await requestAsync(client, [&](HttpClient& c) {
      ranOn = QThread::currentThread();
      return c.get(server.url("/page"));
    });
  };
  EXPECT_EQ(QCoro::waitFor(task()), "body from the worker");
  EXPECT_NE(ranOn, nullptr);
  EXPECT_NE(ranOn, QThread::currentThread());
}

TEST_F(AsyncRequest, HttpErrorIsRethrownAtTheCoAwait) {
  LoopbackServer server;
  server.enqueue(CannedResponse::status(500, "Internal Server Error"));
  server.enqueue(CannedResponse::status(302, "Found", "Location: /\r\n"));
  HttpClient client("IdHTTP1");
  EXPECT_EQ(QCoro::waitFor(failingPost(client, server.url("/q"))), 500);
  EXPECT_EQ(QCoro::waitFor(failingPost(client, server.url("/q"))), 302);
  const std::string refused =
      "http://127.0.0.1:" + std::to_string(LoopbackServer::refusedPort()) + "/q";
  EXPECT_EQ(QCoro::waitFor(failingPost(client, refused)), 0);
  // The client stays usable after a failure.
  server.enqueue(CannedResponse::ok("again"));
  EXPECT_EQ(QCoro::waitFor(fetch(client, server.url("/p"))), "again");
}

TEST_F(AsyncRequest, OneClientRunsItsRequestsOneAtATime) {
  LoopbackServer server;
  for (int i = 0; i < 3; ++i) {
    CannedResponse r = CannedResponse::ok("r" + std::to_string(i));
    r.delayMs = 100;
    server.enqueue(r);
  }
  HttpClient client("IdHTTP1");
  std::atomic<int> running{0}, most{0};
  auto request = [&](HttpClient& c) {
    int now = ++running;
    most = std::max(most.load(), now);
    std::string body = c.get(server.url("/x"));
    --running;
    return body;
  };
  auto a = requestAsync(client, request);
  auto b = requestAsync(client, request);
  auto c = requestAsync(client, request);
  auto all = [&]() -> QCoro::Task<std::string> {
    std::string out = co_await a;
    out += co_await b;
    out += co_await c;
    co_return out;
  };
  EXPECT_EQ(QCoro::waitFor(all()), "r0r1r2");
  EXPECT_EQ(most.load(), 1);
}

TEST_F(AsyncRequest, PostedProgressArrivesOnTheContextThread) {
  LoopbackServer server;
  server.enqueue(CannedResponse::ok(std::string(10000, 'x')));
  HttpClient client("IdHTTP1");
  QObject window;
  std::vector<std::string> panel;
  bool offThread = false;
  auto note = [&](std::string text) {
    if (QThread::currentThread() != window.thread()) offThread = true;
    panel.push_back(std::move(text));
  };
  std::int64_t announced = 0;
  client.setTransferCallbacks(postedTo(
      &window, {[&](std::int64_t a) { announced = a; note(""); },
                [&](std::int64_t n) { note(transferProgressText(n, announced)); },
                [&] { note(kTransferDoneText); }}));
  EXPECT_EQ(QCoro::waitFor(fetch(client, server.url("/big"))).size(), 10000u);
  QCoreApplication::sendPostedEvents();
  EXPECT_FALSE(offThread);
  ASSERT_GE(panel.size(), 3u);
  EXPECT_EQ(panel.front(), "");
  EXPECT_EQ(panel[panel.size() - 2], "本轮抓包已下载:9K字节,总共:9K字节,约100%");
  EXPECT_EQ(panel.back(), "服务器数据下载完成！");
}

// The object showing the progress may go before the client (a run keeps its
// client): later reports must not reach the dead object, nor touch it on the way.
TEST_F(AsyncRequest, PostedProgressIsDroppedOnceTheContextIsGone) {
  LoopbackServer server;
  server.enqueue(CannedResponse::ok(std::string(10000, 'x')));
  HttpClient client("IdHTTP1");
  auto window = std::make_unique<QObject>();
  int calls = 0;
  client.setTransferCallbacks(postedTo(window.get(), {[&](std::int64_t) { ++calls; }, [&](std::int64_t) { ++calls; },
                                                      [&] { ++calls; }}));
  window.reset();  // gone before the transfer reports anything
  EXPECT_EQ(client.get(server.url("/big")).size(), 10000u);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(calls, 0);
}

// A client without a read time-out whose server never answers must still let its
// owner go: the destructor ends the running request instead of waiting forever.
TEST_F(AsyncRequest, DestroyingTheClientEndsAHangingRequest) {
  LoopbackServer server;
  CannedResponse silent = CannedResponse::ok("late");
  silent.delayMs = 600000;  // far beyond the test's time limit
  server.enqueue(silent);
  auto client = std::make_unique<HttpClient>("IdHTTP2");
  std::atomic<bool> started{false};
  QFuture<std::string> pending = requestAsync(*client, [&](HttpClient& c) {
    started = true;
    return c.get(server.url("/jsp/public/head.jsp"));
  });
  while (!started || server.requests().empty()) QThread::msleep(10);
  client.reset();  // returns only once the request has ended
  ASSERT_TRUE(pending.isFinished());
  EXPECT_THROW(pending.result(), HttpError);
}

}  // namespace
}  // namespace qm
