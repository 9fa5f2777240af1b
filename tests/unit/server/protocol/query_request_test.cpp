#include "server/protocol/query_request.h"

#include <gtest/gtest.h>

#include <string>

#include "server/protocol/code_tables.h"

namespace qm {
namespace {

struct BodyCase {
  int grade;  // position in the grade list
  std::string userType, organCode;
  int start;
  std::string expected;
};

TEST(BuildQueryBody, ExactBytes) {
  const std::string code32 = "4401060000010000000000000000ABCD";
  const BodyCase cases[] = {
      {0, "1", "440106000001", 0,
       R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"organCode":"440106000001",)"
       R"("type":"01","cxlx":"zxs","start":0,"limit":50,"defaultSort":{"javaClass":"ArrayList","list":[]}},)"
       R"("length":37},"context":{"javaClass":"HashMap","map":{},"length":0}})"},
      {7, "1", "440106000001", 50,
       R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"organCode":"440106000001",)"
       R"("xxNjxxId":"21","type":"01","cxlx":"zxs","start":50,"limit":50,"defaultSort":{"javaClass":"ArrayList",)"
       R"("list":[]}},"length":37},"context":{"javaClass":"HashMap","map":{},"length":0}})"},
      {0, "2", code32, 100,
       R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"organCode":"4401060000010000000000000000ABCD",)"
       R"("type":"04","cxlx":"zxs","start":100,"limit":50,"defaultSort":{"javaClass":"ArrayList","list":[]}},)"
       R"("length":37},"context":{"javaClass":"HashMap","map":{},"length":0}})"},
      {7, "2", code32, 0,
       R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"organCode":"4401060000010000000000000000ABCD",)"
       R"("xxNjxxId":"21","type":"04","cxlx":"zxs","start":0,"limit":50,"defaultSort":{"javaClass":"ArrayList",)"
       R"("list":[]}},"length":37},"context":{"javaClass":"HashMap","map":{},"length":0}})"},
      // An account type that is not "1", even an empty one read off a broken page, queries "04".
      {0, "", "", 0,
       R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"organCode":"",)"
       R"("type":"04","cxlx":"zxs","start":0,"limit":50,"defaultSort":{"javaClass":"ArrayList","list":[]}},)"
       R"("length":37},"context":{"javaClass":"HashMap","map":{},"length":0}})"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(buildQueryBody(c.organCode, gradeCodeAt(c.grade), c.userType, c.start, 50), c.expected)
        << kGrades[static_cast<std::size_t>(c.grade)].name << " userType " << c.userType;
  }
}

}  // namespace
}  // namespace qm
