#include <gtest/gtest.h>

#include <limits>

#include "workbook/cell_text.h"
#include "workbook/number_format.h"

namespace qm::cells {
namespace {

std::string number(double v) {
  std::string s = "#";
  appendNumber(s, v);
  return s.substr(1);
}

TEST(CellText, NumbersShowUpToFifteenSignificantDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {42, "42"},
      {3.0, "3"},
      {-7, "-7"},
      {-0.0, "0"},
      {1.75, "1.75"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {123456789012345.0, "123456789012345"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E+15"},
      {110101200001011234.0, "1.10101200001011E+17"},
      {0.0001, "0.0001"},
      {0.00001, "1E-05"},
      {-2.5e-7, "-2.5E-07"},
      {2147483648.0, "2147483648"},
      {1.6000000000000001, "1.6"},
      {std::numeric_limits<double>::infinity(), "#NUM!"},
  };
  for (const auto& c : cases) EXPECT_EQ(number(c.value), c.text) << c.text;
}

TEST(CellText, IntegersAsDigits) {
  std::string s;
  appendInteger(s, -2147483648LL);
  EXPECT_EQ(s, "-2147483648");
}

std::string date(double serial, bool date1904, ValueKind kind) {
  std::string s;
  if (!appendSerialDate(s, serial, date1904, kind)) return "(number)";
  return s;
}

TEST(CellText, SerialDatesFollowExcelsCalendar) {
  const struct {
    double serial;
    bool date1904;
    ValueKind kind;
    const char* text;
  } cases[] = {
      {1, false, ValueKind::Date, "1900-01-01"},
      {59, false, ValueKind::Date, "1900-02-28"},
      {60, false, ValueKind::Date, "1900-02-29"},  // the day that never was, kept as Excel shows it
      {61, false, ValueKind::Date, "1900-03-01"},
      {0, false, ValueKind::Date, "1900-01-00"},
      {40183, false, ValueKind::Date, "2010-01-05"},
      {40183.75, false, ValueKind::Date, "2010-01-05"},
      {40183.9999999, false, ValueKind::Date, "2010-01-06"},  // rounds to the next midnight
      {2958465, false, ValueKind::Date, "9999-12-31"},
      {2958466, false, ValueKind::Date, "(number)"},
      {-1, false, ValueKind::Date, "(number)"},
      {0, true, ValueKind::Date, "1904-01-01"},
      {38721, true, ValueKind::Date, "2010-01-05"},
      {43831.520833333336, false, ValueKind::DateTime, "2020-01-01 12:30:00"},
      {0.25, false, ValueKind::Time, "06:00:00"},
      {1.75, false, ValueKind::Time, "18:00:00"},
      {0.999999999, false, ValueKind::Time, "00:00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(date(c.serial, c.date1904, c.kind), c.text) << c.serial;
}

TEST(NumberFormat, TellsDateAndTimeFormats) {
  const struct {
    const char* code;
    ValueKind kind;
  } cases[] = {
      {"General", ValueKind::Number},
      {"0.00", ValueKind::Number},
      {"[Red]0.00", ValueKind::Number},
      {"0.00E+00", ValueKind::Number},
      {"#,##0 \"days\"", ValueKind::Number},
      {"\"day\"\\ 0", ValueKind::Number},
      {"@", ValueKind::Number},
      {"yyyy-mm-dd", ValueKind::Date},
      {"YYYY-MM-DD", ValueKind::Date},
      {"yyyy\"年\"m\"月\"d\"日\"", ValueKind::Date},
      {"[$-804]yyyy年m月d日", ValueKind::Date},
      {"mmm-yy", ValueKind::Date},
      {"yyyy-mm-dd hh:mm:ss", ValueKind::DateTime},
      {"h:mm AM/PM", ValueKind::Time},
      {"mm:ss", ValueKind::Time},
      {"[h]:mm:ss", ValueKind::Time},
      {"0.00;[Red]yyyy", ValueKind::Number},  // only the first section counts
  };
  for (const auto& c : cases) EXPECT_EQ(formatCodeKind(c.code), c.kind) << c.code;
}

TEST(NumberFormat, BuiltInIds) {
  EXPECT_EQ(builtInFormatKind(0), ValueKind::Number);
  EXPECT_EQ(builtInFormatKind(2), ValueKind::Number);
  EXPECT_EQ(builtInFormatKind(14), ValueKind::Date);
  EXPECT_EQ(builtInFormatKind(22), ValueKind::DateTime);
  EXPECT_EQ(builtInFormatKind(21), ValueKind::Time);
  EXPECT_EQ(builtInFormatKind(31), ValueKind::Date);  // yyyy"年"m"月"d"日"
  EXPECT_EQ(builtInFormatKind(49), ValueKind::Number);  // @
  EXPECT_EQ(builtInFormatKind(57), ValueKind::Date);
}

}  // namespace
}  // namespace qm::cells
