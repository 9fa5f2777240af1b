// The three detail queries of the extended export, read with the export's cuts.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/unit/sim/sim_page_helpers.h"
#include "tests/unit/sim/sim_test_helpers.h"

namespace qm::test {
namespace {

std::string studentBody(const std::string& id) {
  return "{\"params\":{\"javaClass\":\"org.loushang.next.data.ParameterSet\",\"map\":{\"XS_JBXX_ID@=\":\"" + id +
         "\",\"defaultSort\":{\"javaClass\":\"ArrayList\",\"list\":[]},\"dir\":\"ASC\"},\"length\":4},\"context\":{"
         "\"javaClass\":\"HashMap\",\"map\":{},\"length\":0}}";
}

std::string classBody(const std::string& id) {
  return "{\"params\":{\"javaClass\":\"org.loushang.next.data.ParameterSet\",\"map\":{\"XX_BJXX_ID@=\":\"" + id +
         "\",\"start\":0,\"limit\":10,\"defaultSort\":{\"javaClass\":\"ArrayList\",\"list\":[]},\"dir\":\"ASC\"},"
         "\"length\":6},\"context\":{\"javaClass\":\"HashMap\",\"map\":{},\"length\":0}}";
}

class RegSimDetails : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.started);
    cookie_ = sim().loginCookie();
  }
  sim::RegSim& sim() { return server_.sim; }
  // The export's request: no page token.
  HttpReply post(const char* path, const std::string& body) {
    return httpExchange(sim().port(), std::string("POST ") + path +
                                          " HTTP/1.0\r\nConnection: Keep-Alive\r\nContent-Type: application/json\r\n"
                                          "Content-Length: " + std::to_string(body.size()) + "\r\nCookie:" + cookie_ +
                                          "\r\nx-requested-with: XMLHttpRequest\r\n\r\n" + body);
  }
  std::string answer(const char* path, const std::string& body) {
    const HttpReply reply = post(path, body);
    EXPECT_EQ(reply.status, 200) << path;
    EXPECT_EQ(reply.header("Content-Type"), "application/json; charset=utf-8");
    return reply.body;
  }

  StartedRegSim server_{{.students = 12}};
  std::string cookie_;
};

TEST_F(RegSimDetails, AnswersGiveTheFiveColumnsThroughTheExportsCuts) {
  std::set<std::string> residenceTypes;
  for (std::size_t i = 0; i < sim().students().size(); ++i) {
    const sim::Student& s = sim().students()[i];
    const std::string a = answer(sim::RegSim::kDetailServicePath, studentBody(s.xsJbxxId));
    std::string birth = s.csrq;
    birth.erase(std::remove(birth.begin(), birth.end(), '-'), birth.end());
    EXPECT_EQ(cutAfter(a, "\"csrq\":\"", 0, 8), birth);
    EXPECT_EQ(cutAfter(a, "\"hkszdm\":\"", 0, 12), s.hkszdm + "000000");
    const std::string type = cutAfter(a, "\"hkxzm\":\"", 0, 1);
    EXPECT_TRUE(type == "1" || type == "2") << type;
    residenceTypes.insert(type);
    const std::string classId = cutAfter(a, "\"xxBjxxId\":\"", 0, 32);
    EXPECT_EQ(classId, s.xxBjxxId);

    const std::string b = answer(sim::RegSim::kFamilyServicePath, studentBody(s.xsJbxxId));
    const std::string guardian = cutBetween(b, "\"cyxm\":\"", "\",\"xzz\":\"");
    EXPECT_EQ(guardian.rfind("\\u", 0), 0u) << guardian;
    EXPECT_EQ(guardian.find('"'), std::string::npos) << guardian;
    EXPECT_EQ(decodeUnicode(guardian), sim().studentDetails(i).guardianName);
    // The guardian bears the student's surname.
    EXPECT_EQ(decodeUnicode(guardian).substr(0, 3), s.xm.substr(0, 3));

    const std::string c = answer(sim::RegSim::kClassServicePath, classBody(classId));
    const std::string className = cutBetween(c, "\"bjmc\":\"", "\",\"state\"");
    EXPECT_EQ(className.find('"'), std::string::npos) << className;
    EXPECT_EQ(decodeUnicode(className), s.bjmc);
  }
  EXPECT_EQ(residenceTypes, (std::set<std::string>{"1", "2"}));
}

TEST_F(RegSimDetails, UnknownIdsAnswerNoRows) {
  const std::string none = "{\"total\":0,\"javaClass\":\"DataSet\",\"rows\":[]}";
  EXPECT_EQ(answer(sim::RegSim::kDetailServicePath, studentBody("0123")), none);
  EXPECT_EQ(answer(sim::RegSim::kFamilyServicePath, studentBody("")), none);
  EXPECT_EQ(answer(sim::RegSim::kClassServicePath, classBody(sim().students()[0].xsJbxxId)), none);
}

TEST_F(RegSimDetails, NoSessionRedirects) {
  cookie_ = "JSESSIONID=none";
  for (const char* path :
       {sim::RegSim::kDetailServicePath, sim::RegSim::kFamilyServicePath, sim::RegSim::kClassServicePath}) {
    const HttpReply reply = post(path, studentBody(sim().students()[0].xsJbxxId));
    EXPECT_EQ(reply.status, 302) << path;
    EXPECT_EQ(reply.header("Location"), "/");
  }
}

}  // namespace
}  // namespace qm::test
