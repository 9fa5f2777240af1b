#pragma once
// Text put between the quotes of a JSON string. Cell texts and typed codes go
// into the query body this way, so a quote or backslash in a name cannot end
// the string early or change the request.
#include <string>
#include <string_view>

namespace qm {

// Appends `text` escaped as JSON string content: quote and backslash get a
// backslash, control characters the short escapes (\b \f \n \r \t) or \u00XX,
// ill-formed UTF-8 becomes U+FFFD. Other text is copied byte for byte.
void appendJsonStringContent(std::string& out, std::string_view text);

}  // namespace qm
