#include "server/duplicate/json_string_content.h"

#include "common/utf8.h"

namespace qm {

void appendJsonStringContent(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string clean;
  if (!utf8::valid(text)) {
    clean = utf8::sanitized(text);
    text = clean;
  }
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(text.data() + run, i - run);
    run = i + 1;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
    }
  }
  out.append(text.data() + run, text.size() - run);
}

}  // namespace qm
