#include "server/duplicate/duplicate_request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm {
namespace {

const std::string kToken = "0a1b2c3d-0000-4111-8222-333344445555";

std::string hexEscaped(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    static const char hex[] = "0123456789abcdef";
    escaped += "\\x";
    escaped += hex[static_cast<unsigned char>(c) >> 4];
    escaped += hex[c & 0xF];
  }
  return escaped;
}

TEST(DuplicateHeaders, CookieLineHasNoBlankAfterTheColon) {
  EXPECT_EQ(cookieLine("JSESSIONID=ABC; lang=zh"), "Cookie:JSESSIONID=ABC; lang=zh");
  EXPECT_EQ(cookieLine(""), "Cookie:");
}

TEST(DuplicatePageToken, DecodesTheEscapedRunAfterTheMarker) {
  const std::string marker = R"(\x74\x6f\x6b\x65\x6e\x27\x3a\x27)";
  const std::string page = "<script>var cfg={'a':'b'," + marker + hexEscaped(kToken) + "'};</script>";
  EXPECT_EQ(readDuplicatePageToken(page), kToken);
}

TEST(DuplicatePageToken, NoMarkerOrAnUnsendableTokenIsNoToken) {
  const std::string marker = R"(\x74\x6f\x6b\x65\x6e\x27\x3a\x27)";
  // The login page a lost session gets, a page whose cut would hold NUL and LF
  // bytes, a marker at the very end, and a token with a line break in it.
  const std::string lost = "<html><body><input name=\"_j_username\" type=\"text\"></body></html>";
  std::string padded(200, 'x');
  padded.replace(40, 4, "\\x00");
  padded.replace(60, 4, "\\x0a");
  const std::string cases[] = {
      lost,
      padded,
      "var ccrf = \"" + marker,
      "var ccrf = \"" + marker + hexEscaped("0a1b2c3d-0000-4111-8222-3333\n4445555") + "\"",
  };
  for (const std::string& page : cases) EXPECT_EQ(readDuplicatePageToken(page), std::nullopt) << page;
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
