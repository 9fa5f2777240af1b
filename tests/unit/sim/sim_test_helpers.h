#pragma once
// What the client side does with the server's answers, written out plainly here
// so these tests depend on no other code of the program: the 31-marker key
// walk, \u decoding, the query page cuts and the query body.
#include <string>
#include <vector>

#include "common/utf8.h"
#include "tests/support/regsim_test_util.h"

namespace qm::test {

inline const std::vector<std::string>& recordMarkers() {
  static const std::vector<std::string> markers = {
      "\"xxbsm\":", ",\"xm\":", ",\"xsJbxxId\":", ",\"jdfsm\":", ",\"state\":", ",\"xxBjxxId\":", ",\"sfcjm\":",
      ",\"rownum\":", ",\"jdztm\":", ",\"xxNjxxId\":", ",\"bh\":", ",\"xxmc\":", ",\"njmc\":", ",\"sffb\":",
      ",\"jtzz\":", ",\"grbsm\":", ",\"bjmc\":", ",\"mzm\":", ",\"xbm\":", ",\"jg\":", ",\"txdz\":", ",\"lxdh\":",
      ",\"xjfh\":", ",\"javaClass\":", ",\"csrq\":", ",\"xqh\":", ",\"sfzjh\":", ",\"xxJbxxId\":", ",\"sfzjlxm\":",
      ",\"hkszdm\":", "}"};
  return markers;
}
enum Field { xxbsm, xm, xsJbxxId, jdfsm, state, xxBjxxId, sfcjm, rownum, jdztm, xxNjxxId, bh, xxmc, njmc, sffb,
             jtzz, grbsm, bjmc, mzm, xbm, jg, txdz, lxdh, xjfh, javaClass, csrq, xqh, sfzjh, xxJbxxId, sfzjlxm,
             hkszdm };

inline std::string normalizeValue(std::string raw) {
  if (!raw.empty() && raw.front() == '"') raw = raw.size() >= 2 ? raw.substr(1, raw.size() - 2) : std::string();
  return raw == "null" ? std::string() : raw;
}

// Walks the markers in order from the start of text; on success text then begins at the closing "}".
inline bool readKeyedRecord(std::string& text, std::vector<std::string>& values) {
  const auto& markers = recordMarkers();
  values.clear();
  for (std::size_t i = 0; i < markers.size(); ++i) {
    const auto p = text.find(markers[i]);
    if (p == std::string::npos) return false;
    const auto q = i + 1 < markers.size() ? text.find(markers[i + 1]) : std::string::npos;
    const auto start = p + markers[i].size();
    values.push_back(normalizeValue(q != std::string::npos && q > start ? text.substr(start, q - start) : ""));
    if (q != std::string::npos) text.erase(0, q);
  }
  return true;
}

inline std::vector<std::vector<std::string>> readAllRecords(std::string answer) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> values;
  while (readKeyedRecord(answer, values)) records.push_back(values);
  return records;
}

// \uXXXX escapes (surrogate pairs joined) to UTF-8; other text kept.
inline std::string decodeUnicode(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, 2, "\\u") == 0 && i + 6 <= text.size()) {
      char32_t unit = static_cast<char32_t>(std::stoul(text.substr(i + 2, 4), nullptr, 16));
      i += 6;
      if (unit >= 0xD800 && unit < 0xDC00 && text.compare(i, 2, "\\u") == 0 && i + 6 <= text.size()) {
        const auto low = static_cast<char32_t>(std::stoul(text.substr(i + 2, 4), nullptr, 16));
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 6;
      }
      utf8::append(out, unit);
    } else {
      out += text[i++];
    }
  }
  return out;
}

// The length characters after the marker, skipping skip characters; an absent marker gives "".
inline std::string cutAfter(const std::string& page, const std::string& marker, std::size_t skip, std::size_t length) {
  const auto p = page.find(marker);
  if (p == std::string::npos || p + marker.size() + skip > page.size()) return {};
  return page.substr(p + marker.size() + skip, length);
}

// Each group of four characters "\xHH" to one byte.
inline std::string decodeHexEscapes(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i + 4 <= text.size(); i += 4)
    out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
  return out;
}

// The query body exactly as the client builds it; grade "**" sends no grade entry.
inline std::string queryBody(const std::string& organCode, const std::string& grade, const std::string& type,
                             long long start, long long limit = 50) {
  std::string body = "{\"params\":{\"javaClass\":\"org.loushang.next.data.ParameterSet\",\"map\":{\"organCode\":\"" +
                     organCode + "\"";
  if (grade != "**") body += ",\"xxNjxxId\":\"" + grade + "\"";
  body += ",\"type\":\"" + type + "\",\"cxlx\":\"zxs\",\"start\":" + std::to_string(start) +
          ",\"limit\":" + std::to_string(limit) +
          ",\"defaultSort\":{\"javaClass\":\"ArrayList\",\"list\":[]}},\"length\":37},\"context\":{\"javaClass\":"
          "\"HashMap\",\"map\":{},\"length\":0}}";
  return body;
}

// The query-service request with the client's header lines; an empty token leaves the line out.
inline std::string queryRequest(const sim::RegSim& sim, const std::string& cookie, const std::string& token,
                                const std::string& body) {
  std::string request = std::string("POST ") + sim::RegSim::kQueryServicePath +
                        " HTTP/1.0\r\nConnection: Keep-Alive\r\nContent-Type: application/json\r\nContent-Length: " +
                        std::to_string(body.size()) + "\r\nCache-control: no-cache\r\nCookie:" + cookie +
                        "\r\nX-Requested-With: XMLHttpRequest\r\n";
  if (!token.empty()) request += "ccrf-token:" + token + "\r\n";
  return request + "Host: " + sim.host() + "\r\nAccept: */*\r\n\r\n" + body;
}

}  // namespace qm::test
