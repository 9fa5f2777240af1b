#include "server/protocol/student_record.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "server/protocol/text_routines.h"

namespace qm {
namespace {

using Cells = std::array<std::string, 19>;

// Two students as the query service writes them: keys in the server's order,
// Chinese as \u escapes, the first ID escaped, the second plain with a final X.
const std::string kAnswer =
    R"({"rows":[{"xxbsm":"1144010600","xm":"\u5f20\ud842\udfb7","xsJbxxId":"8a80a1b2","jdfsm":"2",)"
    R"("state":"1","xxBjxxId":"bj01","sfcjm":"0","rownum":1,"jdztm":"01","xxNjxxId":"21","bh":null,)"
    R"("xxmc":"\u5e7f\u5dde\u5e02\u7b2c\u4e00\u4e2d\u5b66","njmc":"\u521d\u4e2d\u4e00\u5e74\u7ea7","sffb":"1",)"
    R"("jtzz":"\u5e7f\u5dde\u5e02\u5929\u6cb3\u533a\u4e2d\u5c71\u5927\u90531\u53f7","grbsm":"G440106201001011234",)"
    R"("bjmc":"2019\u7ea71\u73ed","mzm":"01","xbm":"1","jg":"\u5e7f\u4e1c\u5e7f\u5dde",)"
    R"("txdz":"\u5e7f\u5dde\u5e02\u5929\u6cb3\u533a\u90ae\u653f\u4fe1\u7bb188\u53f7","lxdh":"13800138000",)"
    R"("xjfh":null,"javaClass":"HashMap","csrq":"2010-01-01","xqh":"0",)"
    R"("sfzjh":"\u0034\u0034\u0030\u0031\u0030\u0036\u0032\u0030\u0031\u0030\u0030\u0031\u0030\u0031\u0031\u0032\u0033\u0058",)"
    R"("xxJbxxId":"xx01","sfzjlxm":"1","hkszdm":"440106"},)"
    R"({"xxbsm":"1144010600","xm":"\u674e\u56db","xsJbxxId":"8a80a1b3","jdfsm":"1","state":"1",)"
    R"("xxBjxxId":"bj02","sfcjm":"1","rownum":2,"jdztm":"31","xxNjxxId":"22","bh":"","xxmc":"\u756a\u79ba\u533a",)"
    R"("njmc":"\u521d\u4e2d\u4e8c\u5e74\u7ea7","sffb":"0","jtzz":"","grbsm":"G44010620110202234X",)"
    R"("bjmc":"2019\u7ea72\u73ed","mzm":"99","xbm":"2","jg":null,"txdz":"","lxdh":null,"xjfh":null,)"
    R"("javaClass":"HashMap","csrq":"2011-02-02","xqh":"0","sfzjh":"44010620110202234X","xxJbxxId":"xx01",)"
    R"("sfzjlxm":"Z","hkszdm":""}],"total":2})";

TEST(StudentRecord, RealisticAnswerGivesCellTexts) {
  std::string_view rest = kAnswer;
  const auto first = ReadKeyedRecord(rest, kStudentMarkers);
  ASSERT_TRUE(first.has_value());
  ASSERT_EQ(first->size(), 31u);
  EXPECT_EQ(studentCells(*first),
            (Cells{"张𠮷", "G440106201001011234", "44010620100101123X", "男", "广东广州", "汉族",
                   "广州市天河区中山大道1号", "13800138000", "广州市第一中学", "2019级1班", "初中一年级", "否", "是",
                   "2010-01-01", "居民身份证", "住校", "广州市天河区邮政信箱88号", "440106", "在校"}));

  const auto second = ReadKeyedRecord(rest, kStudentMarkers);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(studentCells(*second),
            (Cells{"李四", "G44010620110202234X", "44010620110202234X", "女", "", "未知", "", "", "番禺区",
                   "2019级2班", "初中二年级", "是", "否", "2011-02-02", "其他", "走读", "", "", "休学"}));

  EXPECT_FALSE(ReadKeyedRecord(rest, kStudentMarkers).has_value());
}

TEST(StudentRecord, RecordWithoutPhoneKeyEndsTheWalk) {
  std::string answer = kAnswer;
  const auto at = answer.find(R"(,"lxdh":"13800138000")");
  ASSERT_NE(at, std::string::npos);
  answer.erase(at, std::string_view(R"(,"lxdh":"13800138000")").size());
  std::string_view rest = answer;
  EXPECT_FALSE(ReadKeyedRecord(rest, kStudentMarkers).has_value());
}

TEST(StudentRecord, ShortOrBrokenValuesStillGiveCells) {
  EXPECT_EQ(studentCells({}),
            (Cells{"", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "在校"}));
  std::vector<std::string> values(31);
  values[kXm] = "\xff\\u4e2d";   // a stray byte before an escape
  values[kGrbsm] = "G\xfe";       // as-cut bytes that are no UTF-8
  values[kSfzjh] = "\\u0031X";
  const auto cells = studentCells(values);
  EXPECT_EQ(cells[0], "\xEF\xBF\xBD中");
  EXPECT_EQ(cells[1], "G\xEF\xBF\xBD");
  EXPECT_EQ(cells[2], "1X");
}

TEST(StudentRecord, MarkersAndColumns) {
  EXPECT_EQ(kStudentMarkers.front(), R"("xxbsm":)");
  EXPECT_EQ(kStudentMarkers[21], R"(,"lxdh":)");
  EXPECT_EQ(kStudentMarkers.back(), "}");
  for (std::size_t i = 1; i + 1 < kStudentMarkers.size(); ++i) {
    const auto m = kStudentMarkers[i];
    EXPECT_TRUE(m.starts_with(",\"") && m.ends_with("\":")) << m;
  }
  struct Col {
    int pos;
    const char* title;
    const char* width;
  };
  const Col cols[] = {{1, "姓名", "9.75"},         {2, "学籍号", "20.63"},  {3, "身份证号", "19.5"},
                      {6, "民族", "8.13"},         {8, "联系电话", "17.38"}, {9, "学校名称", "30.25"},
                      {15, "身份证件类型", "16.25"}, {16, "就读方式", "8.25"}, {18, "户口所在地", "12.25"},
                      {19, "就读状态", "12.25"}};
  for (const auto& c : cols) {
    EXPECT_STREQ(kExportColumns[static_cast<std::size_t>(c.pos - 1)].title, c.title) << c.pos;
    EXPECT_STREQ(kExportColumns[static_cast<std::size_t>(c.pos - 1)].width, c.width) << c.pos;
  }
}

}  // namespace
}  // namespace qm
