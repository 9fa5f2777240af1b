#include "server/scrape/student_details.h"

#include <algorithm>

#include "common/text_encoding.h"
#include "net/http_client.h"
#include "server/protocol/text_routines.h"

namespace qm {
namespace {

constexpr std::string_view kBodyTail =
    R"(","defaultSort":{"javaClass":"ArrayList","list":[]},"dir":"ASC"},"length":4},)"
    R"("context":{"javaClass":"HashMap","map":{},"length":0}})";
constexpr std::string_view kClassBodyTail =
    R"(","start":0,"limit":10,"defaultSort":{"javaClass":"ArrayList","list":[]},"dir":"ASC"},"length":6},)"
    R"("context":{"javaClass":"HashMap","map":{},"length":0}})";

// A page cell goes into the JSON text as a string: a quote or backslash in it
// must not end the string early.
std::string jsonStringContent(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      static const char hex[] = "0123456789abcdef";
      out += "\\u00";
      out += hex[u >> 4];
      out += hex[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

// A line end in a page cell would start a header line of its own.
std::string headerSafe(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) out += c;
  return out;
}

// CutAfter when the key is there; an answer without it gives nothing.
std::string cutKey(std::string_view answer, std::string_view marker, int length) {
  if (answer.find(marker) == std::string_view::npos) return {};
  return CutAfter(answer, marker, 0, length);
}

std::string cutDecoded(std::string_view answer, std::string_view start, std::string_view end) {
  if (answer.find(start) == std::string_view::npos) return {};
  return DecodeUnicodeEscapesUtf8(CutBetween(answer, start, end));
}

}  // namespace

std::string studentQueryBody(std::string_view recordId) {
  return std::string(R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"XS_JBXX_ID@=":")") +
         jsonStringContent(recordId) + std::string(kBodyTail);
}

std::string classQueryBody(std::string_view classId) {
  return std::string(R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"XX_BJXX_ID@=":")") +
         jsonStringContent(classId) + std::string(kClassBodyTail);
}

std::string studentDetailReferer(std::string_view serverHost, std::string_view recordId, std::string_view school) {
  // The page's texts go out in the system's code page, as every text of the export does.
  return "http://" + std::string(serverHost) + "/jsp/mems/xjgl/zhcx/zxxsxsjbxx_detail.jsp?xsJbxxId=" +
         headerSafe(utf8ToGbk(recordId)) + "&xxmc=" + headerSafe(utf8ToGbk(school));
}

void setStudentDetailHeaders(HttpClient& client, const std::string& cookieText) {
  client.clearExtraLines();
  client.addExtraLine("Cookie:" + cookieText);
  client.addExtraLine("x-requested-with: XMLHttpRequest");
  HttpHeaderValues& h = client.headers();
  h.accept = "*/*";
  h.acceptLanguage = "zh-cn";
  h.connection = "Keep-Alive";
  h.contentType = "application/json";
  h.cacheControl = "no-cache";
  h.acceptEncoding = "gzip,deflate,sdch";
  h.userAgent =
      "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1; WOW64; Trident/7.0; SLCC2; .NET CLR 2.0.50727; "
      ".NET CLR 3.5.30729; .NET CLR 3.0.30729; Media Center PC 6.0; .NET4.0C; .NET4.0E)";
}

StudentDetailCuts cutStudentDetail(std::string_view answer) {
  StudentDetailCuts cuts;
  cuts.birthDate = cutKey(answer, R"("csrq":")", 8);
  cuts.residencePlace = cutKey(answer, R"("hkszdm":")", 12);
  const std::string type = cutKey(answer, R"("hkxzm":")", 1);
  if (answer.find(R"("hkxzm":")") != std::string_view::npos) cuts.residenceType = type == "1" ? "农业户口" : "非农业户口";
  // An identifier never holds a quote: an empty value must not take the next key's text.
  cuts.classId = cutKey(answer, R"("xxBjxxId":")", 32);
  cuts.classId.erase(std::min(cuts.classId.find('"'), cuts.classId.size()));
  return cuts;
}

std::string cutGuardianName(std::string_view answer) { return cutDecoded(answer, R"("cyxm":")", R"(","xzz":")"); }

std::string cutClassName(std::string_view answer) { return cutDecoded(answer, R"("bjmc":")", R"(","state")"); }

std::vector<std::string> fetchStudentDetails(HttpClient& client, const std::string& serverHost,
                                             const std::string& recordId, const std::string& school) {
  const std::string base = "http://" + serverHost;
  const std::string body = studentQueryBody(recordId);
  client.headers().referer = studentDetailReferer(serverHost, recordId, school);
  const StudentDetailCuts detail = cutStudentDetail(client.post(base + std::string(kStudentDetailPath), body));
  const std::string guardian = cutGuardianName(client.post(base + std::string(kFamilyPath), body));
  // A student in no class gets an empty cell, not a query for an empty id.
  std::string className;
  if (!detail.classId.empty()) {
    client.headers().referer = base + std::string(kDetailsListPath);
    className = cutClassName(client.post(base + std::string(kClassPath), classQueryBody(detail.classId)));
  }
  return {detail.birthDate, detail.residencePlace, detail.residenceType, guardian, className};
}

}  // namespace qm
