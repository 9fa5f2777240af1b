#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "checks/id/id_number.h"

namespace qm {
namespace {

TEST(IsIdNumberValid, CheckCharacterOfTheWeightedSum) {
  const struct {
    const char* text;
    bool valid;
  } cases[] = {
      {"000000000000000001", true},  // sum 0 -> "1"
      {"000000000000000000", false},
      {"000000100000000000", false},
      {"00000010000000000X", true},  // sum 2 -> "X"
      {"00000010000000000x", false},  // the check is case-sensitive
      {"100000000000000005", true},  // sum 7 -> "5"
      {"100000000000000006", false},
      {"11010519491231002X", true},
      {"440307200811293513", true},
      {"110105201001051234", true},
      {"110105201001051235", false},
      {"  110105201001051234\t\r\n", true},  // blanks and controls around are trimmed
      {"1101052010 1051234", false},         // a blank inside is a character
      {"110105 201001051234", false},        // 19 characters
      {"11010520100105123", false},          // 17
      {"110105100105123", false},            // the old 15-character form
      {"", false},
      {"X10105201001051234", false},         // a non-digit among the first 17
      {"11010520100105123４", false},        // a full-width digit takes two bytes: 19
      {"身份证号码一二三四五", false},     // 10 characters, 20 bytes
      {"一二三四五六七八九", false},       // nine Chinese characters: 18 bytes, not digits
      {"1101052010010512😀", false},        // a character GBK lacks is "?", one byte: 17
      {"11010520100105123😀", false},       // 18 bytes, and "?" is no check character
  };
  for (const auto& c : cases) EXPECT_EQ(IsIdNumberValid(c.text), c.valid) << c.text;
}

TEST(IsDateInvalid, BirthDateRules) {
  const int thisYear = 2024;
  const struct {
    const char* date;
    bool invalid;
  } cases[] = {
      {"20000229", false},  // divisible by 400
      {"20040229", false},
      {"19000229", true},  // divisible by 100 only
      {"20230229", true},
      {"20100930", false},
      {"20100931", true},
      {"20100431", true},
      {"20100631", true},
      {"20101131", true},
      {"20100131", false},
      {"20100331", false},
      {"20100531", false},
      {"20100731", false},
      {"20100831", false},
      {"20101031", false},
      {"20101231", false},
      {"20000230", true},
      {"20000228", false},
      {"17991231", true},
      {"18000101", false},
      {"20241231", false},  // later this year is still accepted
      {"20250101", true},   // next year is not
      {"20101301", true},
      {"20100001", true},
      {"20100100", true},
      {"20100132", true},
      {"00000000", true},
      // Not 8 ASCII digits: callers test first, but such text is never valid.
      {"2010010", true},
      {"201001051", true},
      {"2010-1-5", true},
      {"2010O105", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsDateInvalid(c.date, thisYear), c.invalid) << c.date;
}

TEST(IsDateInvalid, ComparesWithTheLocalClocksYear) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const int year = local.tm_year + 1900;
  EXPECT_EQ(localYear(), year);
  EXPECT_FALSE(IsDateInvalid(std::to_string(year) + "1231"));
  EXPECT_TRUE(IsDateInvalid(std::to_string(year + 1) + "0101"));
}

}  // namespace
}  // namespace qm
