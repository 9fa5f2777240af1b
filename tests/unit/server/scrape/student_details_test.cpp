// The details export's requests and cuts: bodies and Referers byte for byte,
// the client's headers, and the five columns from the three answers, with
// an empty cell for a key an answer lacks.
#include <gtest/gtest.h>

#include "net/http_client.h"
#include "server/scrape/student_details.h"

namespace qm {
namespace {

TEST(StudentDetailRequests, BodiesAsTheServerTakesThem) {
  EXPECT_EQ(studentQueryBody("4028abcd"),
            R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"XS_JBXX_ID@=":"4028abcd",)"
            R"("defaultSort":{"javaClass":"ArrayList","list":[]},"dir":"ASC"},"length":4},)"
            R"("context":{"javaClass":"HashMap","map":{},"length":0}})");
  EXPECT_EQ(classQueryBody("c1"),
            R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"XX_BJXX_ID@=":"c1",)"
            R"("start":0,"limit":10,"defaultSort":{"javaClass":"ArrayList","list":[]},"dir":"ASC"},"length":6},)"
            R"("context":{"javaClass":"HashMap","map":{},"length":0}})");
  // A quote, backslash or line end in a page cell cannot break the JSON text.
  EXPECT_NE(studentQueryBody("a\"b\\c\n").find(R"("XS_JBXX_ID@=":"a\"b\\c\u000a",)"), std::string::npos);
}

TEST(StudentDetailRequests, RefererCarriesIdAndSchoolWithoutLineEnds) {
  // The school name in GBK bytes: 第一中学 is B5DA D2BB D6D0 D1A7.
  EXPECT_EQ(studentDetailReferer("127.0.0.1:8080", "id1", "第一中学"),
            "http://127.0.0.1:8080/jsp/mems/xjgl/zhcx/zxxsxsjbxx_detail.jsp?xsJbxxId=id1&xxmc="
            "\xB5\xDA\xD2\xBB\xD6\xD0\xD1\xA7");
  EXPECT_EQ(studentDetailReferer("h", "id\r\nX-Evil: 1", "s"),
            "http://h/jsp/mems/xjgl/zhcx/zxxsxsjbxx_detail.jsp?xsJbxxId=idX-Evil: 1&xxmc=s");
}

TEST(StudentDetailRequests, ClientHeaders) {
  HttpClient client("IdHTTP3", 3000);
  client.addExtraLine("left over");
  setStudentDetailHeaders(client, "JSESSIONID=ab");
  EXPECT_EQ(client.extraLines(), (std::vector<std::string>{"Cookie:JSESSIONID=ab", "x-requested-with: XMLHttpRequest"}));
  const HttpHeaderValues& h = client.headers();
  EXPECT_EQ(h.accept, "*/*");
  EXPECT_EQ(h.acceptLanguage, "zh-cn");
  EXPECT_EQ(h.connection, "Keep-Alive");
  EXPECT_EQ(h.contentType, "application/json");
  EXPECT_EQ(h.cacheControl, "no-cache");
  EXPECT_EQ(h.acceptEncoding, "gzip,deflate,sdch");
  EXPECT_EQ(h.userAgent.rfind("Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1; WOW64; Trident/7.0;", 0), 0u);
}

TEST(StudentDetailCutsTest, QueryOneColumnsAndClassId) {
  const std::string classId(32, 'c');
  const std::string answer = R"({"total":1,"rows":[{"xm":"\u5f20","csrq":"20100304","hkszdm":"440106000000",)"
                             R"("hkxzm":"1","xxBjxxId":")" + classId + R"("}]})";
  StudentDetailCuts cuts = cutStudentDetail(answer);
  EXPECT_EQ(cuts.birthDate, "20100304");
  EXPECT_EQ(cuts.residencePlace, "440106000000");
  EXPECT_EQ(cuts.residenceType, "农业户口");
  EXPECT_EQ(cuts.classId, classId);

  const struct {
    const char* type;
    const char* text;
  } types[] = {{"2", "非农业户口"}, {"9", "非农业户口"}, {"", "非农业户口"}, {"1", "农业户口"}};
  for (const auto& t : types) {
    SCOPED_TRACE(t.type);
    EXPECT_EQ(cutStudentDetail(std::string(R"({"hkxzm":")") + t.type + "\"}").residenceType, t.text);
  }
}

TEST(StudentDetailCutsTest, AnAnswerWithoutTheKeysGivesEmptyCells) {
  const std::string answer = R"({"total":0,"javaClass":"DataSet","rows":[]})";
  const StudentDetailCuts cuts = cutStudentDetail(answer);
  EXPECT_EQ(cuts.birthDate, "");
  EXPECT_EQ(cuts.residencePlace, "");
  EXPECT_EQ(cuts.residenceType, "");
  EXPECT_EQ(cuts.classId, "");
  // An empty identifier stays empty instead of taking the next key's text.
  EXPECT_EQ(cutStudentDetail(R"({"rows":[{"xxBjxxId":"","bjmc":"x","more":"yyyyyyyyyyyyyyyyyyyy"}]})").classId, "");
  EXPECT_EQ(cutGuardianName(answer), "");
  EXPECT_EQ(cutClassName(answer), "");
  // The end marker alone does not make a name out of the text before it.
  EXPECT_EQ(cutGuardianName(R"({"rows":[{"xm":"a","xzz":"b"}]})"), "");
  EXPECT_EQ(cutClassName(R"({"x":"y","state":"1"})"), "");
}

TEST(StudentDetailCutsTest, NamesDecodeTheirEscapes) {
  EXPECT_EQ(cutGuardianName(R"({"rows":[{"gxm":"51","cyxm":"\u5f20\u5efa\u56fd","xzz":"x"},)"
                            R"({"cyxm":"\u6797","xzz":"y"}]})"),
            "张建国");
  EXPECT_EQ(cutClassName(R"({"rows":[{"bjmc":"2019\u7ea71\u73ed","state":"1"}]})"), "2019级1班");
  // A rare character outside the BMP, escaped as a surrogate pair, stays whole.
  EXPECT_EQ(cutGuardianName(R"({"cyxm":"\ud842\udfb7","xzz":""})"), "\xF0\xA0\xAE\xB7");
}

}  // namespace
}  // namespace qm
