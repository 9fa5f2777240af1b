#include <gtest/gtest.h>

#include "checks/id/gbk_positions.h"
#include "common/text_encoding.h"

namespace qm {
namespace {

TEST(GbkCopy, CutsByGbkBytePositions) {
  const struct {
    const char* text;
    std::size_t start, count;
    const char* part;
  } cases[] = {
      {"110105201001051234", 7, 8, "20100105"},
      {"110105201001051234", 17, 1, "3"},
      {"110105201001051234", 17, 5, "34"},   // clipped at the end
      {"110105201001051234", 19, 1, ""},     // past the end
      {"110105201001051234", 0, 3, "110"},   // a start before 1 counts from 1
      {"110105201001051234", 3, 0, ""},
      {"张三1234", 1, 2, "张"},
      {"张三1234", 3, 4, "三12"},
      {"张三1234", 2, 2, "??"},              // the second half of 张, the first half of 三
      {"张三1234", 4, 3, "?12"},
      {"ab张三", 2, 2, "b?"},
      {"ab张三", 4, 1, "?"},
      {"110105张三01051234", 7, 8, "张三0105"},
      {"1101052😀01051234", 7, 8, "2?010512"},  // a character GBK lacks takes one position, as "?"
  };
  for (const auto& c : cases)
    EXPECT_EQ(gbkCopy(c.text, c.start, c.count), c.part) << c.text << " " << c.start << "," << c.count;
}

TEST(IdParts, BirthDateAndGenderPositions) {
  const struct {
    const char* id;
    const char* birth;
    const char* gender;
  } cases[] = {
      {"11010520100105123X", "20100105", "3"},
      {"110105100105123", "10010512", ""},     // 15 characters: positions 7-14 exist, 17 does not
      {"", "", ""},
      {"1101052010 10512 X", "2010 105", ""},  // a blank at 17 trims to nothing
      {"110105 2010010 123X", "2010010", "2"},  // trimmed after the cut
      {"11010王五0105123X", "?五01051", "X"},    // 王 takes positions 6-7: the cut starts in its second half
  };
  for (const auto& c : cases) {
    EXPECT_EQ(idBirthDatePart(c.id), c.birth) << c.id;
    EXPECT_EQ(idGenderPart(c.id), c.gender) << c.id;
  }
}

}  // namespace
}  // namespace qm
