#pragma once
// The lines of the duplicate-check log: which kinds a run writes, how a line
// is composed from the record number and the name, and the saved file.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class DuplicateLineKind {
  Found,            // "共找到…条学籍。学籍所在学校：…。"
  NotFound,         // "查重无问题。"
  NoResult,         // "未得到反馈结果。"
  Unchecked,        // "姓名或身份证号为空，无法查重。"
  CaptchaRejected,  // "验证码错误。", whatever the filters say
};

// The four filters, read once when a run starts. Defaults as the window opens.
struct DuplicateFilters {
  bool found = true;       // CheckBox2 "有学籍的情况"
  bool notFound = false;   // CheckBox4 "查重无问题"
  bool noResult = false;   // CheckBox1 "未得到反馈结果"
  bool unchecked = false;  // CheckBox3 "无法查重"

  bool shows(DuplicateLineKind kind) const;
};

// "【" + n + "、" + name + "】" + text.
std::string duplicateLinePrefix(int recordNumber, std::string_view name);
std::string foundLine(int recordNumber, std::string_view name, std::string_view countText,
                      const std::vector<std::string>& schools);
// The text after the prefix of the fixed-text kinds; empty for Found, whose
// line foundLine composes.
std::string_view fixedLineText(DuplicateLineKind kind);
std::string duplicateLine(DuplicateLineKind kind, int recordNumber, std::string_view name);

// The big counter: current record number, "/", record count.
struct DuplicateCounterTexts {
  std::string current, slash, total;
};
DuplicateCounterTexts duplicateCounterTexts(int current, int total);

}  // namespace qm
