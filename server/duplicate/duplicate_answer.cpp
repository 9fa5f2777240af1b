#include "server/duplicate/duplicate_answer.h"

#include <cstdint>

#include "server/protocol/text_routines.h"

namespace qm {
namespace {

// The server's "验证码校验失败！" as its service writes it: \u escapes in ASCII.
constexpr std::string_view kCaptchaFailed = R"(\u9a8c\u8bc1\u7801\u6821\u9a8c\u5931\u8d25\uff01)";
constexpr std::string_view kTotalMarker = R"({"total":)";
constexpr std::string_view kDataSetMarker = R"("javaClass":"DataSet")";
constexpr std::string_view kSchoolMarker = R"(","XXMC":")";
constexpr std::string_view kBirthDateMarker = R"(","CSRQ":")";

}  // namespace

std::optional<std::string> cutDuplicateCount(std::string_view answer) {
  const std::size_t p = answer.find(kTotalMarker);
  const std::size_t q = answer.find(kDataSetMarker);
  if (p == std::string_view::npos || q == std::string_view::npos) return std::nullopt;
  const std::size_t start = p + kTotalMarker.size();
  // The value ends before the comma that precedes the DataSet key.
  if (q < start + 1) return std::string();
  return std::string(answer.substr(start, q - 1 - start));
}

std::optional<int> parseDuplicateCount(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int>(value);
}

std::vector<std::string> cutSchoolNames(std::string_view answer) {
  std::vector<std::string> schools;
  for (;;) {
    const std::size_t p = answer.find(kSchoolMarker);
    if (p == std::string_view::npos) break;
    const std::size_t start = p + kSchoolMarker.size();
    const std::size_t q = answer.find(kBirthDateMarker, start);
    if (q == std::string_view::npos) break;
    schools.push_back(DecodeUnicodeEscapesUtf8(answer.substr(start, q - start)));
    answer.remove_prefix(q + kBirthDateMarker.size());
  }
  return schools;
}

DuplicateAnswer InterpretDuplicateAnswer(std::string_view answer) {
  DuplicateAnswer out;
  if (answer.find(kCaptchaFailed) != std::string_view::npos) {
    out.kind = DuplicateAnswerKind::CaptchaRejected;
    return out;
  }
  std::optional<std::string> countText = cutDuplicateCount(answer);
  const std::optional<int> count = countText ? parseDuplicateCount(*countText) : std::nullopt;
  if (!count) return out;
  out.countText = std::move(*countText);
  if (*count >= 1) {
    out.kind = DuplicateAnswerKind::Found;
    out.schools = cutSchoolNames(answer);
  } else {
    out.kind = DuplicateAnswerKind::NotFound;
  }
  return out;
}

bool isLoginPage(std::string_view body) {
  constexpr std::string_view kField = "_j_username";
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t at = body.find(kField); at != std::string_view::npos; at = body.find(kField, at + 1)) {
    // Walk back over an opening quote, blanks, "=", blanks, to "name".
    std::size_t i = at;
    const bool quoted = i > 0 && (body[i - 1] == '"' || body[i - 1] == '\'');
    if (quoted) --i;
    while (i > 0 && (body[i - 1] == ' ' || body[i - 1] == '\t')) --i;
    if (i == 0 || body[i - 1] != '=') continue;
    --i;
    while (i > 0 && (body[i - 1] == ' ' || body[i - 1] == '\t')) --i;
    if (i < 4) continue;
    const std::string_view name = body.substr(i - 4, 4);
    if (lower(name[0]) != 'n' || lower(name[1]) != 'a' || lower(name[2]) != 'm' || lower(name[3]) != 'e') continue;
    // "name" is the attribute itself, not the end of another ("username=").
    if (i > 4) {
      const char before = body[i - 5];
      if (before != ' ' && before != '\t' && before != '\n' && before != '\r' && before != '"' && before != '\'')
        continue;
    }
    // The value ends with the field: a closing quote, a blank or the tag's end.
    const std::size_t end = at + kField.size();
    if (end >= body.size()) continue;
    const char after = body[end];
    if (quoted ? after == body[at - 1] : (after == ' ' || after == '>' || after == '/' || after == '\t')) return true;
  }
  return false;
}

}  // namespace qm
