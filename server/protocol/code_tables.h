#pragma once
// The server sends several student fields as codes; the exports write the texts
// a school office reads. Each function takes the field value as cut and never fails.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Decimal digits with an optional sign, leading zeros allowed, no blanks;
// a value outside 32 bits is not an integer.
std::optional<std::int32_t> parseCodeInteger(std::string_view code);

std::string ethnicityText(std::string_view code);        // 民族
std::string genderText(std::string_view code);           // 性别
std::string idDocumentTypeText(std::string_view code);   // 身份证件类型
std::string attendanceModeText(std::string_view code);   // 就读方式
std::string yesNoText(std::string_view code);            // 是否残疾, 是否分班
std::string attendanceStatusText(std::string_view code); // 就读状态
std::string householdTypeText(std::string_view code);    // 户口类型

// The same texts without a copy: a static text, or `code` itself (or a part
// of it) where the text is the code, so the view lives as long as `code`.
std::string_view ethnicityTextView(std::string_view code);
std::string_view genderTextView(std::string_view code);
std::string_view idDocumentTypeTextView(std::string_view code);
std::string_view attendanceModeTextView(std::string_view code);
std::string_view yesNoTextView(std::string_view code);
std::string_view attendanceStatusTextView(std::string_view code);
std::string_view householdTypeTextView(std::string_view code);

struct GradeEntry {
  const char* name;
  const char* code;
};
// The export dialog's grade list; position 0 ("**") means no grade filter.
extern const std::array<GradeEntry, 14> kGrades;
// The code of a list position; empty outside the list.
std::string gradeCodeAt(int position);

}  // namespace qm
