#include "server/protocol/student_record.h"

#include "server/protocol/code_tables.h"
#include "server/protocol/text_routines.h"
#include "common/utf8.h"

namespace qm {

const std::array<ExportColumnDef, 19> kExportColumns = {{
    {"姓名", "9.75", kXm},
    {"学籍号", "20.63", kGrbsm},
    {"身份证号", "19.5", kSfzjh},
    {"性别", "4.88", kXbm},
    {"籍贯", "12.5", kJg},
    {"民族", "8.13", kMzm},
    {"家庭住址", "26.63", kJtzz},
    {"联系电话", "17.38", kLxdh},
    {"学校名称", "30.25", kXxmc},
    {"班级", "16.25", kBjmc},
    {"年级", "12.25", kNjmc},
    {"是否残疾", "4.88", kSfcjm},
    {"是否分班", "4.88", kSffb},
    {"出生日期", "12.25", kCsrq},
    {"身份证件类型", "16.25", kSfzjlxm},
    {"就读方式", "8.25", kJdfsm},
    {"通讯地址", "26.63", kTxdz},
    {"户口所在地", "12.25", kHkszdm},
    {"就读状态", "12.25", kJdztm},
}};

std::string studentCellText(const std::vector<std::string>& values, int column) {
  StudentFields fields{};
  for (std::size_t i = 0; i < fields.size() && i < values.size(); ++i) fields[i] = values[i];
  std::string out;
  appendStudentCellText(fields, column, out);
  return out;
}

void appendStudentCellText(const StudentFields& fields, int column, std::string& out) {
  if (column < 0 || column >= static_cast<int>(kExportColumns.size())) return;
  const auto field = static_cast<std::size_t>(kExportColumns[static_cast<std::size_t>(column)].field);
  const std::string_view v = fields[field];
  // A code that is no integer comes back as itself, so the texts are sanitized
  // on the way out; the static texts are UTF-8 already.
  switch (field) {
    case kXm:
    case kXxmc:
    case kNjmc:
    case kJtzz:
    case kBjmc:
    case kJg:
    case kTxdz:
      return AppendUnicodeEscapesUtf8(v, out);
    case kSfzjh:  // sent either plain or escaped
      return !v.empty() && v.front() == '\\' ? AppendUnicodeEscapesUtf8(v, out) : utf8::appendSanitized(out, v);
    case kMzm:
      return utf8::appendSanitized(out, ethnicityTextView(v));
    case kXbm:
      return utf8::appendSanitized(out, genderTextView(v));
    case kSfzjlxm:
      return utf8::appendSanitized(out, idDocumentTypeTextView(v));
    case kJdfsm:
      return utf8::appendSanitized(out, attendanceModeTextView(v));
    case kSfcjm:
    case kSffb:
      return utf8::appendSanitized(out, yesNoTextView(v));
    case kJdztm:
      out += attendanceStatusTextView(v);
      return;
    default:
      return utf8::appendSanitized(out, v);
  }
}

std::array<std::string, 19> studentCells(const std::vector<std::string>& values) {
  std::array<std::string, 19> cells;
  for (std::size_t c = 0; c < cells.size(); ++c) cells[c] = studentCellText(values, static_cast<int>(c));
  return cells;
}

}  // namespace qm
