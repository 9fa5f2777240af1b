#include "server/duplicate/duplicate_request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm {
namespace {

const std::string kToken = "0a1b2c3d-0000-4111-8222-333344445555";

TEST(DuplicateHeaders, QueryLinesInSendingOrder) {
  const DuplicateHeaders h = duplicateRunHeaders(cookieLine("JSESSIONID=ABC; lang=zh"), kToken, "10.1.2.3:8080");
  const std::vector<std::string> expected = {
      "Connection: zh-CN,zh",
      "Content-Type: application/json",
      "Content-Length: 321",
      "Cookie:JSESSIONID=ABC; lang=zh",
      "X-Requested-With: XMLHttpRequest",
      "ccrf-token:" + kToken,
      "Host: 10.1.2.3:8080",
      "Accept: */*",
      "Accept-Encoding: gzip, deflate",
      "Accept-Language: zh-cn",
      "Referer: http://10.1.2.3:8080/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp?",
      "User-Agent: Mozilla/5.0 (Windows NT 5.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/30.0.1599.69 "
      "Safari/537.36 TheWorld 6",
  };
  EXPECT_EQ(orderedHeaderLines(h, "10.1.2.3:8080", 321), expected);
}

TEST(DuplicateHeaders, CaptchaRequestCarriesTheRunHeadersWithoutLength) {
  const DuplicateHeaders h = duplicateRunHeaders(cookieLine(""), kToken, "xj.example");
  const auto lines = orderedHeaderLines(h, "xj.example", std::nullopt);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[1], "Content-Type: application/json");
  EXPECT_EQ(lines[2], "Cookie:");  // an empty cookie text still sends the bare line
  EXPECT_EQ(lines[5], "Host: xj.example");
}

TEST(DuplicateHeaders, NextRunPageRequestKeepsValuesWithOnlyTheCookieLine) {
  DuplicateHeaders h = duplicateRunHeaders(cookieLine("a=1"), kToken, "h");
  h.extraLines = {cookieLine("a=2")};
  const auto lines = orderedHeaderLines(h, "h", std::nullopt);
  const std::vector<std::string> expected = {
      "Connection: zh-CN,zh", "Content-Type: application/json", "Cookie:a=2", "Host: h", "Accept: */*",
      "Accept-Encoding: gzip, deflate", "Accept-Language: zh-cn",
      "Referer: http://h/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp?",
      "User-Agent: Mozilla/5.0 (Windows NT 5.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/30.0.1599.69 "
      "Safari/537.36 TheWorld 6"};
  EXPECT_EQ(lines, expected);
}

TEST(DuplicateHeaders, CacheControlGoesBeforeTheExtraLinesWhenSet) {
  DuplicateHeaders h;
  h.cacheControl = "no-cache";
  h.accept = "*/*";
  h.extraLines = {"Cookie:x"};
  EXPECT_EQ(orderedHeaderLines(h, "", 5),
            (std::vector<std::string>{"Content-Length: 5", "Cache-control: no-cache", "Cookie:x", "Accept: */*"}));
}

TEST(DuplicatePageToken, DecodesTheEscapedRunAfterTheMarker) {
  std::string escaped;
  for (char c : kToken) {
    static const char hex[] = "0123456789abcdef";
    escaped += "\\x";
    escaped += hex[static_cast<unsigned char>(c) >> 4];
    escaped += hex[c & 0xF];
  }
  const std::string page = "<script>var cfg={'a':'b',\\x74\\x6f\\x6b\\x65\\x6e\\x27\\x3a\\x27" + escaped + "'};</script>";
  EXPECT_EQ(ReadDuplicatePageToken(page), kToken);
}

const std::string kHead = R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"xm":")";
const std::string kTail =
    R"(","start":0,"limit":20,"defaultSort":{"javaClass":"ArrayList","list":[]},"dir":"ASC"},"length":13},)"
    R"("context":{"javaClass":"HashMap","map":{},"length":0}})";

std::string expectedBody(const std::string& name, const std::string& id, const std::string& code) {
  return kHead + name + R"(","sfzjh":")" + id + R"(","xbm":"","csrq":"","sfzx":"","grbsm":"","jdztm":"","rdmCode":")" +
         code + kTail;
}

TEST(DuplicateQueryBody, PlainValuesStandAsTheyAre) {
  EXPECT_EQ(BuildDuplicateQueryBody("张三", "44010620100101001X", "a7k2"),
            expectedBody("张三", "44010620100101001X", "a7k2"));
  EXPECT_EQ(BuildDuplicateQueryBody("", "", ""), expectedBody("", "", ""));
}

TEST(DuplicateQueryBody, QuoteBackslashAndControlsAreEscaped) {
  struct Case {
    std::string name, id, code, name2, id2, code2;
  } cases[] = {
      {"王\"小\\明", "4401\"", "ab\\", "王\\\"小\\\\明", "4401\\\"", "ab\\\\"},
      {"a\tb\nc\rd", "x\by\fz", std::string("q\x01w\x1f", 4), "a\\tb\\nc\\rd", "x\\by\\fz", "q\\u0001w\\u001f"},
      // A name that tries to close the string and add a key stays one value.
      {R"(x","sfzjh":"1)", "1", "c", R"(x\",\"sfzjh\":\"1)", "1", "c"},
      // Ill-formed UTF-8 cannot reach the server.
      {"\xC3(", "1", "c", "\xEF\xBF\xBD(", "1", "c"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildDuplicateQueryBody(c.name, c.id, c.code), expectedBody(c.name2, c.id2, c.code2)) << c.name;
  }
}

}  // namespace
}  // namespace qm
