#include "server/protocol/query_page_info.h"

#include "server/protocol/text_routines.h"

namespace qm {

QueryPageInfo ReadQueryPageInfo(std::string_view page) {
  QueryPageInfo info;
  info.userType = CutAfter(page, "var userType =", 1, 1);
  info.organCode = CutAfter(page, "var organCode=", 1, info.userType == "1" ? 12 : 32);
  // The page's script spells the key itself as escapes: token':'
  info.token = DecodeHexEscapes(CutAfter(page, R"(\x74\x6f\x6b\x65\x6e\x27\x3a\x27)", 0, 144));
  return info;
}

}  // namespace qm
