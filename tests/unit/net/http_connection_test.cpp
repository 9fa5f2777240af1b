// Protocol versions, connection handling and cookies that answers set.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "loopback_server.h"
#include "net/http_client.h"

namespace qm {
namespace {

using test::CannedResponse;
using test::LoopbackServer;

std::string requestLine(const std::string& raw) { return raw.substr(0, raw.find("\r\n")); }

std::vector<std::string> linesStartingWith(const std::string& raw, const std::string& prefix) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < raw.size()) {
    size_t end = raw.find("\r\n", pos);
    if (end == std::string::npos || end == pos) break;  // end of head
    std::string line = raw.substr(pos, end - pos);
    if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
    pos = end + 2;
  }
  return out;
}

TEST(HttpConnection, GetReusesTheConnectionPostAlwaysGoesOutOnAFreshOne) {
  LoopbackServer server;
  for (int i = 0; i < 4; ++i) server.enqueue(CannedResponse::ok("r" + std::to_string(i)));
  HttpClient client("IdHTTP1");
  client.addExtraLine("Cookie:a=b");

  client.get(server.url("/one"));
  client.get(server.url("/two"));
  client.post(server.url("/query"), "{}");
  client.get(server.url("/three"));

  auto sent = server.requests();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(requestLine(sent[0].raw), "GET /one HTTP/1.1");
  EXPECT_EQ(requestLine(sent[1].raw), "GET /two HTTP/1.1");
  EXPECT_EQ(requestLine(sent[2].raw), "POST /query HTTP/1.0");
  EXPECT_EQ(requestLine(sent[3].raw), "GET /three HTTP/1.1");
  EXPECT_EQ(sent[0].connection, sent[1].connection);  // kept alive
  EXPECT_NE(sent[2].connection, sent[1].connection);
  EXPECT_NE(sent[3].connection, sent[2].connection);  // the POST's connection is not kept
  // The held connection was closed, not left idle beside the POST's.
  EXPECT_TRUE(server.waitClosedByClient(sent[1].connection));
  EXPECT_TRUE(server.waitClosedByClient(sent[2].connection));
}

TEST(HttpConnection, DisconnectDropsTheHeldConnection) {
  LoopbackServer server;
  server.enqueue(CannedResponse::ok("x"));
  server.enqueue(CannedResponse::ok("y"));
  HttpClient client("IdHTTP2");
  client.get(server.url("/a"));
  client.disconnect();
  EXPECT_TRUE(server.waitClosedByClient(0));
  client.get(server.url("/b"));
  auto sent = server.requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_NE(sent[0].connection, sent[1].connection);
}

TEST(HttpConnection, CookiesSetByAnswersJoinTheOneCookieLine) {
  LoopbackServer server;
  server.enqueue(CannedResponse::ok(
      "first", "Set-Cookie: JSESSIONID=fromServer; Path=/; HttpOnly\r\nSet-Cookie: SRV=n1; Path=/\r\n"));
  server.enqueue(CannedResponse::status(302, "Found", "Location: /login\r\nSet-Cookie: LB=7\r\n"));
  server.enqueue(CannedResponse::ok("third", "Set-Cookie: SRV=gone; Max-Age=0\r\n"));
  server.enqueue(CannedResponse::ok("fourth"));
  server.enqueue(CannedResponse::ok("fifth"));
  HttpClient client("IdHTTP1");

  client.addExtraLine("Cookie:JSESSIONID=browser; k=v");
  client.get(server.url("/1"));
  EXPECT_THROW(client.get(server.url("/2")), HttpError);  // its cookie still counts
  client.post(server.url("/3"), "{}");
  client.clearExtraLines();
  client.addExtraLine("Cookie:");
  client.get(server.url("/4"));
  client.clearExtraLines();
  client.get(server.url("/5"));

  auto sent = server.requests();
  ASSERT_EQ(sent.size(), 5u);
  const std::vector<std::vector<std::string>> expected = {
      {"Cookie:JSESSIONID=browser; k=v"},
      {"Cookie:JSESSIONID=browser; k=v; SRV=n1"},
      {"Cookie:JSESSIONID=browser; k=v; SRV=n1; LB=7"},
      {"Cookie:JSESSIONID=fromServer; LB=7"},  // SRV removed by Max-Age=0
      {},                                      // no cookie line added: none sent
  };
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(linesStartingWith(sent[i].raw, "Cookie"), expected[i]) << "request " << i + 1;
}

TEST(HttpConnection, StartedPostIsOnTheServerBeforeTheAnswerIsAwaited) {
  LoopbackServer server;
  CannedResponse slow = CannedResponse::ok("page 2");
  slow.delayMs = 2000;
  server.enqueue(slow);
  server.enqueue(CannedResponse::ok("page 3"));
  HttpClient client("IdHTTP1");
  EXPECT_THROW(client.finishRequest(), std::logic_error);

  client.startPost(server.url("/query"), R"({"start":50})");
  ASSERT_TRUE(client.requestOut());
  // Nothing drives the client now: the request must already be out.
  std::vector<LoopbackServer::Request> sent;
  for (int waited = 0; waited < 60000 && sent.empty(); waited += 10) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    sent = server.requests();
  }
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0].raw.ends_with("\r\n\r\n{\"start\":50}"));
  EXPECT_THROW(client.startPost(server.url("/query"), "{}"), std::logic_error);  // one at a time

  EXPECT_EQ(client.finishRequest(), "page 2");
  EXPECT_FALSE(client.requestOut());
  EXPECT_EQ(client.post(server.url("/query"), "{}"), "page 3");
}

}  // namespace
}  // namespace qm
