#include "server/duplicate/duplicate_request.h"

#include "server/duplicate/json_string_content.h"
#include "server/protocol/text_routines.h"

namespace qm {
namespace {

void addIfSet(std::vector<std::string>& out, std::string_view name, const std::string& value) {
  if (value.empty()) return;
  std::string line(name);
  line += ": ";
  line += value;
  out.push_back(std::move(line));
}

}  // namespace

std::string cookieLine(std::string_view cookieText) {
  std::string line = "Cookie:";
  line += cookieText;
  return line;
}

DuplicateHeaders duplicateRunHeaders(std::string_view cookie, std::string_view token, std::string_view host) {
  DuplicateHeaders h;
  h.extraLines.emplace_back(cookie);
  h.extraLines.emplace_back("X-Requested-With: XMLHttpRequest");
  h.extraLines.push_back("ccrf-token:" + std::string(token));
  h.accept = "*/*";
  h.acceptLanguage = "zh-cn";
  // A language list as Connection: what the server has always been sent.
  h.connection = "zh-CN,zh";
  h.contentType = "application/json";
  h.acceptEncoding = "gzip, deflate";
  h.referer = "http://" + std::string(host) + std::string(kDuplicatePagePath) + "?";
  h.userAgent =
      "Mozilla/5.0 (Windows NT 5.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/30.0.1599.69 Safari/537.36 "
      "TheWorld 6";
  return h;
}

std::vector<std::string> orderedHeaderLines(const DuplicateHeaders& h, std::string_view host,
                                            std::optional<std::size_t> bodyLength) {
  std::vector<std::string> out;
  addIfSet(out, "Connection", h.connection);
  addIfSet(out, "Content-Type", h.contentType);
  if (bodyLength) out.push_back("Content-Length: " + std::to_string(*bodyLength));
  addIfSet(out, "Cache-control", h.cacheControl);
  out.insert(out.end(), h.extraLines.begin(), h.extraLines.end());
  addIfSet(out, "Host", std::string(host));
  addIfSet(out, "Accept", h.accept);
  addIfSet(out, "Accept-Encoding", h.acceptEncoding);
  addIfSet(out, "Accept-Language", h.acceptLanguage);
  addIfSet(out, "Referer", h.referer);
  addIfSet(out, "User-Agent", h.userAgent);
  return out;
}

std::string ReadDuplicatePageToken(std::string_view page) {
  return DecodeHexEscapes(CutAfter(page, R"(\x74\x6f\x6b\x65\x6e\x27\x3a\x27)", 0, 144));
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
