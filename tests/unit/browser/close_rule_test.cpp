#include "browser/close_rule.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct CloseCase {
  int clicked;
  int x;
  int width;
  bool stays;
};

class CloseRuleTest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseRuleTest, BandAroundTheCentre) {
  const CloseCase& c = GetParam();
  EXPECT_EQ(staysOpenAfterLogoff(c.clicked, c.x, c.width), c.stays) << c.clicked << " " << c.x << " " << c.width;
}

// Width 1024: the band is (440, 525). Width 1025: W/2 = 512.5, band (440.5, 525.5).
INSTANTIATE_TEST_SUITE_P(Cases, CloseRuleTest,
                         ::testing::Values(CloseCase{1, 1000, 1024, true},   // top-right close button
                                           CloseCase{1, 440, 1024, true},    // band end belongs outside
                                           CloseCase{1, 441, 1024, false},
                                           CloseCase{1, 524, 1024, false},
                                           CloseCase{1, 525, 1024, true},
                                           CloseCase{1, 440, 1025, true},
                                           CloseCase{1, 441, 1025, false},
                                           CloseCase{1, 525, 1025, false},   // 525 < 525.5: inside
                                           CloseCase{1, 526, 1025, true},
                                           CloseCase{2, 0, 1024, true},
                                           CloseCase{0, 1000, 1024, false},  // nothing clicked: close
                                           CloseCase{0, 480, 1024, false}));

}  // namespace
}  // namespace qm
