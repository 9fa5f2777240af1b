#pragma once
// The values a query page's script holds for the query services: the account
// type, the organisation code and the anti-forgery token.
#include <string>
#include <string_view>

namespace qm {

struct QueryPageInfo {
  std::string userType;   // "1" selects the 12-character code and query type "01"
  std::string organCode;  // 12 characters when userType is "1", else 32
  std::string token;      // 36 characters, written in the page as \xHH escapes
};

// Missing markers are not detected: their values are cut at fixed offsets.
QueryPageInfo ReadQueryPageInfo(std::string_view page);

}  // namespace qm
