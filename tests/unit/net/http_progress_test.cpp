// Transfer progress texts and the events of real transfers.
#include <gtest/gtest.h>

#include "loopback_server.h"
#include "net/http_client.h"
#include "net/transfer_progress.h"

namespace qm {
namespace {

using test::CannedResponse;
using test::LoopbackServer;

struct TextCase {
  std::int64_t soFar, announced;
  const char* expected;
};

TEST(TransferProgressText, Table) {
  const TextCase cases[] = {
      {5000, 10000, "本轮抓包已下载:4K字节,总共:9K字节,约50%"},
      {0, 10000, "本轮抓包已下载:0K字节,总共:9K字节,约0%"},
      {10000, 10000, "本轮抓包已下载:9K字节,总共:9K字节,约100%"},
      {1023, 3000, "本轮抓包已下载:0K字节,总共:2K字节,约34%"},
      {1, 1023, "本轮抓包已下载:0K字节,总共:0K字节,约0%"},
      {6000000000LL, 8000000000LL, "本轮抓包已下载:5859375K字节,总共:7812500K字节,约75%"},
      {5000, 0, "已下载:4K字节"},
      {1023, 0, "已下载:0K字节"},
      {1024, 0, "已下载:1K字节"},
      {0, 0, "已下载:0K字节"},
      {5000000000LL, 0, "已下载:4882812K字节"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(transferProgressText(c.soFar, c.announced), c.expected)
        << c.soFar << " of " << c.announced;
}

// One transfer as the callbacks saw it.
struct Seen {
  std::int64_t announced = -1;
  std::vector<std::int64_t> progress;
  bool ended = false;
};

class ProgressRecorder {
 public:
  explicit ProgressRecorder(HttpClient& client) {
    client.setTransferCallbacks({
        [this](std::int64_t a) {
          EXPECT_TRUE(seen.empty() || seen.back().ended) << "begin before the previous end";
          seen.push_back({a, {}, false});
        },
        [this](std::int64_t n) {
          ASSERT_FALSE(seen.empty());
          EXPECT_FALSE(seen.back().ended) << "progress after end";
          if (!seen.back().progress.empty()) {
            EXPECT_GT(n, seen.back().progress.back()) << "progress went back";
          }
          seen.back().progress.push_back(n);
        },
        [this] {
          ASSERT_FALSE(seen.empty());
          EXPECT_FALSE(seen.back().ended) << "second end";
          seen.back().ended = true;
        },
    });
  }
  std::vector<Seen> seen;
};

void expectTransfer(const Seen& s, std::int64_t announced, std::int64_t total) {
  EXPECT_EQ(s.announced, announced);
  EXPECT_TRUE(s.ended);
  if (total > 0) {
    ASSERT_FALSE(s.progress.empty());
    EXPECT_EQ(s.progress.back(), total);
  } else {
    EXPECT_TRUE(s.progress.empty());
  }
}

TEST(TransferProgress, DownloadAnnouncesItsLength) {
  LoopbackServer server;
  server.enqueue(CannedResponse::ok(std::string(10000, 'x')));
  HttpClient client("IdHTTP1");
  ProgressRecorder rec(client);
  client.get(server.url("/page"));
  ASSERT_EQ(rec.seen.size(), 1u);
  expectTransfer(rec.seen[0], 10000, 10000);
}

TEST(TransferProgress, ChunkedDownloadAnnouncesNothing) {
  LoopbackServer server;
  server.enqueue(CannedResponse::chunked(std::string(5000, 'y')));
  HttpClient client("IdHTTP1");
  ProgressRecorder rec(client);
  client.get(server.url("/page"));
  ASSERT_EQ(rec.seen.size(), 1u);
  expectTransfer(rec.seen[0], 0, 5000);
}

TEST(TransferProgress, PostReportsTheBodyGoingOutThenTheAnswer) {
  LoopbackServer server;
  server.enqueue(CannedResponse::ok(std::string(3000, 'a')));
  server.enqueue(CannedResponse::ok("ok"));
  HttpClient client("IdHTTP1");
  ProgressRecorder rec(client);
  client.post(server.url("/q"), std::string(70000, 'b'));
  client.post(server.url("/q"), "");
  ASSERT_EQ(rec.seen.size(), 4u);
  expectTransfer(rec.seen[0], 70000, 70000);
  expectTransfer(rec.seen[1], 3000, 3000);
  expectTransfer(rec.seen[2], 0, 0);
  expectTransfer(rec.seen[3], 2, 2);
}

TEST(TransferProgress, FailedTransferStillEnds) {
  LoopbackServer server;
  server.enqueue({"HTTP/1.1 200 OK\r\nContent-Length: 9000\r\n\r\n" + std::string(4000, 'z'), true});
  HttpClient client("IdHTTP2");
  ProgressRecorder rec(client);
  EXPECT_THROW(client.get(server.url("/cut")), HttpError);
  ASSERT_EQ(rec.seen.size(), 1u);
  expectTransfer(rec.seen[0], 9000, 4000);
}


// A length past 64 bits announces no size instead of a wrapped one; the body,
// ended by the closed connection, still arrives.
TEST(TransferProgress, OverflowingContentLengthAnnouncesNothing) {
  LoopbackServer server;
  server.enqueue(CannedResponse::untilClose("body", "Content-Length: 99999999999999999999999999\r\n"));
  HttpClient client("IdHTTP1");
  ProgressRecorder rec(client);
  EXPECT_EQ(client.get(server.url("/page")), "body");
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].announced, 0);
}

}  // namespace
}  // namespace qm
