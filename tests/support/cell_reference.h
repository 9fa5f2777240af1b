#pragma once
// An export cell built the slow way, for holding the copy-free walk to it:
// the value ReadKeyedRecord cut, through the code table or decoding its
// column's title calls for. Independent of the export's own column switch.
#include <string>
#include <string_view>

#include "common/utf8.h"
#include "server/protocol/code_tables.h"
#include "server/protocol/student_record.h"
#include "server/protocol/text_routines.h"

namespace qm::testing {

inline std::string cellFromRoutines(int column, const std::string& v) {
  const std::string_view title = kExportColumns[static_cast<std::size_t>(column)].title;
  const auto decoded = [&] { return DecodeUnicodeEscapesUtf8(v); };
  const auto plain = [&] { return utf8::sanitized(v); };
  if (title == "身份证号") return !v.empty() && v.front() == '\\' ? decoded() : plain();
  if (title == "民族") return ethnicityText(plain());
  if (title == "性别") return genderText(plain());
  if (title == "身份证件类型") return idDocumentTypeText(plain());
  if (title == "就读方式") return attendanceModeText(plain());
  if (title == "是否残疾" || title == "是否分班") return yesNoText(plain());
  if (title == "就读状态") return attendanceStatusText(v);
  if (title == "学籍号" || title == "联系电话" || title == "出生日期" || title == "户口所在地") return plain();
  return decoded();  // names, places and addresses come escaped
}

// The cell of `column` for a record as ReadKeyedRecord gives it.
inline std::string cellFromRoutines(const std::vector<std::string>& record, int column) {
  const auto field = static_cast<std::size_t>(kExportColumns[static_cast<std::size_t>(column)].field);
  return cellFromRoutines(column, field < record.size() ? record[field] : std::string());
}

}  // namespace qm::testing
