// Hostile answers of the JSON services: a body that never ends, no answer at all,
// and a cookie with a bare CR.
#include <gtest/gtest.h>
#include "tests/unit/sim/raw_socket.h"
#include "tests/unit/sim/sim_test_helpers.h"

namespace qm::test {
namespace {

// One POST to each JSON service, with a session and its token.
std::vector<std::string> serviceRequests(sim::RegSim& sim) {
  const std::string cookie = sim.loginCookie(), token = sim.tokenFor(cookie);
  std::vector<std::string> requests;
  for (const char* path : {sim::RegSim::kQueryServicePath, sim::RegSim::kProvinceServicePath,
                           sim::RegSim::kDetailServicePath, sim::RegSim::kFamilyServicePath,
                           sim::RegSim::kClassServicePath}) {
    std::string request = queryRequest(sim, cookie, token, queryBody(sim.organCode(), "**", sim.queryType(), 0));
    request.replace(5, std::string(sim::RegSim::kQueryServicePath).size(), path);
    requests.push_back(request);
  }
  return requests;
}

TEST(RegSimHostile, EndlessBodyKeepsSendingChunks) {
  StartedRegSim s({.endlessBody = true});
  ASSERT_TRUE(s.started);
  for (const auto& request : serviceRequests(s.sim)) {
    ClientSocket client(s.sim.port());
    ASSERT_TRUE(client.send(request));
    std::string bytes;
    ASSERT_TRUE(client.receive(bytes, 2u << 20)) << request.substr(0, 80);
    const std::string head = bytes.substr(0, bytes.find("\r\n\r\n") + 2);
    EXPECT_EQ(head.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_NE(head.find("\r\nTransfer-Encoding: chunked\r\n"), std::string::npos);
    EXPECT_EQ(head.find("Content-Length"), std::string::npos);
    EXPECT_EQ(bytes.find("\r\n0\r\n\r\n"), std::string::npos) << "no last chunk";
  }
  s.sim.stop();  // returns although the streams never ended
}

TEST(RegSimHostile, NeverAnswerHoldsTheConnectionUntilTheServerStops) {
  StartedRegSim s({.neverAnswer = true});
  ASSERT_TRUE(s.started);
  const auto requests = serviceRequests(s.sim);
  std::vector<std::unique_ptr<ClientSocket>> clients;
  for (const auto& request : requests) {
    clients.push_back(std::make_unique<ClientSocket>(s.sim.port()));
    ASSERT_TRUE(clients.back()->send(request));
  }
  for (auto& client : clients) EXPECT_FALSE(client->stirsWithin(300));
  // Each request was read and kept.
  EXPECT_EQ(s.sim.requests().size(), requests.size());
  s.sim.stop();
  for (auto& client : clients) {
    std::string bytes;
    EXPECT_FALSE(client->receive(bytes, 1));
    EXPECT_EQ(bytes, "");
  }
}

TEST(RegSimHostile, BareCrCookieRidesOnEveryServiceAnswer) {
  for (const bool hostile : {false, true}) {
    StartedRegSim s({.bareCrCookie = hostile});
    ASSERT_TRUE(s.started);
    for (const auto& request : serviceRequests(s.sim)) {
      const HttpReply reply = httpExchange(s.sim.port(), request);
      ASSERT_TRUE(reply.ok);
      EXPECT_EQ(reply.head.find("\r\nSet-Cookie: qmcr=a\rb; Path=/\r\n") != std::string::npos, hostile);
      EXPECT_EQ(reply.head.find("Set-Cookie") != std::string::npos, hostile);
    }
    // The answer itself stays whole.
    EXPECT_EQ(readAllRecords(httpExchange(s.sim.port(), serviceRequests(s.sim)[0]).body).size(), 50u);
  }
}

}  // namespace
}  // namespace qm::test
