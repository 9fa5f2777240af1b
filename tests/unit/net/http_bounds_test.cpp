// What a hostile server can do to a client: answers without end, no answer
// at all, header bytes smuggled in a cookie. Each is bounded or refused.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "net/http_client.h"
#include "net/http_header_lines.h"
#include "tests/support/hostile_server.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

using test::HostileServer;
using Clock = std::chrono::steady_clock;

long peakRssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

TEST(HttpBounds, EndlessAnswerFailsAtTheBoundWithMemoryBounded) {
  HostileServer server(HostileServer::Mode::EndlessBody);
  HttpClient client("IdHTTP1");
  ASSERT_EQ(client.maxAnswerBytes(), kDefaultMaxAnswerBytes);
  const long before = peakRssKb();
  try {
    client.post(server.url("/q"), "{}");
    FAIL() << "an endless answer was taken";
  } catch (const HttpError& e) {
    EXPECT_EQ(e.kind(), HttpError::Kind::TooLarge) << e.what();
  }
  const long grownMb = (peakRssKb() - before) / 1024;
  std::printf("endless answer: failed after %llu bytes sent, peak memory grew %ld MB\n",
              static_cast<unsigned long long>(server.bytesSent()), grownMb);
  // The bound and a copy of it at most, never the stream. Under AddressSanitizer
  // the process's peak is not the client's: freed blocks wait in quarantine.
#ifndef __SANITIZE_ADDRESS__
  EXPECT_LT(grownMb, 3 * static_cast<long>(kDefaultMaxAnswerBytes >> 20));
#endif
}

TEST(HttpBounds, DiscardedBodyIsReadButNotKept) {
  const std::string body(3 << 20, 'b');
  HostileServer server(HostileServer::Mode::Canned,
                       "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  HttpClient client("IdHTTP2");
  client.setDiscardBody(true);
  client.setMaxAnswerBytes(8 << 20);
  EXPECT_EQ(client.get(server.url("/jsp/public/head.jsp")), "");
  // The bound holds for discarded bodies too.
  client.setMaxAnswerBytes(1 << 20);
  try {
    client.get(server.url("/jsp/public/head.jsp"));
    FAIL() << "the bound was not applied";
  } catch (const HttpError& e) {
    EXPECT_EQ(e.kind(), HttpError::Kind::TooLarge);
  }
}

TEST(HttpBounds, StopEndsAnUnansweredRequestAfterTheGrace) {
  HostileServer server(HostileServer::Mode::Silent);
  HttpClient client("IdHTTP1");
  std::atomic<bool> stop = false;
  client.setStopCheck([&stop] { return stop.load(); });
  // Stop is pressed once the request has reached the server, which never answers.
  Clock::time_point stoppedAt;
  std::thread presser([&] {
    while (server.requestCount() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    stoppedAt = Clock::now();
    stop = true;
  });
  try {
    client.post(server.url("/q"), "{}");
    FAIL() << "a silent server answered";
  } catch (const HttpError& e) {
    EXPECT_TRUE(e.stopped()) << e.what();
  }
  const auto ended = Clock::now();
  presser.join();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(ended - stoppedAt).count();
  std::printf("silent server: request ended %lld ms after the stop\n", static_cast<long long>(ms));
  EXPECT_GE(ms, kStopGraceMs - 50);
}

TEST(HttpBounds, AnswerWithinTheGraceIsKeptAndNoCheckMeansNoStop) {
  HostileServer server(HostileServer::Mode::Canned, "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
  HttpClient client("IdHTTP1");
  client.setStopCheck([] { return true; });
  EXPECT_EQ(client.post(server.url("/q"), "{}"), "ok");
  client.setStopCheck({});
  EXPECT_EQ(client.post(server.url("/q"), "{}"), "ok");
}

TEST(HttpBounds, TimeLimitEndsAHungRequestAndTheNextOneGoesOut) {
  HostileServer server(HostileServer::Mode::Silent);
  HttpClient client("IdHTTP2");
  client.setTimeLimits(300, 600);
  for (int attempt = 1; attempt <= 2; ++attempt) {
    try {
      client.get(server.url("/jsp/public/head.jsp"));
      FAIL() << "a silent server answered";
    } catch (const HttpError& e) {
      EXPECT_FALSE(e.stopped());
    }
    client.disconnect();
    // Each attempt reached the server as a request of its own.
    for (int i = 0; i < 3000 && server.requestCount() < static_cast<std::size_t>(attempt); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(server.requestCount(), static_cast<std::size_t>(attempt));
  }
}

TEST(HttpBounds, UploadEndShowsAsSoonAsTheBodyIsOut) {
  HostileServer server(HostileServer::Mode::Silent);
  HttpClient client("IdHTTP1");
  std::atomic<int> ends = 0;
  TransferCallbacks cb;
  cb.end = [&ends] { ++ends; };
  client.setTransferCallbacks(cb);
  std::atomic<bool> stop = false;
  client.setStopCheck([&stop] { return stop.load(); }, 0);
  client.startPost(server.url("/q"), std::string(1000, 'j'));
  EXPECT_EQ(ends.load(), 1);  // before any answer
  stop = true;
  EXPECT_THROW(client.finishRequest(), HttpError);
  EXPECT_EQ(ends.load(), 1);
}

TEST(HttpBounds, CookieWithABareCrIsRefused) {
  HostileServer server(HostileServer::Mode::Canned,
                       "HTTP/1.1 200 OK\r\nSet-Cookie: cr=a\rX-Injected: 1\r\nSet-Cookie: ok=1\r\n"
                       "Content-Length: 2\r\nConnection: close\r\n\r\nok");
  HttpClient client("IdHTTP1");
  client.addExtraLine("Cookie:s=1");
  EXPECT_EQ(client.get(server.url("/")), "ok");
  ASSERT_EQ(client.cookies().kept().size(), 1u);
  EXPECT_EQ(client.cookies().kept()[0].first, "ok");
  const auto lines = composeHeaderLines(client.headers(), client.extraLines(), client.cookies(), std::nullopt);
  for (const auto& line : lines) EXPECT_EQ(line.find('\r'), std::string::npos) << line;
}

TEST(HttpBounds, ComposerRefusesLinesThatWouldSplit) {
  const char* bad[] = {"Cookie:a=1\r\nX-Injected: 1", "Cookie:a=1\rb", "ccrf-token:t\n", "X: a\0b"};
  for (const char* line : bad) {
    std::string text = line;
    if (text == "X: a") text = std::string("X: a\0b", 6);
    HttpCookies none;
    EXPECT_THROW(composeHeaderLines({}, {text}, none, std::nullopt), HttpError) << line;
  }
  HttpHeaderValues values;
  values.referer = "http://h/\r\nX: 1";
  EXPECT_THROW(composeHeaderLines(values, {}, HttpCookies(), std::nullopt), HttpError);
  EXPECT_NO_THROW(composeHeaderLines({}, {"Cookie:a=1; b=\t2"}, HttpCookies(), std::nullopt));
}

TEST(HttpBounds, ContentLengthValues) {
  const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
      {" 1234\r\n", 1234},
      {"0", 0},
      {"9223372036854775807", INT64_MAX},
      {"9223372036854775808", std::nullopt},  // one past: no wrap to a negative size
      {"99999999999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"12a", std::nullopt},
      {"-5", std::nullopt},
      {"1 2", std::nullopt},
  };
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(contentLengthValue(text), value);
  }
}

// Only http and https: an address of another scheme never reaches its protocol.
TEST(HttpBounds, OtherSchemesAreRefused) {
  const test::TempFolder tmp("scheme");
  const std::string path = tmp.write("secret", "secret");
  for (const std::string url : {std::string("file://") + path, std::string("ftp://127.0.0.1:1/x"),
                                std::string("ldap://127.0.0.1:1/x"), std::string("gopher://127.0.0.1:1/x")}) {
    SCOPED_TRACE(url);
    HttpClient client("IdHTTP1");
    EXPECT_THROW(client.get(url), HttpError);
  }
}

}  // namespace
}  // namespace qm
