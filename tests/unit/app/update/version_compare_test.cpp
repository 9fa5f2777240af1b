#include <gtest/gtest.h>

#include "app/update/version_compare.h"

using namespace qm;

namespace {

struct CompareCase {
  const char* candidate;
  const char* running;
  bool newer;
  const char* error;  // nullptr: no error
};

const CompareCase kCompareCases[] = {
    {"2.4", "2.3.40.5", true, nullptr},
    {"3", "2.3.40.5", true, nullptr},
    {"2.3.40", "2.3.40.5", false, nullptr},
    {"2.3.40.5", "2.3.40.5", false, nullptr},
    {"2.3.40.6", "2.3.40.5", true, nullptr},
    {"2.3.40.4", "2.3.40.5", false, nullptr},
    {"2.3.41", "2.3.40.5", true, nullptr},
    {"1.9.99.99", "2.0", false, nullptr},
    {"10.0", "9.99", true, nullptr},           // numbers, not texts
    {"2.04", "2.4", false, nullptr},           // leading zero: the same number
    {"2..1", "2.0.1", false, nullptr},         // an empty piece counts 0
    {"2.0.0.0.9", "2", false, nullptr},        // pieces past the fourth are ignored
    {"2.0.0.1.x", "2", true, nullptr},         // ... and not looked at
    {"2.", "2.0.0.0", false, nullptr},         // empty last piece
    {"+3", "2", true, nullptr},
    {"-1", "0", false, nullptr},
    {"2.x", "2.3.40.5", false, "'x' is not a valid integer value"},
    {"2.4b", "2.3", false, "'4b' is not a valid integer value"},
    {" 2.4", "2.3", false, "' 2' is not a valid integer value"},
    {"2.0x10", "2.3", false, "'0x10' is not a valid integer value"},
    {"2.4", "2.3.a", false, "'a' is not a valid integer value"},
    {"2.4294967296", "2.3", false, "'4294967296' is not a valid integer value"},
    {"2147483647", "2147483646", true, nullptr},
};

TEST(VersionCompare, Table) {
  for (const CompareCase& c : kCompareCases) {
    SCOPED_TRACE(std::string(c.candidate) + " vs " + c.running);
    VersionComparison r = compareVersions(c.candidate, c.running);
    EXPECT_EQ(r.error, c.error ? c.error : "");
    EXPECT_EQ(r.newer, c.newer);
  }
}

TEST(VersionCompare, SplitsIntoFourNumbers) {
  VersionNumbers v = splitVersion("2.3.40.5");
  ASSERT_TRUE(v.ok());
  EXPECT_EQ(v.numbers, (std::array<long long, 4>{2, 3, 40, 5}));
  EXPECT_EQ(splitVersion("7").numbers, (std::array<long long, 4>{7, 0, 0, 0}));
  EXPECT_EQ(splitVersion("").numbers, (std::array<long long, 4>{0, 0, 0, 0}));
  EXPECT_EQ(splitVersion("..3").numbers, (std::array<long long, 4>{0, 0, 3, 0}));
}

}  // namespace
