#pragma once
// What one answer of the province-wide query says. The answer is never parsed
// as JSON: the captcha failure, the count and the school names are found by
// their markers, byte for byte, at their first occurrence.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class DuplicateAnswerKind {
  CaptchaRejected,  // the server's "captcha check failed" message
  Found,            // count 1 or more
  NotFound,         // count 0 or less
  NoCount,          // no readable count
};

struct DuplicateAnswer {
  DuplicateAnswerKind kind = DuplicateAnswerKind::NoCount;
  std::string countText;             // as it stands in the answer
  std::vector<std::string> schools;  // UTF-8, in answer order
};

// The count text: after the first {"total": up to the character before the
// first "javaClass":"DataSet" (the comma between them). None when either
// marker is missing.
std::optional<std::string> cutDuplicateCount(std::string_view answer);

// A decimal integer with an optional sign that fits 32 bits; anything else
// (blanks, hex, an empty text) is not a count.
std::optional<int> parseDuplicateCount(std::string_view text);

// Each row's school: the text between ","XXMC":" and the next ","CSRQ":",
// with its \u escapes decoded. A name without a following CSRQ key ends the list.
std::vector<std::string> cutSchoolNames(std::string_view answer);

DuplicateAnswer InterpretDuplicateAnswer(std::string_view answer);

// A 2xx body that is the login page: it holds an input named _j_username
// (name=_j_username, quoted or not, any letter case of "name"). A session
// that has ended answers every request so, or with a redirect.
bool isLoginPage(std::string_view body);
// An answer status that means the session has ended: a redirect.
inline bool isLoginRedirect(int status) { return status >= 300 && status <= 399; }

}  // namespace qm
