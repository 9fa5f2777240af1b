// How a probe box follows its base box, and when a pair is in use.
#include <gtest/gtest.h>

#include "checks/compare/compare_setup.h"

namespace qm {
namespace {

TEST(CompareSetup, ProbeColumnFollowsTheTrimmedBaseNameLastWins) {
  const std::vector<std::string> probe{"学号", " 姓名", "姓名 ", "Name", "班级"};
  EXPECT_EQ(matchProbeColumn("学号", probe), 0u);
  EXPECT_EQ(matchProbeColumn("\t姓名 ", probe), 2u);
  EXPECT_EQ(matchProbeColumn("班级", probe), 4u);
  EXPECT_EQ(matchProbeColumn("name", probe), std::nullopt);  // letter case counts
  EXPECT_EQ(matchProbeColumn("性别", probe), std::nullopt);
  EXPECT_EQ(matchProbeColumn("", probe), std::nullopt);
  EXPECT_EQ(matchProbeColumn("学号", {}), std::nullopt);
}

TEST(CompareSetup, PairInUseWhenBothBoxesShowAName) {
  EXPECT_TRUE((ComparePair{"姓名", "姓名"}.inUse()));
  EXPECT_FALSE((ComparePair{"姓名", ""}.inUse()));
  EXPECT_FALSE((ComparePair{"", "姓名"}.inUse()));
  EXPECT_FALSE((ComparePair{" ", "姓名"}.inUse()));
}

}  // namespace
}  // namespace qm
