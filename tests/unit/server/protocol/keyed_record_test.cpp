#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "server/protocol/text_routines.h"

namespace qm {
namespace {

using Values = std::vector<std::string>;

constexpr std::array<std::string_view, 6> kMarkers = {
    R"("a":)", R"(,"b":)", R"(,"c":)", R"(,"d":)", R"(,"e":)", "}",
};

TEST(ReadKeyedRecord, AnswerWithoutFirstKeyGivesNoRecord) {
  const std::string answer = R"({"rows":[],"total":0})";
  std::string_view rest = answer;
  EXPECT_FALSE(ReadKeyedRecord(rest, kMarkers).has_value());
  EXPECT_EQ(rest, answer);
}

TEST(ReadKeyedRecord, MissingFifthKeyGivesNoRecordAfterFourValues) {
  const std::string answer = R"({"rows":[{"a":1,"b":"x","c":null,"d":"4","f":5}]})";
  std::string_view rest = answer;
  EXPECT_FALSE(ReadKeyedRecord(rest, kMarkers).has_value());
  // The walk got as far as the fourth key before it missed the fifth.
  EXPECT_EQ(rest, R"(,"d":"4","f":5}]})");
  EXPECT_FALSE(ReadKeyedRecord(rest, kMarkers).has_value());
}

TEST(ReadKeyedRecord, TwoRecordsThenNone) {
  const std::string answer =
      R"({"rows":[{"a":"1","b":"x","c":null,"d":"","e":true},)"
      R"({"a":"2","b":"null","c":"\u5f20","d":12,"e":"}"}],"total":2})";
  std::string_view rest = answer;

  const auto first = ReadKeyedRecord(rest, kMarkers);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(*first, (Values{"1", "x", "", "", "true", ""}));
  EXPECT_EQ(rest.substr(0, 3), R"(},{)");

  const auto second = ReadKeyedRecord(rest, kMarkers);
  ASSERT_TRUE(second.has_value());
  // A "}" inside the last value ends that value early: the raw value is a lone quote.
  EXPECT_EQ(*second, (Values{"2", "", R"(\u5f20)", "12", "", ""}));

  EXPECT_FALSE(ReadKeyedRecord(rest, kMarkers).has_value());
}

TEST(ReadKeyedRecord, ValuesKeepEverythingBetweenTheirMarkers) {
  const std::string answer = R"({"a":"x,y","b":"p:q","c":[1,2],"d":-3.5,"e":"","z":9})";
  std::string_view rest = answer;
  const auto rec = ReadKeyedRecord(rest, kMarkers);
  ASSERT_TRUE(rec.has_value());
  // An unknown key before "}" stays in the last value; the quote rule still drops two characters.
  EXPECT_EQ(*rec, (Values{"x,y", "p:q", "[1,2]", "-3.5", R"(","z":)", ""}));
}

// A key missing from one record is not borrowed from the next one.
TEST(ReadKeyedRecord, MissingKeyIsNotTakenFromNextRecord) {
  const std::string answer = R"([{"a":1,"b":2,"d":4,"e":5},{"a":6,"b":7,"c":8,"d":9,"e":10}])";
  std::string_view rest = answer;
  EXPECT_FALSE(ReadKeyedRecord(rest, kMarkers).has_value());
  // The second key too, the one looked for right after the first.
  const std::string noSecond = R"([{"a":1,"c":3,"d":4,"e":5},{"a":6,"b":7,"c":8,"d":9,"e":10}])";
  rest = noSecond;
  EXPECT_FALSE(ReadKeyedRecord(rest, kMarkers).has_value());
  EXPECT_EQ(rest, noSecond);
}

TEST(ReadKeyedRecord, EmptyMarkerListGivesEmptyRecord) {
  std::string_view rest = "abc";
  const auto rec = ReadKeyedRecord(rest, {});
  ASSERT_TRUE(rec.has_value());
  EXPECT_TRUE(rec->empty());
  EXPECT_EQ(rest, "abc");
}

}  // namespace
}  // namespace qm
