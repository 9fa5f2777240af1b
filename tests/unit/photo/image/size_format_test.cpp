#include "photo/image/size_format.h"

#include <gtest/gtest.h>

namespace qm::photo {
namespace {

TEST(FormatKb, ThousandsOfBytesWithTwoDecimals) {
  const struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {{1023, "1.02Kb"}, {999, "1.00Kb"}, {6, "0.01Kb"},   {4, "0.00Kb"},
               {5, "0.01Kb"},    {0, "0.00Kb"},   {45100, "45.10Kb"}, {1025, "1.03Kb"},
               {12344, "12.34Kb"}, {99995, "100.00Kb"}, {4123456789ull, "4123456.79Kb"}};
  for (const auto& c : cases) EXPECT_EQ(formatKb(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace qm::photo
