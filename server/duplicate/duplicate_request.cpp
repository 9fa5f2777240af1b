#include "server/duplicate/duplicate_request.h"

#include "server/duplicate/json_string_content.h"
#include "server/protocol/text_routines.h"

namespace qm {

std::string cookieLine(std::string_view cookieText) {
  std::string line = "Cookie:";
  line += cookieText;
  return line;
}

std::optional<std::string> readDuplicatePageToken(std::string_view page) {
  constexpr std::string_view kMarker = R"(\x74\x6f\x6b\x65\x6e\x27\x3a\x27)";
  if (page.find(kMarker) == std::string_view::npos) return std::nullopt;
  std::string token = DecodeHexEscapes(CutAfter(page, kMarker, 0, 144));
  // A token that would break its header line is no token.
  if (token.empty()) return std::nullopt;
  for (const char c : token)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return std::nullopt;
  return token;
}

std::string BuildDuplicateQueryBody(std::string_view name, std::string_view idNumber, std::string_view captcha) {
  std::string body = R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"xm":")";
  appendJsonStringContent(body, name);
  body += R"(","sfzjh":")";
  appendJsonStringContent(body, idNumber);
  body += R"(","xbm":"","csrq":"","sfzx":"","grbsm":"","jdztm":"","rdmCode":")";
  appendJsonStringContent(body, captcha);
  body += R"(","start":0,"limit":20,"defaultSort":{"javaClass":"ArrayList","list":[]},"dir":"ASC"},"length":13},)"
          R"("context":{"javaClass":"HashMap","map":{},"length":0}})";
  return body;
}

}  // namespace qm
