// One record's messages: their order, the gender codings, the date formats
// and the GBK byte positions inside the ID number.
#include <gtest/gtest.h>

#include <string>

#include "checks/records/record_rules.h"
#include "tests/unit/checks/records/id_test_numbers.h"

namespace qm {
namespace {

const std::string kMale = test::withCheckChar("11010520100105001");    // born 2010-01-05, odd digit
const std::string kFemale = test::withCheckChar("11010520100105002");  // even digit
const std::string kWrong = test::withWrongCheckChar("11010520100105001");

constexpr int kYear = 2024;  // the clock's year the dates are judged by
constexpr RecordChecks kAll{true, true, true};
constexpr RecordChecks kIdOnly{true, false, false};
constexpr RecordChecks kBirthOnly{false, false, true};
constexpr RecordChecks kGenderOnly{false, true, false};

struct Case {
  const char* what;
  std::string id, gender, birth;
  RecordChecks checks;
  GenderCoding coding;
  BirthDateFormat format;
  std::string expected;
};

using GC = GenderCoding;
using BF = BirthDateFormat;

const Case kCases[] = {
    {"all consistent", kMale, "男", "20100105", kAll, GC::Text, BF::Compact, ""},
    {"cells trimmed", " " + kMale + "\t", " 男 ", "\n20100105 ", kAll, GC::Text, BF::Compact, ""},
    {"female consistent", kFemale, "女", "20100105", kAll, GC::Text, BF::Compact, ""},
    {"gender mismatch", kMale, "女", "20100105", kAll, GC::Text, BF::Compact, "身份证号中的性别码与性别不一致。"},
    {"digits coding", kMale, "1", "20100105", kAll, GC::Digits, BF::Compact, ""},
    {"digits coding mismatch", kFemale, "1", "20100105", kAll, GC::Digits, BF::Compact,
     "身份证号中的性别码与性别不一致。"},
    {"text under digits: unreadable, no mismatch", kFemale, "男", "20100105", kAll, GC::Digits, BF::Compact,
     "性别字段数据异常。"},
    {"digit under text: unreadable", kMale, "1", "20100105", kAll, GC::Text, BF::Compact, "性别字段数据异常。"},
    {"empty gender", kMale, "", "20100105", kGenderOnly, GC::Text, BF::Compact, "性别字段数据异常。"},

    {"empty ID, all checks", "", "男", "20100105", kAll, GC::Text, BF::Compact,
     "身份证号码错误。身份证号码中无性别码。身份证号码中提取不到出生日期信息。"},
    {"empty ID, birth field bad too", "", "x", "2010", kAll, GC::Text, BF::Compact,
     "身份证号码错误。性别字段数据异常。身份证号码中无性别码。出生日期字段数据异常。"
     "身份证号码中提取不到出生日期信息。"},
    // Characters 7 to 14 of a 15-character number are still read as a date (1001-05-00 here).
    {"15-character ID", "110105100105001", "男", "10010500", kAll, GC::Text, BF::Compact,
     "身份证号码错误。身份证号码中无性别码。出生日期错误。身份证号码中的出生日期错误。"},
    {"15-character ID, dates fine", "110105201001050", "男", "20100105", kAll, GC::Text, BF::Compact,
     "身份证号码错误。身份证号码中无性别码。"},
    {"wrong check char and birth mismatch", kWrong, "男", "20100106", kAll, GC::Text, BF::Compact,
     "身份证号码错误。身份证号码中的出生日期与出生日期字段不一致。"},

    {"dashed", kMale, "男", "2010-1-5", kBirthOnly, GC::Text, BF::Dashed, ""},
    {"dashed, zero-padded", kMale, "男", "2010-01-05", kBirthOnly, GC::Text, BF::Dashed, ""},
    {"dashed given slashes", kMale, "男", "2010/01/05", kBirthOnly, GC::Text, BF::Dashed, "出生日期字段数据异常。"},
    {"dashed, three-digit month", kMale, "男", "2010-001-05", kBirthOnly, GC::Text, BF::Dashed,
     "出生日期字段数据异常。"},
    {"dashed, year last", kMale, "男", "10-01-2010", kBirthOnly, GC::Text, BF::Dashed, "出生日期字段数据异常。"},
    {"dashed, one separator", kMale, "男", "2010-0105", kBirthOnly, GC::Text, BF::Dashed, "出生日期字段数据异常。"},
    {"dashed, too short", kMale, "男", "2010-1-", kBirthOnly, GC::Text, BF::Dashed, "出生日期字段数据异常。"},
    {"dashed, letters", kMale, "男", "2010-a-5", kBirthOnly, GC::Text, BF::Dashed, "出生日期字段不是全数字。"},
    {"slashed", kMale, "男", "2010/1/5", kBirthOnly, GC::Text, BF::Slashed, ""},
    {"slashed given dashes", kMale, "男", "2010-1-5", kBirthOnly, GC::Text, BF::Slashed, "出生日期字段数据异常。"},
    {"compact given a dashed text", kMale, "男", "2010-1-5", kBirthOnly, GC::Text, BF::Compact,
     "出生日期字段不是全数字。"},
    {"compact given a date cell's text", kMale, "男", "2010-01-05", kBirthOnly, GC::Text, BF::Compact,
     "出生日期字段数据异常。"},
    {"compact with the letter O", kMale, "男", "2010O105", kBirthOnly, GC::Text, BF::Compact,
     "出生日期字段不是全数字。"},
    {"field date invalid: no comparison", kMale, "男", "20100230", kBirthOnly, GC::Text, BF::Compact,
     "出生日期错误。"},
    {"field not a leap day", test::withCheckChar("11010520090228001"), "男", "20090229", kBirthOnly, GC::Text,
     BF::Compact, "出生日期错误。"},
    {"field bad, ID date still checked", test::withCheckChar("11010520101301001"), "男", "x", kBirthOnly, GC::Text,
     BF::Compact, "出生日期字段数据异常。身份证号码中的出生日期错误。"},
    {"ID date not digits", "110105A0100105001X", "男", "20100105", kBirthOnly, GC::Text, BF::Compact,
     "身份证号码中的出生日期数据异常。"},
    {"field date after the clock's year", test::withCheckChar("11010520250101001"), "男", "20250101", kBirthOnly,
     GC::Text, BF::Compact, "出生日期错误。身份证号码中的出生日期错误。"},
    {"last day of the clock's year", test::withCheckChar("11010520241231001"), "男", "20241231", kBirthOnly,
     GC::Text, BF::Compact, ""},
    {"birth mismatch", kMale, "男", "20100106", kBirthOnly, GC::Text, BF::Compact,
     "身份证号码中的出生日期与出生日期字段不一致。"},
    // Positions count GBK bytes: two Chinese characters take positions 1 to 4.
    {"Chinese characters in the ID", "张三1220100105001X", "男", "20100105", kAll, GC::Text, BF::Compact,
     "身份证号码错误。"},
    {"gender position inside a Chinese character", "1101052010010500中", "男", "20100105", kGenderOnly,
     GC::Text, BF::Compact, "身份证号码中无性别码。"},
    {"blank at the gender position", "1101052010010500 1", "男", "20100105", kGenderOnly, GC::Text, BF::Compact,
     "身份证号码中无性别码。"},
    {"Chinese birth cell of 8 bytes", kMale, "男", "二零一零", kBirthOnly, GC::Text, BF::Compact,
     "出生日期字段不是全数字。"},
    {"checks off leave their cells alone", kMale, "?", "?", kIdOnly, GC::Text, BF::Compact, ""},
    {"no check at all", "", "", "", RecordChecks{false, false, false}, GC::Text, BF::Compact, ""},
};

TEST(RecordRules, MessagesInTheirOrder) {
  for (const Case& c : kCases) {
    std::string out;
    appendRecordMessages(out, c.id, c.gender, c.birth, c.checks, c.coding, c.format, kYear);
    EXPECT_EQ(out, c.expected) << c.what;
  }
}

TEST(RecordRules, CheckCharacterXIsCaseSensitive) {
  std::string upper;
  for (char last = '0'; last <= '9' && upper.empty(); ++last) {
    const std::string id = test::withCheckChar(std::string("1101052010010500") + last);
    if (id.back() == 'X') upper = id;
  }
  ASSERT_FALSE(upper.empty());
  std::string lower = upper;
  lower.back() = 'x';
  for (const auto& [id, expected] : {std::pair{upper, ""}, std::pair{lower, "身份证号码错误。"}}) {
    std::string out;
    appendRecordMessages(out, id, "", "", kIdOnly, GenderCoding::Text, BirthDateFormat::Compact, kYear);
    EXPECT_EQ(out, expected) << id;
  }
}

TEST(RecordRules, GenderCodes) {
  EXPECT_EQ(genderCode("男", GenderCoding::Text), kGenderMale);
  EXPECT_EQ(genderCode("女", GenderCoding::Text), kGenderFemale);
  EXPECT_EQ(genderCode("1", GenderCoding::Text), kGenderUnreadable);
  EXPECT_EQ(genderCode("1", GenderCoding::Digits), kGenderMale);
  EXPECT_EQ(genderCode("2", GenderCoding::Digits), kGenderFemale);
  EXPECT_EQ(genderCode("女", GenderCoding::Digits), kGenderUnreadable);
  EXPECT_EQ(genderCode("男性", GenderCoding::Text), kGenderUnreadable);
  EXPECT_EQ(idGenderCode("11010520100105009X"), kGenderMale);
  EXPECT_EQ(idGenderCode("11010520100105008X"), kGenderFemale);
  EXPECT_EQ(idGenderCode("1101052010010500"), kGenderUnreadable);
  EXPECT_EQ(idGenderCode("1101052010010500A1"), kGenderUnreadable);
}

TEST(RecordRules, BirthDateShapes) {
  EXPECT_EQ(birthDateChars("2010-1-5", BirthDateFormat::Dashed), "20100105");
  EXPECT_EQ(birthDateChars("2010-12-31", BirthDateFormat::Dashed), "20101231");
  EXPECT_EQ(birthDateChars("2010/1/15", BirthDateFormat::Slashed), "20100115");
  EXPECT_EQ(birthDateChars("20101231", BirthDateFormat::Compact), "20101231");
  EXPECT_EQ(birthDateChars("2010-1-5", BirthDateFormat::Compact), "2010-1-5");
  EXPECT_FALSE(birthDateChars("2010123", BirthDateFormat::Compact));
  EXPECT_FALSE(birthDateChars("201-01-05", BirthDateFormat::Dashed));
  EXPECT_FALSE(birthDateChars("2010--105", BirthDateFormat::Dashed));
  EXPECT_FALSE(birthDateChars("2010-01-005", BirthDateFormat::Dashed));
}

}  // namespace
}  // namespace qm
