// Which columns a freshly opened sheet selects, and the check boxes tied to them.
#include <gtest/gtest.h>

#include "checks/records/record_columns.h"

namespace qm {
namespace {

using Names = std::vector<std::string>;
using Opt = std::optional<std::size_t>;

TEST(RecordColumns, MatchingByTrimmedNameLastWins) {
  struct Case {
    Names names;
    Opt id, birth, gender;
  } cases[] = {
      {{}, std::nullopt, std::nullopt, std::nullopt},
      {{"姓名", "学号"}, 0, std::nullopt, std::nullopt},
      {{"姓名", "身份证号", "出生日期", "性别"}, 1, 2, 3},
      {{"身份证", " 身份证件号 ", "身份证号\t", "出生年月", "出生日期", "性别码", "性别"}, 2, 4, 6},
      {{"身份证号", "出生日期", "身份证", "性别码"}, 2, 1, 3},
      // Letter case and inner blanks are not forgiven; only the ends are trimmed.
      {{"姓名", "身份 证号", "出生 日期", "性 别"}, 0, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const RecordColumnChoice got = matchRecordColumns(c.names);
    EXPECT_EQ(got.id, c.id) << testing::PrintToString(c.names);
    EXPECT_EQ(got.birth, c.birth) << testing::PrintToString(c.names);
    EXPECT_EQ(got.gender, c.gender) << testing::PrintToString(c.names);
  }
}

TEST(RecordColumns, TiedChecksNeedBothBoxes) {
  EXPECT_TRUE(tiedCheck("身份证号", "出生日期").checked);
  EXPECT_TRUE(tiedCheck("身份证号", "出生日期").enabled);
  EXPECT_FALSE(tiedCheck("身份证号", "").enabled);
  EXPECT_FALSE(tiedCheck("身份证号", " \t").checked);
  EXPECT_FALSE(tiedCheck("", "性别").enabled);

  const RecordChecks withBirth = checksAfterOpening("身份证号", "出生日期", "");
  EXPECT_TRUE(withBirth.id);
  EXPECT_TRUE(withBirth.birth);
  EXPECT_FALSE(withBirth.gender);
  const RecordChecks idOnly = checksAfterOpening("姓名", "", "");
  EXPECT_TRUE(idOnly.id);
  EXPECT_FALSE(idOnly.birth);
  EXPECT_FALSE(idOnly.gender);
}

}  // namespace
}  // namespace qm
