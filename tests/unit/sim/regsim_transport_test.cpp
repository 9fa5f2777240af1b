// Requests kept byte for byte, connections kept open or closed as HTTP says,
// several connections at once, the request log, malformed input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/support/regsim_test_util.h"
#include "tests/support/temp_folder.h"

namespace qm::test {
namespace {

TEST(RegSimTransport, KeepsEachRequestExactlyAsReceived) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const std::string body = "_j_username=demo&_j_password=x";
  const std::string head =
      "POST /login?x=1 HTTP/1.0\r\n"
      "Connection: Keep-Alive\r\n"
      "Content-Type: application/x-www-form-urlencoded\r\n"
      "Content-Length: " + std::to_string(body.size()) + "\r\n"
      "Cookie:a=1; b=2\r\n"
      "X-Requested-With: XMLHttpRequest\r\n"
      "Host: " + s.sim.host() + "\r\n"
      "accept: text/html, */*\r\n"
      "Cookie:c=3\r\n";
  ASSERT_TRUE(httpExchange(s.sim.port(), head + "\r\n" + body).ok);

  const auto requests = s.sim.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].head, head);
  EXPECT_EQ(requests[0].body, body);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/login?x=1");
  EXPECT_EQ(requests[0].path, "/login");
  EXPECT_EQ(requests[0].version, "HTTP/1.0");
  EXPECT_GT(requests[0].connectionId, 0);

  s.sim.clearRequests();
  EXPECT_TRUE(s.sim.requests().empty());
}

TEST(RegSimTransport, ConnectionStaysOpenOrClosesAsTheVersionAndHeaderSay) {
  const struct {
    const char* version;
    const char* connectionLine;
    bool open;
  } cases[] = {
      {"HTTP/1.1", "", true},
      {"HTTP/1.1", "Connection: close\r\n", false},
      {"HTTP/1.0", "", false},
      {"HTTP/1.0", "Connection: Keep-Alive\r\n", true},
      {"HTTP/1.0", "connection: keep-alive\r\n", true},
  };
  for (const auto& c : cases) {
    StartedRegSim s;
    ASSERT_TRUE(s.started);
    const std::string request = std::string("GET /sim/child.html ") + c.version + "\r\nHost: " + s.sim.host() +
                                "\r\n" + c.connectionLine + "\r\n";
    RawHttpConnection connection(s.sim.port());
    const HttpReply first = connection.exchange(request);
    ASSERT_TRUE(first.ok) << c.version << " " << c.connectionLine;
    EXPECT_EQ(first.header("Connection"), c.open ? "keep-alive" : "close");
    if (c.open) {
      EXPECT_TRUE(connection.exchange(request).ok) << c.version << " " << c.connectionLine;
      const auto requests = s.sim.requests();
      ASSERT_EQ(requests.size(), 2u);
      EXPECT_EQ(requests[0].connectionId, requests[1].connectionId);
    } else {
      EXPECT_TRUE(connection.closedByServer()) << c.version << " " << c.connectionLine;
    }
  }
}

TEST(RegSimTransport, NewConnectionsGetNewIdsAndPipelinedRequestsAnswerInOrder) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  RawHttpConnection connection(s.sim.port());
  ASSERT_TRUE(connection.send(getRequest(s.sim, "/sim/title?t=one") + getRequest(s.sim, "/sim/title?t=two")));
  EXPECT_NE(connection.read().body.find("<title>one</title>"), std::string::npos);
  EXPECT_NE(connection.read().body.find("<title>two</title>"), std::string::npos);
  ASSERT_TRUE(httpExchange(s.sim.port(), getRequest(s.sim, "/sim/child.html")).ok);
  const auto requests = s.sim.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].connectionId, requests[1].connectionId);
  EXPECT_NE(requests[1].connectionId, requests[2].connectionId);
}

TEST(RegSimTransport, ServesAConnectionWhileAnotherWaitsForItsRequest) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  RawHttpConnection slow(s.sim.port());
  const std::string request = getRequest(s.sim, "/sim/title?t=slow");
  ASSERT_TRUE(slow.send(request.substr(0, 10)));
  // The second connection is answered although the first request is incomplete.
  const HttpReply fast = httpExchange(s.sim.port(), getRequest(s.sim, "/sim/title?t=fast"));
  EXPECT_NE(fast.body.find("<title>fast</title>"), std::string::npos);
  ASSERT_TRUE(slow.send(request.substr(10)));
  EXPECT_NE(slow.read().body.find("<title>slow</title>"), std::string::npos);
  const auto requests = s.sim.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].target, "/sim/title?t=fast");
  EXPECT_EQ(requests[1].target, "/sim/title?t=slow");
}

TEST(RegSimTransport, ExpectContinueGetsTheInterimAnswerBeforeTheBody) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const std::string body = "_j_username=demo&_j_password=demo123";
  RawHttpConnection connection(s.sim.port());
  ASSERT_TRUE(connection.send("POST /login HTTP/1.1\r\nContent-Length: " + std::to_string(body.size()) +
                              "\r\nExpect: 100-continue\r\n\r\n"));
  const HttpReply interim = connection.read();
  EXPECT_EQ(interim.status, 100);
  ASSERT_TRUE(connection.send(body));
  const HttpReply login = connection.read();
  EXPECT_EQ(login.status, 302);
  EXPECT_NE(login.header("Set-Cookie"), "");
  ASSERT_EQ(s.sim.requests().size(), 1u);
  EXPECT_EQ(s.sim.requests()[0].body, body);
}

TEST(RegSimTransport, LogFileHoldsEveryRequestHeadAndBody) {
  const TempFolder tmp("regsim_log");
  const std::string path = tmp.write("log", "");
  {
    StartedRegSim s({.logPath = path});
    ASSERT_TRUE(s.started);
    ASSERT_TRUE(httpExchange(s.sim.port(), getRequest(s.sim, "/sim/child.html")).ok);
    const std::string post = "POST /login HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nZ-Last: 1\r\n\r\nab=cd";
    ASSERT_TRUE(httpExchange(s.sim.port(), post).ok);
  }
  const std::string log = readFile(path);
  const auto get = log.find("GET /sim/child.html HTTP/1.1\r\nHost: 127.0.0.1:");
  const auto post = log.find("POST /login HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nZ-Last: 1\r\n\r\nab=cd");
  ASSERT_NE(get, std::string::npos) << log;
  ASSERT_NE(post, std::string::npos) << log;
  EXPECT_LT(get, post);
  EXPECT_NE(log.find("request 2"), std::string::npos);
}

TEST(RegSimTransport, MalformedRequestsAreRefusedAndTheConnectionClosed) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  const struct {
    std::string request;
    int status;
  } cases[] = {
      {"NONSENSE\r\n\r\n", 400},
      {"GET / FTP/1.0\r\n\r\n", 400},
      {"POST /login HTTP/1.1\r\nContent-Length: 12x\r\n\r\n", 400},
      {"POST /login HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 501},
      {"GET / HTTP/1.1\r\nX-Big: " + std::string(70000, 'a') + "\r\n\r\n", 431},
  };
  for (const auto& c : cases) {
    RawHttpConnection connection(s.sim.port());
    const HttpReply reply = connection.exchange(c.request);
    EXPECT_EQ(reply.status, c.status) << c.request.substr(0, 40);
    EXPECT_TRUE(connection.closedByServer()) << c.request.substr(0, 40);
  }
  // The server goes on serving.
  EXPECT_EQ(httpExchange(s.sim.port(), getRequest(s.sim, "/")).status, 200);
}

TEST(RegSimTransport, StopEndsOpenConnectionsAndFreesThePort) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  RawHttpConnection idle(s.sim.port());
  ASSERT_TRUE(idle.exchange(getRequest(s.sim, "/")).ok);
  s.sim.stop();
  EXPECT_TRUE(idle.closedByServer());
  EXPECT_FALSE(RawHttpConnection(s.sim.port()).connected());
}

TEST(RegSimTransport, FixedPortInUseFailsToStart) {
  StartedRegSim first;
  ASSERT_TRUE(first.started);
  sim::RegSim second({.port = first.sim.port()});
  EXPECT_FALSE(second.start());
}

}  // namespace
}  // namespace qm::test
