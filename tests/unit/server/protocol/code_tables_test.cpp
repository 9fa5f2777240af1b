#include "server/protocol/code_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace qm {
namespace {

using Table = std::string (*)(std::string_view);

struct CodeCase {
  const char* table;
  Table fn;
  std::string code;
  std::string expected;
};

TEST(CodeTables, Cases) {
  const CodeCase cases[] = {
      {"ethnicity", ethnicityText, "01", "汉族"},
      {"ethnicity", ethnicityText, "1", "汉族"},
      {"ethnicity", ethnicityText, "+1", "汉族"},
      {"ethnicity", ethnicityText, "0000000001", "汉族"},
      {"ethnicity", ethnicityText, "36", "毛难族"},
      {"ethnicity", ethnicityText, "56", "基诺族"},
      {"ethnicity", ethnicityText, "81", "穿青人族"},
      {"ethnicity", ethnicityText, "97", "其他"},
      {"ethnicity", ethnicityText, "98", "外国血统中国籍人士"},
      {"ethnicity", ethnicityText, "99", "未知"},
      {"ethnicity", ethnicityText, "57", "未知"},
      {"ethnicity", ethnicityText, "0", "未知"},
      {"ethnicity", ethnicityText, "-1", "未知"},
      {"ethnicity", ethnicityText, "", ""},
      {"ethnicity", ethnicityText, "A1", "A1"},
      {"ethnicity", ethnicityText, " 1", " 1"},           // no trimming
      {"ethnicity", ethnicityText, "1 ", "1 "},
      {"ethnicity", ethnicityText, "-", "-"},
      {"ethnicity", ethnicityText, "4294967297", "4294967297"},  // overflow is no integer, not 1
      {"ethnicity", ethnicityText, "2147483647", "未知"},
      {"gender", genderText, "1", "男"},
      {"gender", genderText, "02", "女"},
      {"gender", genderText, "3", "未知"},
      {"gender", genderText, "-2147483648", "未知"},
      {"gender", genderText, "-2147483649", "-2147483649"},
      {"gender", genderText, "x", "x"},
      {"gender", genderText, "", ""},
      {"id type", idDocumentTypeText, "Z", "其他"},
      {"id type", idDocumentTypeText, "01", "居民身份证"},
      {"id type", idDocumentTypeText, "6", "香港特区护照/身份证"},
      {"id type", idDocumentTypeText, "7", "澳门特区护照/身份证"},
      {"id type", idDocumentTypeText, "8", "台湾居民来往大陆通行证"},
      {"id type", idDocumentTypeText, "9", "境外永久居住证"},
      {"id type", idDocumentTypeText, "10", "护照"},
      {"id type", idDocumentTypeText, "2", "2"},
      {"id type", idDocumentTypeText, "011", "011"},
      {"id type", idDocumentTypeText, "z", "z"},
      {"id type", idDocumentTypeText, "Z ", "Z "},
      {"id type", idDocumentTypeText, "", ""},
      {"attendance mode", attendanceModeText, "1", "走读"},
      {"attendance mode", attendanceModeText, "2", "住校"},
      {"attendance mode", attendanceModeText, "0", "未知"},
      {"attendance mode", attendanceModeText, "走", "走"},
      {"yes/no", yesNoText, "0", "否"},
      {"yes/no", yesNoText, "1", "是"},
      {"yes/no", yesNoText, "-0", "否"},
      {"yes/no", yesNoText, "-1", "未知"},
      {"yes/no", yesNoText, "true", "true"},
      {"attendance status", attendanceStatusText, "31", "休学"},
      {"attendance status", attendanceStatusText, "31 ", "在校"},
      {"attendance status", attendanceStatusText, "031", "在校"},
      {"attendance status", attendanceStatusText, "01", "在校"},
      {"attendance status", attendanceStatusText, "", "在校"},
      {"household", householdTypeText, "1", "农业户口"},
      {"household", householdTypeText, "10", "农业户口"},
      {"household", householdTypeText, "2", "非农业户口"},
      {"household", householdTypeText, " 1", "非农业户口"},
      {"household", householdTypeText, "", "非农业户口"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.fn(c.code), c.expected) << c.table << " \"" << c.code << '"';
}

// Codes 1-56, 81, 97 and 98 each have their own name; every other code is unknown.
TEST(CodeTables, EthnicityCoversExactlyItsCodes) {
  std::set<std::string> names;
  for (int code = -3; code <= 120; ++code) {
    const std::string text = ethnicityText(std::to_string(code));
    const bool listed = (code >= 1 && code <= 56) || code == 81 || code == 97 || code == 98;
    if (listed) {
      EXPECT_NE(text, "未知") << code;
      names.insert(text);
    } else {
      EXPECT_EQ(text, "未知") << code;
    }
  }
  EXPECT_EQ(names.size(), 59u);
}

TEST(Grades, ListPositionsAndCodes) {
  EXPECT_STREQ(kGrades[0].name, "全部年级");
  EXPECT_EQ(gradeCodeAt(0), "**");
  EXPECT_STREQ(kGrades[7].name, "初中一年级");
  EXPECT_EQ(gradeCodeAt(7), "21");
  EXPECT_STREQ(kGrades[13].name, "高中三年级");
  EXPECT_EQ(gradeCodeAt(13), "33");
  EXPECT_EQ(gradeCodeAt(-1), "");
  EXPECT_EQ(gradeCodeAt(14), "");
}

// First digit the school stage, second the year within it, both read off the name.
TEST(Grades, CodesFollowStageAndYearOfTheName) {
  const std::string stages[] = {"小学", "初中", "高中"};
  const std::string years[] = {"一", "二", "三", "四", "五", "六"};
  for (std::size_t i = 1; i < kGrades.size(); ++i) {
    const std::string name = kGrades[i].name;
    std::string expected;
    for (int s = 0; s < 3; ++s)
      if (name.rfind(stages[s], 0) == 0) expected += char('1' + s);
    for (int y = 0; y < 6; ++y)
      if (name == name.substr(0, 6) + years[y] + "年级") expected += char('1' + y);
    EXPECT_EQ(kGrades[i].code, expected) << name;
  }
}

}  // namespace
}  // namespace qm
