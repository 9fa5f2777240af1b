#include "server/duplicate/stop_silence.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using namespace std::chrono_literals;
using Clock = StopSilence::Clock;

TEST(StopSilence, OnlySilenceAfterThePressGivesUp) {
  const Clock::time_point t0 = Clock::now();
  struct Case {
    const char* what;
    std::chrono::milliseconds heardAfterPress;  // negative: heard before the press only
    std::chrono::milliseconds askedAfterPress;
    bool givesUp;
  } cases[] = {
      {"answer still coming 59 s after the press", -5000ms, 59999ms, false},
      {"60 s without a byte after the press", -5000ms, 60000ms, true},
      {"bytes 30 s after the press restart the clock", 30000ms, 89999ms, false},
      {"then 60 s of silence again", 30000ms, 90000ms, true},
  };
  for (const auto& c : cases) {
    StopSilence s;
    s.heard(t0 + (c.heardAfterPress < 0ms ? c.heardAfterPress : 0ms));
    s.press(t0);
    if (c.heardAfterPress >= 0ms) s.heard(t0 + c.heardAfterPress);
    EXPECT_EQ(s.givesUp(t0 + c.askedAfterPress), c.givesUp) << c.what;
  }
}

TEST(StopSilence, NoPressNeverGivesUpAndAbandonAlwaysDoes) {
  const Clock::time_point t0 = Clock::now();
  StopSilence s(100ms);
  EXPECT_FALSE(s.givesUp(t0 + 24h));  // a request has no time limit of its own
  s.press(t0);
  s.press(t0 + 50ms);  // a second press does not move the clock
  EXPECT_TRUE(s.givesUp(t0 + 100ms));
  s.reset();
  EXPECT_FALSE(s.pressed());
  EXPECT_FALSE(s.givesUp(t0 + 24h));
  s.abandon();
  EXPECT_TRUE(s.givesUp(t0));
  s.setLimit(5ms);
  EXPECT_EQ(s.limit(), 5ms);
}

}  // namespace
}  // namespace qm
