// The fault options: a dropped connection, a 500 answer, a record without a key.
#include <gtest/gtest.h>

#include <regex>

#include "tests/unit/sim/sim_test_helpers.h"

namespace qm::test {
namespace {

struct Client {
  explicit Client(sim::RegSim& s) : sim(s), cookie(s.loginCookie()), token(s.tokenFor(cookie)) {}
  std::string request(long long start) const {
    return queryRequest(sim, cookie, token, queryBody(sim.organCode(), "**", sim.queryType(), start));
  }
  sim::RegSim& sim;
  std::string cookie, token;
};

TEST(RegSimFaults, DropClosesThatRequestsConnectionWithoutAnAnswer) {
  StartedRegSim s({.dropAtRequest = 2});
  ASSERT_TRUE(s.started);
  Client client(s.sim);
  EXPECT_EQ(readAllRecords(httpExchange(s.sim.port(), client.request(0)).body).size(), 50u);

  RawHttpConnection dropped(s.sim.port());
  ASSERT_TRUE(dropped.send(client.request(50)));
  EXPECT_TRUE(dropped.closedByServer());

  EXPECT_EQ(readAllRecords(httpExchange(s.sim.port(), client.request(50)).body).size(), 50u);
  EXPECT_EQ(s.sim.queryRequestCount(), 3);
  // The dropped request was still received and kept.
  std::size_t kept = 0;
  for (const auto& r : s.sim.requests()) kept += r.path == sim::RegSim::kQueryServicePath;
  EXPECT_EQ(kept, 3u);
}

TEST(RegSimFaults, FailStatusAnswers500ForThatRequestOnly) {
  StartedRegSim s({.failStatusAt = 2});
  ASSERT_TRUE(s.started);
  Client client(s.sim);
  const int expected[] = {200, 500, 200};
  for (int n = 0; n < 3; ++n) {
    const HttpReply reply = httpExchange(s.sim.port(), client.request(0));
    ASSERT_TRUE(reply.ok);
    EXPECT_EQ(reply.status, expected[n]) << "request " << n + 1;
    EXPECT_EQ(readAllRecords(reply.body).size(), expected[n] == 200 ? 50u : 0u);
  }
}

// The key walk searches each next marker in all the text that is left, so a record
// without lxdh ends the walk only as the last record of its page; elsewhere the walk
// finds the next record's lxdh and reads the two records as one.
TEST(RegSimFaults, MissingKeyBreaksTheKeyWalkAtThatStudent) {
  const struct {
    int missingKeyAt;
    long long start;
    std::size_t pageSize;
  } cases[] = {{0, 0, 50}, {3, 0, 50}, {60, 50, 50}, {119, 100, 20}};
  for (const auto& c : cases) {
    StartedRegSim s({.missingKeyAt = c.missingKeyAt});
    ASSERT_TRUE(s.started);
    Client client(s.sim);
    const std::string body = httpExchange(s.sim.port(), client.request(c.start)).body;
    const std::size_t before = static_cast<std::size_t>(c.missingKeyAt - c.start);
    const bool last = before + 1 == c.pageSize;

    const auto walked = readAllRecords(body);
    ASSERT_EQ(walked.size(), last ? before : c.pageSize - 1) << c.missingKeyAt;
    for (std::size_t i = 0; i < before; ++i)
      EXPECT_EQ(walked[i][xsJbxxId], s.sim.students()[c.start + i].xsJbxxId);
    if (!last) {
      // The merged record starts as the broken student and ends as the next one.
      EXPECT_EQ(walked[before][xsJbxxId], s.sim.students()[c.missingKeyAt].xsJbxxId);
      EXPECT_EQ(decodeUnicode(walked[before][sfzjh]), s.sim.students()[c.missingKeyAt + 1].sfzjh);
    }

    // Only that record lacks the key, and it lacks exactly ,"lxdh":<value>.
    std::vector<std::string> records;
    for (auto p = body.find("{\"xxbsm\":"); p != std::string::npos; p = body.find("{\"xxbsm\":", p + 1))
      records.push_back(body.substr(p, body.find('}', p) - p + 1));
    ASSERT_EQ(records.size(), c.pageSize);
    for (std::size_t i = 0; i < records.size(); ++i) {
      const bool hasPhone = records[i].find(",\"lxdh\":") != std::string::npos;
      EXPECT_EQ(hasPhone, i != before) << c.missingKeyAt << " record " << i;
    }
    EXPECT_TRUE(std::regex_search(records[before], std::regex(",\"txdz\":\"[^\"]*\",\"xjfh\":")));
  }
}

TEST(RegSimFaults, DelayedAnswersStillArriveWhole) {
  StartedRegSim s({.delayMs = 20});
  ASSERT_TRUE(s.started);
  Client client(s.sim);
  for (long long start : {0, 50, 100})
    EXPECT_EQ(readAllRecords(httpExchange(s.sim.port(), client.request(start)).body).size(), start < 100 ? 50u : 20u);
  EXPECT_EQ(s.sim.queryRequestCount(), 3);
}

}  // namespace
}  // namespace qm::test
